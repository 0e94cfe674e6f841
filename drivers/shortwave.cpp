#include "drivers/shortwave.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace drivers {

namespace {

constexpr double SolarConstant = 0.0820;  // MJ m-2 min-1
constexpr double ClearSkyFraction = 0.75;

}  // namespace

double ExtraterrestrialRadiation(double latitudeDeg, int dayOfYear) {
    const double pi = std::numbers::pi;
    const double phi = latitudeDeg * pi / 180.0;
    const double j = static_cast<double>(dayOfYear);
    const double dr = 1.0 + 0.033 * std::cos(2.0 * pi * j / 365.0);
    const double delta = 0.409 * std::sin(2.0 * pi * j / 365.0 - 1.39);
    // Beyond the polar circles the sun may not set (cos > 1 clamps to pi) or not rise.
    const double cosOmega = std::clamp(-std::tan(phi) * std::tan(delta), -1.0, 1.0);
    const double omega = std::acos(cosOmega);
    const double ra = 24.0 * 60.0 / pi * SolarConstant * dr *
                      (omega * std::sin(phi) * std::sin(delta) + std::cos(phi) * std::cos(delta) * std::sin(omega));
    return std::max(ra, 0.0);
}

double HargreavesSamani(double tmax, double tmin, double ra, double krs) {
    const double rs = krs * std::sqrt(std::max(tmax - tmin, 0.0)) * ra;
    return std::min(rs, ClearSkyFraction * ra);
}

std::vector<double> ThorntonRunning(const std::vector<double>& tmax, const std::vector<double>& tmin,
                                    const std::vector<double>& ra) {
    const std::size_t n = ra.size();
    std::vector<double> range(n);
    for (std::size_t i = 0; i < n; ++i) range[i] = std::max(tmax[i] - tmin[i], 0.0);
    // Running sums give every day its 30-day window in one pass.
    std::vector<double> sums(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) sums[i + 1] = sums[i] + range[i];
    std::vector<double> rs(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t from = i >= 15 ? i - 15 : 0;
        const std::size_t to = std::min(n, i + 15);
        const double meanRange = (sums[to] - sums[from]) / static_cast<double>(to - from);
        const double b = 0.031 + 0.201 * std::exp(-0.185 * meanRange);
        rs[i] = ClearSkyFraction * ra[i] * (1.0 - std::exp(-b * std::pow(range[i], 1.5)));
    }
    return rs;
}

}  // namespace drivers
