#include "model/sections.h"

void GrowthAndRespiration(ModelFrame&) {}  // not written yet
