#include <algorithm>
#include <atomic>
#include <cfenv>
#include <iterator>

#include "core/fpfaults.h"
#include "model/equations.h"
#include "model/new_year.h"
#include "model/evaluation.h"
#include "model/sections.h"

bool NewYear = false;

void ForgetPreviousRun() { NewYear = false; }

namespace {

// A driver value of exactly -1 marks a missing record; any other value, 0
// included, overrides the modelled quantity.
constexpr double MissingDriver = -1.0;

// Zeroed by the annual reset: day counter, degree days and the annual totals.
// qUnT (a running mean) and Laieos carry over from year to year.
constexpr int AnnualStates[] = {
    st::Jday,      st::DDa,       st::DDs,       st::PptT,      st::PptIT,     st::EtT,       st::QgT,
    st::QwT,       st::DnT,       st::PST,       st::NPPT,      st::tauNT,     st::RPT,       st::lambdaCfT,
    st::lambdaCwT, st::lambdaCrT, st::lambdaNfT, st::lambdaNwT, st::lambdaNrT, st::lambdaCT,  st::lambdaNT,
    st::RST,       st::NepT,      st::UNT,       st::UnfixT,    st::NminT,     st::QNT,
};
static_assert(std::size(AnnualStates) == 27);

// Senescence start days: 999 means "not fixed yet this year".
constexpr int StartDays[] = {st::Jdfs, st::Jdws, st::Jdrs};
constexpr double UnsetStartDay = 999.0;

// The fault flags are read only after every result so far has been stored
// in the frame: the fence keeps the compiler from moving those stores, and
// the arithmetic behind them, past the test.
int PendingFaults() {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    return std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
}

void CheckFaults() {
    if (PendingFaults() != 0) CheckFloatingPointFaults();
}

void ReadInputs(ModelFrame& f, const driverarray& drivers, const paramarray& params, const statearray& states) {
    for (int i = 1; i <= OstrelNumDrivers; ++i) f.d[i] = drivers[i].Value;
    for (int i = 1; i <= OstrelNumStates; ++i) {
        f.s[i] = states[i].Value;
        f.held[i] = states[i].HoldConstant;
    }
    for (int i = 1; i <= OstrelNumParams; ++i) f.par[i] = params[i].Value;
}

// A measured soil nitrogen pool replaces the state, in the table and in this
// evaluation.
void OverrideSoilNitrogen(ModelFrame& f, int driver, int state) {
    const double measured = f.d[driver];
    if (measured == MissingDriver) return;
    if (f.states) (*f.states)[state].Value = measured;
    f.s[state] = measured;
}

void AnnualReset(ModelFrame& f) {
    for (int i : AnnualStates) {
        f.s[i] = 0.0;
        if (f.states && !f.held[i]) (*f.states)[i].Value = 0.0;
    }
    // The working start days keep last year's values for the rest of the
    // call, so the end of the step still sees a day fixed last year.
    if (!f.states) return;
    for (int i : StartDays)
        if (!f.held[i]) (*f.states)[i].Value = UnsetStartDay;
}

constexpr void (*Sections[])(ModelFrame&) = {WeatherAndSoilWater, CanopyPhotosynthesis, SoilSolution,
                                             UptakeAndFixation,   Litterfall,           GrowthAndRespiration,
                                             Decomposition,       Totals};
static_assert(std::size(Sections) == static_cast<std::size_t>(Section::Count));

// Every process value starts at 0; the precipitation and melt values keep it
// unless the end of the step partitions them.
void ClearProcessValues(ModelFrame& f) { std::fill(std::begin(f.v), std::end(f.v), 0.0); }

// Runs the sections in order. A day term whose working-out faulted raises
// its flags again in its own section. With `checked` the flags are read after
// every section and the first fault ends the evaluation, so a later fault of
// another kind (a division by zero, which the integrator would retry with a
// smaller step) cannot stand in for it.
void RunSections(ModelFrame& f, bool checked) {
    for (int i = 0; i < static_cast<int>(Section::Count); ++i) {
        if (f.day.Faults[i] != 0) std::feraiseexcept(f.day.Faults[i]);
        Sections[i](f);
        if (checked) CheckFaults();
    }
}

// dX/dt of every state; a held state gets 0 and its expression is not
// evaluated. States advanced only at the end of a step have 0.
void FormDerivatives(ModelFrame& f) {
    const double* v = f.v;
    const bool* h = f.held;
    double* x = f.dxdt;
    std::fill(std::begin(f.dxdt), std::end(f.dxdt), 0.0);

    using namespace pr;
    x[st::Cf] = h[st::Cf] ? 0.0 : v[Gcf] - v[lambdaCF] - v[RfmetS];
    x[st::Csw] = h[st::Csw] ? 0.0 : v[Gcsw] - v[lambdaCSW] - v[Gchw] - v[RwmetS];
    x[st::Chw] = h[st::Chw] ? 0.0 : v[Gchw] - v[lambdaCHW];
    x[st::Cr] = h[st::Cr] ? 0.0 : v[Gcr] - v[lambdaCR] - v[RrmetS];
    x[st::Nf] = h[st::Nf] ? 0.0 : v[Gnf] - v[lambdaNF] - v[tauN] - v[tauRnf];
    x[st::Nsw] = h[st::Nsw] ? 0.0 : v[Gnsw] - v[Gnhw] - v[lambdaNSW] - v[tauRnsw];
    x[st::Nhw] = h[st::Nhw] ? 0.0 : v[Gnhw] - v[lambdaNHW];
    x[st::Nr] = h[st::Nr] ? 0.0 : v[Gnr] - v[lambdaNR] - v[tauRnr];
    x[st::Clfw] = h[st::Clfw] ? 0.0 : v[Ps] - v[Tc] - v[RfmetL] - v[RrmetL_Wood] - v[RFgr] - v[RWgr] - v[Gcf] - v[Gcsw];
    x[st::Clr] = h[st::Clr] ? 0.0 : v[Tc] - v[RrmetL_Root] - v[RRgr] - v[Gcr] - v[RUnfix];
    x[st::Nlf] = h[st::Nlf] ? 0.0 : v[Tn] + v[tauRnf] - v[Gnf];
    x[st::Nlwr] = h[st::Nlwr] ? 0.0 : v[Un] + v[Unfix] + v[tauN] + v[tauRnsw] + v[tauRnr] - v[Tn] - v[Gnsw] - v[Gnr];
    x[st::Cs] = h[st::Cs] ? 0.0 : v[FClambdaS] - v[FCSE];
    x[st::Ce] = h[st::Ce] ? 0.0 : v[FClambdaE] + v[FCSE] + v[FCIE] - v[RE] - v[FCEI];
    x[st::Ci] = h[st::Ci] ? 0.0 : v[FClambdaI] + v[FCEI] - v[FCIE] - v[FCIH];
    x[st::Ch] = h[st::Ch] ? 0.0 : v[FCIH] - v[RH];
    x[st::Na] = h[st::Na] ? 0.0 : v[FNlambdaA] + v[INH4] + v[INO3] - v[FNAH] - v[MNA];
    x[st::Nh] = h[st::Nh] ? 0.0 : v[FNAH] - v[MNH];
    x[st::Nnh4] = h[st::Nnh4] ? 0.0 : f.d[dr::DNH4] + v[MNA] + v[MNH] - v[INH4] - v[UNH4] - v[Fntri] - v[QNH4];
    x[st::Nno3] = h[st::Nno3] ? 0.0 : f.d[dr::DNO3] + v[Fntri] - v[UNO3] - v[INO3] - v[QNO3];
    // Root-zone water gains rain and melt at the end of each step.
    x[st::Wr] = h[st::Wr] ? 0.0 : -v[ET] - v[DR];
    x[st::Wg] = h[st::Wg] ? 0.0 : v[DR] - v[Qg];
    x[st::qUnT] = h[st::qUnT] ? 0.0 : (v[qUn] - f.s[st::qUnT]) / 365.0;
    x[st::EtT] = h[st::EtT] ? 0.0 : v[ET];
    x[st::QgT] = h[st::QgT] ? 0.0 : v[Qg];
    // Interception is added to the water losses at the end of each step.
    x[st::QwT] = h[st::QwT] ? 0.0 : v[ET] + v[Qg];
    x[st::PST] = h[st::PST] ? 0.0 : v[Ps];
    x[st::NPPT] = h[st::NPPT] ? 0.0 : v[NPP];
    x[st::tauNT] = h[st::tauNT] ? 0.0 : v[tauN];
    x[st::RPT] = h[st::RPT] ? 0.0 : v[Rp];
    x[st::lambdaCfT] = h[st::lambdaCfT] ? 0.0 : v[lambdaCF];
    x[st::lambdaCwT] = h[st::lambdaCwT] ? 0.0 : v[lambdaCSW] + v[lambdaCHW];
    x[st::lambdaCrT] = h[st::lambdaCrT] ? 0.0 : v[lambdaCR];
    x[st::lambdaNfT] = h[st::lambdaNfT] ? 0.0 : v[lambdaNF];
    x[st::lambdaNwT] = h[st::lambdaNwT] ? 0.0 : v[lambdaNSW] + v[lambdaNHW];
    x[st::lambdaNrT] = h[st::lambdaNrT] ? 0.0 : v[lambdaNR];
    x[st::lambdaCT] = h[st::lambdaCT] ? 0.0 : v[lambdaC];
    x[st::lambdaNT] = h[st::lambdaNT] ? 0.0 : v[lambdaN];
    x[st::RST] = h[st::RST] ? 0.0 : v[Rs];
    x[st::NepT] = h[st::NepT] ? 0.0 : v[NEP];
    x[st::UNT] = h[st::UNT] ? 0.0 : v[Un];
    x[st::UnfixT] = h[st::UnfixT] ? 0.0 : v[Unfix];
    x[st::NminT] = h[st::NminT] ? 0.0 : v[Nmin];
    x[st::QNT] = h[st::QNT] ? 0.0 : v[Qn];
}

void WriteOutput(const ModelFrame& f, processarray& processes) {
    for (int i = 1; i <= OstrelNumStates; ++i) processes[i].Value = f.dxdt[i];
    for (int i = OstrelNumStates + 1; i <= OstrelNumProcesses; ++i) processes[i].Value = f.v[i];
    // The phenology entries only own parameters; the soil temperature shown
    // is the driver's.
    processes[pr::PhenologyF].Value = 0.0;
    processes[pr::PhenologyW].Value = 0.0;
    processes[pr::PhenologyR].Value = 0.0;
    processes[pr::Ts].Value = f.d[dr::Ts];
}

}  // namespace

