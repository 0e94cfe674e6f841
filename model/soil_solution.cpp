#include "model/sections.h"

void SoilSolution(ModelFrame&) {}  // not written yet
