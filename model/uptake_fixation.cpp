#include "model/sections.h"

void UptakeAndFixation(ModelFrame&) {}  // not written yet