void ClearPendingFaults() {
    if (PendingFaults() != 0) ClearFloatingPointFaults();
}

// The state table changes at three points only: the soil nitrogen overrides
// and the annual reset at the start (both before any equation runs, so they
// stand even when the equations then fault), and the end-of-step updates,
// which are written only after the equations have come through without a
// fault.
//
// Faults are rare, so the sections first run without reading the flags
// between them; only when a flag is found at the end do they run again from
// the same inputs, now stopping at the first section that faults. The
// outcome is the same as reading the flags after every section.
void RunEquations(ModelFrame& f) {
    ClearProcessValues(f);
    f.LatRad = 0.0;
    f.DeclRad = 0.0;

    OverrideSoilNitrogen(f, dr::DNnh4, st::Nnh4);
    OverrideSoilNitrogen(f, dr::DNno3, st::Nno3);

    if (NewYear || f.time == StartTime) AnnualReset(f);

    f.day.Prepare(f);

    RunSections(f, /*checked=*/false);
    if (!f.endOfStep) FormDerivatives(f);
    if (PendingFaults() != 0) {
        ClearFloatingPointFaults();
        ClearProcessValues(f);
        RunSections(f, /*checked=*/true);
        if (!f.endOfStep) {
            FormDerivatives(f);
            CheckFaults();
        }
    }
    if (f.endOfStep) {
        EndOfStepUpdates(f);
        FormDerivatives(f);
        CheckFaults();
    }
}

// The process table is written last, after a final check, so a faulting call
// leaves it as it was.
void EvaluateModel(const driverarray& drivers, const paramarray& params, statearray& states, double time,
                   processarray& processes, bool endOfStep) {
    ClearPendingFaults();

    ModelFrame f;
    ReadInputs(f, drivers, params, states);
    f.time = time;
    f.endOfStep = endOfStep;
    f.states = &states;
    RunEquations(f);

    WriteOutput(f, processes);
}
