#include "drivers/co2_table.h"

#include <iterator>

namespace drivers {

namespace {

constexpr int FirstYear = 1959;
// Annual means of the continuous record at the Mauna Loa observatory, ppm,
// 1959 to 2024. Global surface means run about 1 ppm below these.
constexpr double Means[] = {
    315.98, 316.91, 317.64, 318.45, 318.99, 319.62, 320.04, 321.37, 322.18, 323.05,  // 1959-1968
    324.62, 325.68, 326.32, 327.46, 329.68, 330.19, 331.13, 332.03, 333.84, 335.41,  // 1969-1978
    336.84, 338.76, 340.12, 341.48, 343.15, 344.87, 346.35, 347.61, 349.31, 351.69,  // 1979-1988
    353.20, 354.45, 355.70, 356.54, 357.21, 358.96, 360.97, 362.74, 363.88, 366.84,  // 1989-1998
    368.54, 369.71, 371.32, 373.45, 375.98, 377.70, 379.98, 382.09, 384.02, 385.83,  // 1999-2008
    387.64, 390.10, 391.85, 394.06, 396.74, 398.81, 401.01, 404.41, 406.76, 408.72,  // 2009-2018
    411.66, 414.24, 416.45, 418.56, 421.08, 424.61,                                  // 2019-2024
};
constexpr int Count = static_cast<int>(std::size(Means));
constexpr int LastYear = FirstYear + Count - 1;

}  // namespace

std::string_view Co2TableSource() {
    return "annual means of the Mauna Loa record, 1959-2024 (global: about 1 ppm less)";
}

double AnnualCo2(int year, bool& outside) {
    outside = year < FirstYear || year > LastYear;
    if (year < FirstYear) return Means[0];
    if (year > LastYear) {
        const double rise = (Means[Count - 1] - Means[Count - 11]) / 10.0;
        return Means[Count - 1] + rise * (year - LastYear);
    }
    return Means[year - FirstYear];
}

}  // namespace drivers
