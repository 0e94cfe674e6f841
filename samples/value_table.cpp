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

        // Looks the symbol up in one table (FindSymbol kind 1 or 2), refuses a
        // second value for it, and stores the value.
        const auto assign = [&](int findKind, const char* noun, std::vector<int>& firstLine, auto& table) {
            const std::int32_t i = FindSymbol(findKind, symbol);
            if (i == 0) fail(lineNo, std::string("no ") + noun + " has the symbol '" + std::string(symbol) + "'");
            int& seen = firstLine[static_cast<std::size_t>(i)];
            if (seen != 0)
                fail(lineNo, std::string(noun) + " '" + std::string(symbol) + "' is already given on line " +
                                 std::to_string(seen));
            seen = lineNo;
            table[i].Value = value;
        };
        if (kind == "state")
            assign(1, "state", stateLine, states);
        else if (kind == "param")
            assign(2, "parameter", paramLine, params);
        else
            fail(lineNo, "kind must be 'state' or 'param', not '" + std::string(kind) + "'");
    }

    std::string missing;
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        if (stateLine[static_cast<std::size_t>(i)] == 0) missing += " state " + std::string(states[i].Symbol);
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        if (paramLine[static_cast<std::size_t>(i)] == 0) missing += " param " + std::string(params[i].Symbol);
    if (!missing.empty()) throw ValueTableError(fileName + ": no value for" + missing);
}

