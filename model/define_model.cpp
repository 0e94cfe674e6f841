#include <array>
#include <string>

#include "model/catalogue.h"
#include "model/equations.h"

namespace {
// Texts of the derivative entries, composed from the state texts once and
// kept for the life of the program.
struct DerivativeTexts {
    std::array<std::string, OstrelNumStates> Name, Units, Symbol;
};

const DerivativeTexts& ComposedDerivativeTexts() {
    static const DerivativeTexts texts = [] {
        DerivativeTexts t;
        for (std::size_t i = 0; i < StateCatalogue.size(); ++i) {
            const CatalogueText& s = StateCatalogue[i];
            t.Name[i].append("d").append(s.Name).append("dt");
            t.Units[i].append(s.Units).append("t-1");
            t.Symbol[i].append("d").append(s.Symbol).append("dt");
        }
        return t;
    }();
    return texts;
}

template <class Entry>
void SetTexts(Entry& e, const CatalogueText& c) {
    e.Name = c.Name;
    e.Units = c.Units;
    e.Symbol = c.Symbol;
}
}  // namespace

// Entries past the end of the table own nothing, so any p is safe to ask about.
std::int32_t ParamBase(std::int32_t p) {
    std::int32_t sum = 0;
    for (std::int32_t i = ModelDef.NumStates + 1; i < p && i <= MaxProcesses; ++i) sum += Processes[i].ParamCount;
    return sum;
}

void DefineModel() {
    ModelDef.Name = OstrelName;
    ModelDef.Version = OstrelVersion;
    ModelDef.TimeUnit = OstrelTimeUnit;

    ModelDef.NumStates = OstrelNumStates;
    for (int i = 1; i <= ModelDef.NumStates; ++i) SetTexts(States[i], StateCatalogue[static_cast<std::size_t>(i - 1)]);

    ModelDef.NumProcesses = ModelDef.NumStates + OstrelNumModelProcesses;
    std::size_t nextParam = 0;
    for (int k = 1; k <= OstrelNumModelProcesses; ++k) {
        const CatalogueProcess& c = ProcessCatalogue[static_cast<std::size_t>(k - 1)];
        const int entry = ModelDef.NumStates + k;
        Tprocessvariable& p = Processes[entry];
        p.Name = c.Name;
        p.Units = c.Units;
        p.Symbol = c.Symbol;
        p.ParamCount = c.ParamCount;
        p.TabCategory = c.TabCategory;
        p.Marked = c.Marked;
        const std::int32_t base = ParamBase(entry);
        for (int j = 1; j <= c.ParamCount; ++j) SetTexts(Params[base + j], ParamCatalogue[nextParam++]);
    }

    ModelDef.NumDrivers = OstrelNumDrivers;
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) SetTexts(Drivers[i], DriverCatalogue[static_cast<std::size_t>(i - 1)]);

    const DerivativeTexts& d = ComposedDerivativeTexts();
    for (int i = 1; i <= ModelDef.NumStates; ++i) Processes[i].Name = d.Name[static_cast<std::size_t>(i - 1)];
    for (int i = 1; i <= ModelDef.NumStates; ++i) Processes[i].Units = d.Units[static_cast<std::size_t>(i - 1)];
    for (int i = 1; i <= ModelDef.NumStates; ++i) Processes[i].Symbol = d.Symbol[static_cast<std::size_t>(i - 1)];

    ModelDef.NumParams = 0;
    for (int i = 1; i <= ModelDef.NumProcesses; ++i) ModelDef.NumParams += Processes[i].ParamCount;
}
