// Working values of one evaluation of the model equations. Every section
// reads its inputs from here and writes its process values here; nothing in
// a frame outlives the call of EvaluateModel that fills it.
#pragma once

#include <array>

#include "core/stypes.h"
#include "model/day_terms.h"
#include "model/symbols.h"

// ParamBase of every process entry, from the static catalogue.
inline constexpr auto ParamBaseOfEntry = [] {
    std::array<int, OstrelNumProcesses + 1> base{};
    for (int p = 0; p <= OstrelNumProcesses; ++p) base[static_cast<std::size_t>(p)] = CatalogueParamBase(p);
    return base;
}();
static_assert(ParamBaseOfEntry[pa::mF.Owner] + pa::mF.J == pa::mF.Index());

struct ModelFrame {
    // Working copies of the inputs, indexed like their tables.
    double d[MaxDrivers + 1];    // drivers, by dr::
    double s[MaxStates + 1];     // states, by st::
    bool held[MaxStates + 1];    // HoldConstant flags, by st::
    double par[MaxParams + 1];   // parameters, by table entry
    // Process values of this call, by entry of the process table (pr::).
    double v[MaxProcesses + 1];
    // State derivatives of this call, by st::; copied out only once the whole
    // evaluation has come through without a floating-point fault.
    double dxdt[MaxStates + 1];

    // Intermediates that later sections use again.
    double LatRad;   // latitude in radians (weather section, end of step)
    double DeclRad;  // solar declination in radians (weather section, end of step)
    double WoodPower;  // total wood carbon raised to h2 (weather section, growth)

    // What depends on the drivers, parameters and day counter only; in place
    // before the sections run.
    DayTerms day;

    double time;
    bool endOfStep;
    // The state table of the call, for the writes it makes; null for a trial
    // evaluation of the integrator, whose writes would only be dropped.
    statearray* states;

    // Parameter j of its owning process: Params[ParamBase(owner) + j]. The
    // base comes from a table made at compile time, so with a pa:: constant
    // the whole lookup folds to a fixed offset.
    double P(ParamRef r) const { return par[ParamBaseOfEntry[r.Owner] + r.J]; }
};
