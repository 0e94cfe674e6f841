// Loading a table of state and parameter values by symbol.
#include "samples/value_table.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "core/stypes.h"

namespace {

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return fields;
}

}  // namespace

void LoadValueTable(std::istream& in, const std::string& fileName, statearray& states, paramarray& params) {
    const auto fail = [&](int lineNo, const std::string& what) {
        throw ValueTableError(fileName + ":" + std::to_string(lineNo) + ": " + what);
    };
    std::vector<int> stateLine(static_cast<std::size_t>(ModelDef.NumStates) + 1, 0);
    std::vector<int> paramLine(static_cast<std::size_t>(ModelDef.NumParams) + 1, 0);

    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        std::string_view line = raw;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> f = SplitTabs(line);
        if (f.size() < 3) fail(lineNo, "expected kind, symbol and value separated by tabs");
        const std::string_view kind = f[0], symbol = f[1], text = f[2];

        double value = 0.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
            fail(lineNo, "'" + std::string(text) + "' is not a number");

        if (kind == "state") {
            const std::int32_t i = FindSymbol(1, symbol);
            if (i == 0) fail(lineNo, "no state has the symbol '" + std::string(symbol) + "'");
            int& seen = stateLine[static_cast<std::size_t>(i)];
            if (seen != 0)
                fail(lineNo, "state '" + std::string(symbol) + "' is already given on line " + std::to_string(seen));
            seen = lineNo;
            states[i].Value = value;
        } else if (kind == "param") {
            const std::int32_t i = FindSymbol(2, symbol);
            if (i == 0) fail(lineNo, "no parameter has the symbol '" + std::string(symbol) + "'");
            int& seen = paramLine[static_cast<std::size_t>(i)];
            if (seen != 0)
                fail(lineNo, "parameter '" + std::string(symbol) + "' is already given on line " + std::to_string(seen));
            seen = lineNo;
            params[i].Value = value;
        } else {
            fail(lineNo, "kind must be 'state' or 'param', not '" + std::string(kind) + "'");
        }
    }

    std::string missing;
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        if (stateLine[static_cast<std::size_t>(i)] == 0) missing += " state " + std::string(states[i].Symbol);
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        if (paramLine[static_cast<std::size_t>(i)] == 0) missing += " param " + std::string(params[i].Symbol);
    if (!missing.empty()) throw ValueTableError(fileName + ": no value for" + missing);
}

