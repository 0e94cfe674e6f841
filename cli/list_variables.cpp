#include "cli/list_variables.h"

#include "model/equations.h"

void ListVariables(std::ostream& out) {
    out << "kind\tindex\tsymbol\tname\tunits\tparamcount\ttabcategory\tmarked\towner\n";
    const auto plain = [&out](const char* kind, int i, const auto& e, std::int32_t owner) {
        out << kind << '\t' << i << '\t' << e.Symbol << '\t' << e.Name << '\t' << e.Units << "\t\t\t\t";
        if (owner > 0) out << owner;
        out << '\n';
    };
    const auto process = [&out](const char* kind, int i, const Tprocessvariable& e) {
        out << kind << '\t' << i << '\t' << e.Symbol << '\t' << e.Name << '\t' << e.Units << '\t' << e.ParamCount
            << '\t' << int{e.TabCategory} << '\t' << int{e.Marked} << "\t\n";
    };
    for (int i = 1; i <= ModelDef.NumStates; ++i) plain("state", i, States[i], 0);
    for (int i = 1; i <= ModelDef.NumStates; ++i) process("derivative", i, Processes[i]);
    for (int i = ModelDef.NumStates + 1; i <= ModelDef.NumProcesses; ++i) process("process", i, Processes[i]);
    for (int p = ModelDef.NumStates + 1; p <= ModelDef.NumProcesses; ++p)
        for (int j = 1; j <= Processes[p].ParamCount; ++j) plain("parameter", ParamBase(p) + j, Params[ParamBase(p) + j], p);
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) plain("driver", i, Drivers[i], 0);
}
