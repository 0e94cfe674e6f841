#include "model/sections.h"

void Litterfall(ModelFrame&) {}  // not written yet
