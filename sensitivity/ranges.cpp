#include "sensitivity/ranges.h"

#include <algorithm>
#include <istream>
#include <map>
#include <sstream>

#include "cmdline/symbols.h"
#include "core/stypes.h"
#include "fileio/csv.h"

namespace sensitivity {

using fileio::CsvField;
using fileio::ParseDouble;
using fileio::ReadCsvRecord;

std::vector<Factor> ReadRanges(std::istream& in, const std::string& fileName) {
    std::vector<Factor> factors;
    std::map<std::string, int> seen;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::istringstream words(text);
        std::vector<std::string> fields;
        for (std::string w; words >> w;) fields.push_back(w);
        if (fields.empty() || fields[0][0] == '#' || (line == 1 && fields[0] == "symbol")) continue;
        const std::string place = fileName + " line " + std::to_string(line);
        if (fields.size() < 3 || fields.size() > 4 || (fields.size() == 4 && fields[3] != "log"))
            throw InputError(place + ": a range is 'SYMBOL LOW HIGH' or 'SYMBOL LOW HIGH log'");
        Factor f{fields[0], 0, 0, fields.size() == 4};
        try {
            const Variable v = FindVariable(f.Symbol, {VarKind::Parameter, VarKind::State},
                                            "ranges are of parameters and state variables");
            f.Symbol = QualifiedSymbol(v);
        } catch (const std::invalid_argument& e) {
            throw InputError(place + ", field 1: " + e.what());
        }
        if (!seen.emplace(f.Symbol, line).second)
            throw InputError(place + ", field 1: '" + f.Symbol + "' has a range on line " +
                             std::to_string(seen[f.Symbol]) + " already");
        if (!ParseDouble(fields[1], f.Low))
            throw InputError(place + ", field 2: '" + fields[1] + "' is not a number");
        if (!ParseDouble(fields[2], f.High))
            throw InputError(place + ", field 3: '" + fields[2] + "' is not a number");
        if (!(f.Low < f.High))
            throw InputError(place + ": the low end " + fields[1] + " must be below the high end " + fields[2]);
        if (f.Log && !(f.Low > 0))
            throw InputError(place + ": a log range needs a low end above 0, not " + fields[1]);
        factors.push_back(f);
    }
    if (factors.empty()) throw InputError(fileName + ": no ranges");
    return factors;
}

std::vector<Factor> DefaultRanges(double fraction) {
    std::vector<Factor> factors;
    for (int i = 1; i <= ModelDef.NumParams; ++i) {
        const double v = Params[i].Value;
        if (v == 0) continue;
        const double a = v * (1 - fraction), b = v * (1 + fraction);
        factors.push_back({std::string(Params[i].Symbol), std::min(a, b), std::max(a, b), false});
    }
    return factors;
}

}  // namespace sensitivity
