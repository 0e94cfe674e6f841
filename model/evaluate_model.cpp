#include "model/equations.h"

void EvaluateModel(const driverarray&, const paramarray&, statearray&, double, processarray&, bool) {}  // not written yet
