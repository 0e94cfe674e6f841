// Incident shortwave radiation for stations that do not measure it, from the
// daily temperature range and the radiation at the top of the atmosphere.
#pragma once

#include <vector>

namespace drivers {

// Daily extraterrestrial radiation (MJ m-2 day-1) at a latitude (degrees,
// south negative) on a day of the year (1 = 1 January): the solar constant
// 0.0820 MJ m-2 min-1, the inverse relative Earth-Sun distance, the solar
// declination and the sunset hour angle, polar night and day included.
double ExtraterrestrialRadiation(double latitudeDeg, int dayOfYear);

// Hargreaves-Samani: krs x sqrt(Tmax - Tmin) x Ra, at most the clear-sky
// radiation 0.75 Ra of a site near sea level. krs is about 0.16 inland and
// 0.19 on coasts.
double HargreavesSamani(double tmax, double tmin, double ra, double krs);

// Thornton-Running form of the Bristow-Campbell transmittance for every day
// of a series: 0.75 Ra (1 - exp(-B dT^1.5)), with B = 0.031 + 0.201
// exp(-0.185 dT30) and dT30 the mean temperature range of the 30 days around
// the day, so that drier and wetter seasons keep their own transmittance.
std::vector<double> ThorntonRunning(const std::vector<double>& tmax, const std::vector<double>& tmin,
                                    const std::vector<double>& ra);

}  // namespace drivers
