// The sections of the model equations, in the order EvaluateModel runs them.
#pragma once

#include "model/frame.h"

// Mean air temperature, leaf area, soil water, evapotranspiration, day length.
void WeatherAndSoilWater(ModelFrame& f);
// Canopy conductance to CO2, gross photosynthesis and its isotope signature.
void CanopyPhotosynthesis(ModelFrame& f);
// Drainage, groundwater discharge and inorganic nitrogen in soil solution.
void SoilSolution(ModelFrame& f);
// Plant uptake of ammonium and nitrate, and nitrogen fixation.
void UptakeAndFixation(ModelFrame& f);
// Drought litter, litter seasons, litterfall and nitrogen translocation.
void Litterfall(ModelFrame& f);
// Growing seasons, growth, plant respiration and internal transport.
void GrowthAndRespiration(ModelFrame& f);
// Litter input to soil, decomposition and soil nitrogen transformations.
void Decomposition(ModelFrame& f);
// Ecosystem totals and ratios.
void Totals(ModelFrame& f);
// Discrete updates after a completed step: calendar, degree days, senescence
// days, precipitation partition and snowmelt. Computes everything first,
// checks for floating-point faults, and only then writes into *f.states.
void EndOfStepUpdates(ModelFrame& f);
