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
    std::memcpy(f_.s, states_, sizeof f_.s);
    for (int i = 1; i <= n_; ++i) f_.s[i] = y[i];
    f_.time = t;
    RunEquations(f_);
    for (int i = 1; i <= n_; ++i) dydx[i] = f_.dxdt[i];
}

void EvaluateDerivatives(const driverarray& drivers, const paramarray& params, const valuearray& y, double t,
                         valuearray& dydx) {
    DerivativeFrame frame(drivers, params);
    frame(y, t, dydx);
}
