// Atmospheric CO2 for stations that do not measure it: annual means by year.
#pragma once

#include <string_view>

namespace drivers {

// The source of the table, for the import's report.
std::string_view Co2TableSource();

// The annual mean CO2 mole fraction (ppm) of `year`. Years after the table
// continue its last decade's rise and years before it hold its first value;
// `outside` tells the caller so.
double AnnualCo2(int year, bool& outside);

}  // namespace drivers
