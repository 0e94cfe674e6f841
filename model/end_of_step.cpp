#include "model/sections.h"

void EndOfStepUpdates(ModelFrame&) {}  // not written yet
