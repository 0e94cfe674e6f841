#include "model/sections.h"

void WeatherAndSoilWater(ModelFrame&) {}  // not written yet
