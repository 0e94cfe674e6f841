// The compiled-in Ostrel model: its catalogue, the placement of parameters by
// owning process, and its equations.
#pragma once

#include <cstdint>

#include "core/stypes.h"

// Fills ModelDef and the catalogue texts and counts of States, Processes,
// Params and Drivers. Values and state flags are left as they are.
void DefineModel();

// Puts back what the equations carry from one call to the next (the new-year
// flag) as it is when the program starts. Every run and every process
// calculation begins with it, so none depends on what ran before it.
void ForgetPreviousRun();

// Number of parameters owned by the process entries before entry p, counting
// from entry NumStates + 1: parameter j of process p is Params[ParamBase(p) + j].
std::int32_t ParamBase(std::int32_t p);

// Computes all process variables and the state derivatives at `time` into
// `processes`; with endOfStep also applies the discrete end-of-step updates to
// `states`. Throws EZeroDivide, EInvalidOp or EOverflow on a floating-point
// fault, before any end-of-step write into `states`.
void EvaluateModel(const driverarray& drivers, const paramarray& params, statearray& states, double time,
                   processarray& processes, bool endOfStep);

// The derivatives of the states at time t for the trial values y (entries
// 1..NumStates), evaluated on a scratch copy of States; the global States and
// Processes are not changed.
void EvaluateDerivatives(const driverarray& drivers, const paramarray& params, const valuearray& y, double t,
                         valuearray& dydx);
