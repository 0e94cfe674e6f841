#include "model/equations.h"

// The integrator's trial evaluations run on private copies of the state and
// process tables: whatever the equations write into their state table (the
// soil nitrogen overrides, the annual reset) is dropped with the copy, and the
// global States and Processes keep their values while a step is integrated.
// The record texts are views, so nothing is allocated.
void EvaluateDerivatives(const driverarray& drivers, const paramarray& params, const valuearray& y, double t,
                         valuearray& dydx) {
    const int n = ModelDef.NumStates;
    statearray trial = States;  // texts, values and the HoldConstant / Reset flags in force now
    for (int i = 1; i <= n; ++i) trial[i].Value = y[i];
    // The equations fill every entry that is read back, so the process table
    // is kept from call to call instead of clearing 14 KB each time.
    static processarray rates;
    EvaluateModel(drivers, params, trial, t, rates, /*endOfStep=*/false);
    for (int i = 1; i <= n; ++i) dydx[i] = rates[i].Value;
}
