#include "model/sections.h"

void CanopyPhotosynthesis(ModelFrame&) {}  // not written yet
