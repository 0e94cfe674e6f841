// Running the equations on a frame whose inputs are in place: shared by
// EvaluateModel and the integrator's derivative frame.
#pragma once

#include "model/frame.h"

// Clears the fault flags, reading them first: clearing costs more than
// reading, and they are rarely set.
void ClearPendingFaults();

// The soil nitrogen overrides, the annual reset, the sections, the end-of-step
// updates (with f.endOfStep) and the derivatives into f.dxdt. The fault flags
// must be clear. Writes into *f.states unless it is null; throws EZeroDivide,
// EInvalidOp or EOverflow for the first section that faults, before any
// end-of-step write.
void RunEquations(ModelFrame& f);
