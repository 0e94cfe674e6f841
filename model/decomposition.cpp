#include "model/sections.h"

void Decomposition(ModelFrame&) {}  // not written yet
