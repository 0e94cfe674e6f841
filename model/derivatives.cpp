#include <algorithm>
#include <cstring>

#include "model/derivative_frame.h"
#include "model/equations.h"
#include "model/evaluation.h"

DerivativeFrame::DerivativeFrame(const driverarray& drivers, const paramarray& params)
    : n_(std::clamp<int>(ModelDef.NumStates, 0, OstrelNumStates)) {
    for (int i = 1; i <= OstrelNumDrivers; ++i) f_.d[i] = drivers[i].Value;
    for (int i = 1; i <= OstrelNumStates; ++i) {
        states_[i] = States[i].Value;
        f_.held[i] = States[i].HoldConstant;
    }
    for (int i = 1; i <= OstrelNumParams; ++i) f_.par[i] = params[i].Value;
    f_.endOfStep = false;
    f_.states = nullptr;
}

void DerivativeFrame::operator()(const valuearray& y, double t, valuearray& dydx) {
    ClearPendingFaults();
    EvaluateFromClearFlags(y, t, dydx);
}

void DerivativeFrame::EvaluateFromClearFlags(const valuearray& y, double t, valuearray& dydx) {
    // States beyond the trial vector's keep the table's values.
    const auto count = static_cast<std::size_t>(n_);
    std::memcpy(&f_.s[1], &y[1], count * sizeof(double));
    std::memcpy(&f_.s[n_ + 1], &states_[n_ + 1], (MaxStates - count) * sizeof(double));
    f_.time = t;
    RunEquations(f_);
    std::memcpy(&dydx[1], &f_.dxdt[1], count * sizeof(double));
}

void EvaluateDerivatives(const driverarray& drivers, const paramarray& params, const valuearray& y, double t,
                         valuearray& dydx) {
    DerivativeFrame frame(drivers, params);
    frame(y, t, dydx);
}
