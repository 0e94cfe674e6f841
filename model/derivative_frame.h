// The model as the integrator's right-hand side. A frame gathers what stays
// the same while one interval is integrated (the drivers, the parameters, the
// global States with their HoldConstant flags, and the day terms) and then
// evaluates the derivatives at any number of trial points. Whatever the
// equations would write into their state table (the soil nitrogen overrides,
// the annual reset) is dropped, so the global States and Processes keep their
// values while a step is integrated.
#pragma once

#include "core/stypes.h"
#include "model/frame.h"

class DerivativeFrame {
public:
    // The tables must not change while the frame is in use.
    DerivativeFrame(const driverarray& drivers, const paramarray& params);

    // dydx[1..NumStates]: the derivatives at time t for the trial values y.
    // Flags of faults raised before the call are dropped, as every
    // evaluation starts from clear flags.
    void operator()(const valuearray& y, double t, valuearray& dydx);
    // The same for a caller that has just read the fault flags and found
    // them clear (the integrator does before every evaluation).
    void EvaluateFromClearFlags(const valuearray& y, double t, valuearray& dydx);

private:
    ModelFrame f_;
    double states_[MaxStates + 1]{};  // the values of States when the frame was made
    int n_;                         // the states taken from the trial vector
};
