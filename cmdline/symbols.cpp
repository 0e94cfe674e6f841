#include "cmdline/symbols.h"

#include <algorithm>
#include <stdexcept>

#include "model/equations.h"

namespace {

const VarKind AllKinds[] = {VarKind::Driver, VarKind::State, VarKind::Derivative, VarKind::Process,
                            VarKind::Parameter};

int Count(VarKind kind) {
    switch (kind) {
        case VarKind::Driver: return ModelDef.NumDrivers;
        case VarKind::State:
        case VarKind::Derivative: return ModelDef.NumStates;
        case VarKind::Process: return ModelDef.NumProcesses;
        case VarKind::Parameter: return ModelDef.NumParams;
    }
    return 0;
}

int First(VarKind kind) { return kind == VarKind::Process ? ModelDef.NumStates + 1 : 1; }

template <class Visit>
void ForEach(Visit visit) {
    for (const VarKind kind : AllKinds)
        for (int i = First(kind); i <= Count(kind); ++i) visit(Variable{kind, i});
}

int Uses(const std::string& symbol) {
    int n = 0;
    ForEach([&](Variable v) { n += SymbolOf(v) == symbol; });
    return n;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool Allowed(VarKind kind, std::initializer_list<VarKind> allowed) {
    return std::find(allowed.begin(), allowed.end(), kind) != allowed.end();
}

// "a state variable", "a parameter", ... as a symbol of that kind is called.
std::string Article(VarKind kind) {
    switch (kind) {
        case VarKind::Driver: return "a driver";
        case VarKind::State: return "a state variable";
        case VarKind::Derivative: return "a derivative";
        case VarKind::Process: return "a process variable";
        case VarKind::Parameter: return "a parameter";
    }
    return "";
}

// A qualified name SYM.KINDINDEX of an existing entry with that symbol.
bool Qualified(std::string_view text, Variable& found) {
    const auto dot = text.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view symbol = text.substr(0, dot), tail = text.substr(dot + 1);
    for (const VarKind kind : AllKinds) {
        const std::string_view name = KindName(kind);
        if (tail.substr(0, name.size()) != name || tail.size() == name.size()) continue;
        int index = 0;
        for (const char c : tail.substr(name.size())) {
            if (c < '0' || c > '9' || index > 1000) return false;
            index = index * 10 + (c - '0');
        }
        if (index < First(kind) || index > Count(kind) || SymbolOf({kind, index}) != symbol) return false;
        found = {kind, index};
        return true;
    }
    return false;
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
    // Three rows of the table: the one before the last (for swaps), the last
    // and the present.
    std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) last[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                row[j] = std::min(row[j], before[j - 2] + 1);
        }
        std::swap(before, last);
        std::swap(last, row);
    }
    return last[b.size()];
}

std::size_t EditDistanceIgnoringCase(std::string_view a, std::string_view b) {
    return EditDistance(Lower(a), Lower(b));
}

std::string DidYouMean(std::string_view wanted, const std::vector<Candidate>& candidates) {
    const std::size_t limit = std::max<std::size_t>(1, std::min<std::size_t>(2, wanted.size() / 3));
    std::vector<std::pair<std::size_t, std::string>> near;
    for (const Candidate& c : candidates) {
        const bool caseOnly = Lower(wanted) == Lower(c.Text);
        const std::size_t d = caseOnly ? 0 : EditDistanceIgnoringCase(wanted, c.Text);
        if (d <= limit) near.emplace_back(d, c.Shown);
    }
    std::stable_sort(near.begin(), near.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    near.erase(std::unique(near.begin(), near.end()), near.end());
    if (near.empty()) return {};
    const std::size_t shown = std::min<std::size_t>(near.size(), 3);
    std::string text = "; did you mean ";
    for (std::size_t i = 0; i < shown; ++i) text += (i == 0 ? "" : i + 1 == shown ? " or " : ", ") + near[i].second;
    return text + "?";
}

const char* KindName(VarKind kind) {
    switch (kind) {
        case VarKind::Driver: return "driver";
        case VarKind::State: return "state";
        case VarKind::Derivative: return "derivative";
        case VarKind::Process: return "process";
        case VarKind::Parameter: return "parameter";
    }
    return "";
}

std::string SymbolOf(Variable v) {
    switch (v.kind) {
        case VarKind::Driver: return std::string(Drivers[v.index].Symbol);
        case VarKind::State: return std::string(States[v.index].Symbol);
        case VarKind::Derivative:
        case VarKind::Process: return std::string(Processes[v.index].Symbol);
        case VarKind::Parameter: return std::string(Params[v.index].Symbol);
    }
    return "";
}

std::string QualifiedSymbol(Variable v) {
    const std::string symbol = SymbolOf(v);
    if (Uses(symbol) < 2) return symbol;
    return symbol + "." + KindName(v.kind) + std::to_string(v.index);
}

std::vector<Variable> Catalogue() {
    std::vector<Variable> all;
    for (int i = 1; i <= ModelDef.NumStates; ++i) all.push_back({VarKind::State, i});
    for (int i = 1; i <= ModelDef.NumStates; ++i) all.push_back({VarKind::Derivative, i});
    for (int i = ModelDef.NumStates + 1; i <= ModelDef.NumProcesses; ++i) all.push_back({VarKind::Process, i});
    for (int p = ModelDef.NumStates + 1; p <= ModelDef.NumProcesses; ++p)
        for (int j = 1; j <= Processes[p].ParamCount; ++j) all.push_back({VarKind::Parameter, ParamBase(p) + j});
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) all.push_back({VarKind::Driver, i});
    return all;
}

Variable FindVariable(std::string_view text, std::initializer_list<VarKind> allowed, const std::string& takes) {
    const std::string quoted = "'" + std::string(text) + "'";
    Variable found{};
    if (Qualified(text, found)) {
        if (!Allowed(found.kind, allowed))
            throw std::invalid_argument(std::string(text) + " is " + Article(found.kind) + "; " + takes);
        return found;
    }
    std::vector<Variable> matches, others;
    ForEach([&](Variable v) {
        if (SymbolOf(v) == text) (Allowed(v.kind, allowed) ? matches : others).push_back(v);
    });
    if (matches.size() == 1) return matches.front();
    if (matches.size() > 1) {
        std::string names;
        for (const Variable v : matches) names += (names.empty() ? "" : " or ") + QualifiedSymbol(v);
        throw std::invalid_argument(quoted + " names several variables: write " + names);
    }
    if (!others.empty())
        throw std::invalid_argument(std::string(text) + " is " + Article(others.front().kind) + "; " + takes);

    std::vector<Candidate> candidates;
    ForEach([&](Variable v) {
        if (Allowed(v.kind, allowed)) candidates.push_back({SymbolOf(v), QualifiedSymbol(v)});
    });
    const std::string message =
        "unknown symbol " + quoted + " (symbols are case-sensitive)" + DidYouMean(text, candidates);
    throw std::invalid_argument(message);
}
