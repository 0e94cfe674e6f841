#include "sensitivity/ranges.h"

#include <algorithm>
#include <istream>
#include <map>
#include <sstream>

#include "core/stypes.h"
#include "fileio/csv.h"

namespace sensitivity {

using fileio::CsvField;
using fileio::ParseDouble;
using fileio::ReadCsvRecord;

namespace {

std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool IsModelSymbol(const std::string& symbol) { return FindSymbol(2, symbol) != 0 || FindSymbol(1, symbol) != 0; }

}  // namespace

std::string NearestSymbols(std::string_view symbol) {
    std::vector<std::pair<std::size_t, std::string_view>> near;
    const auto consider = [&](std::string_view candidate) {
        const std::size_t d = EditDistance(symbol, candidate);
        if (d <= std::max<std::size_t>(2, symbol.size() / 3)) near.emplace_back(d, candidate);
    };
    for (int i = 1; i <= ModelDef.NumParams; ++i) consider(Params[i].Symbol);
    for (int i = 1; i <= ModelDef.NumStates; ++i) consider(States[i].Symbol);
    std::stable_sort(near.begin(), near.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::string text;
    for (std::size_t i = 0; i < near.size() && i < 3; ++i) text += (i ? ", " : "; nearest: ") + std::string(near[i].second);
    return text;
}

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
        if (!IsModelSymbol(f.Symbol))
            throw InputError(place + ", field 1: '" + f.Symbol + "' is no parameter or state variable of the model" +
                             NearestSymbols(f.Symbol));
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
