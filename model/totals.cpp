#include "model/sections.h"

void Totals(ModelFrame&) {}  // not written yet
