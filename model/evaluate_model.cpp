#include "model/equations.h"
#include "model/new_year.h"

bool NewYear = false;

void EvaluateModel(const driverarray&, const paramarray&, statearray&, double, processarray&, bool) {}  // not written yet
