#include "model/equations.h"

void EvaluateDerivatives(double, const valuearray&, valuearray&) {}  // not written yet
