#include "cli/list_variables.h"

#include <stdexcept>

#include "cmdline/symbols.h"
#include "model/equations.h"

namespace {

// The process that owns parameter i.
int OwnerOf(int parameter) {
    for (int p = ModelDef.NumStates + 1; p <= ModelDef.NumProcesses; ++p)
        if (parameter > ParamBase(p) && parameter <= ParamBase(p) + Processes[p].ParamCount) return p;
    return 0;
}

void Line(std::ostream& out, Variable v) {
    const auto text = [&](const auto& e) {
        out << KindName(v.kind) << '\t' << v.index << '\t' << QualifiedSymbol(v) << '\t' << e.Name << '\t' << e.Units;
    };
    switch (v.kind) {
        case VarKind::State: text(States[v.index]); out << "\t\t\t\t"; break;
        case VarKind::Driver: text(Drivers[v.index]); out << "\t\t\t\t"; break;
        case VarKind::Parameter: text(Params[v.index]); out << "\t\t\t\t" << OwnerOf(v.index); break;
        case VarKind::Derivative:
        case VarKind::Process: {
            const Tprocessvariable& e = Processes[v.index];
            text(e);
            out << '\t' << e.ParamCount << '\t' << int{e.TabCategory} << '\t' << int{e.Marked} << '\t';
            break;
        }
    }
    out << '\n';
}

}  // namespace

void ListVariables(std::ostream& out, const std::vector<std::string>& symbols) {
    const std::vector<Variable> all = Catalogue();
    std::vector<Variable> chosen;
    for (const std::string& symbol : symbols) {
        const std::size_t before = chosen.size();
        for (const Variable v : all)
            if (SymbolOf(v) == symbol || QualifiedSymbol(v) == symbol) chosen.push_back(v);
        if (chosen.size() == before)  // the reason, with the nearest symbols
            FindVariable(symbol, {VarKind::Driver, VarKind::State, VarKind::Derivative, VarKind::Process,
                                  VarKind::Parameter}, "");
    }
    out << "kind\tindex\tsymbol\tname\tunits\tparamcount\ttabcategory\tmarked\towner\n";
    for (const Variable v : symbols.empty() ? all : chosen) Line(out, v);
}
