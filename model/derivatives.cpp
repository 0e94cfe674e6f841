#include "model/equations.h"

void EvaluateDerivatives(const driverarray&, const paramarray&, const valuearray&, double, valuearray&) {}  // not written yet
