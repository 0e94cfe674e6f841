// Radiation against the FAO-56 equations: the closed form of the library
// against the irradiance at the top of the atmosphere integrated minute by
// minute over the day here, and against the book's worked example.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drivers/shortwave.h"

namespace {

constexpr double Pi = std::numbers::pi;

// Gsc dr cos(zenith), summed over the minutes of the day at which the sun is up.
double IntegratedRadiation(double latitudeDeg, int dayOfYear) {
    const double phi = latitudeDeg * Pi / 180.0;
    const double dr = 1.0 + 0.033 * std::cos(2.0 * Pi * dayOfYear / 365.0);
    const double delta = 0.409 * std::sin(2.0 * Pi * dayOfYear / 365.0 - 1.39);
    double sum = 0.0;
    constexpr int Steps = 24 * 60 * 20;  // three seconds each
    for (int i = 0; i < Steps; ++i) {
        const double hourAngle = -Pi + 2.0 * Pi * (i + 0.5) / Steps;
        const double cosZenith =
            std::sin(phi) * std::sin(delta) + std::cos(phi) * std::cos(delta) * std::cos(hourAngle);
        if (cosZenith > 0.0) sum += 0.0820 * dr * cosZenith * (24.0 * 60.0 / Steps);
    }
    return sum;
}

TEST(Shortwave, ExtraterrestrialRadiationIsTheDailyIntegralAtEveryLatitudeAndSeason) {
    for (const double latitude : {-45.0, -20.0, 0.0, 23.4, 47.3, 60.0, 68.0, 75.0})
        for (const int day : {1, 46, 80, 135, 172, 246, 300, 355}) {
            SCOPED_TRACE(testing::Message() << "latitude " << latitude << ", day " << day);
            EXPECT_NEAR(drivers::ExtraterrestrialRadiation(latitude, day), IntegratedRadiation(latitude, day), 0.01);
        }
    // The polar night has none; the polar day has the sun all round.
    EXPECT_EQ(drivers::ExtraterrestrialRadiation(75.0, 355), 0.0);
    EXPECT_GT(drivers::ExtraterrestrialRadiation(75.0, 172), 40.0);
    EXPECT_EQ(drivers::ExtraterrestrialRadiation(-75.0, 172), 0.0);
}

TEST(Shortwave, ExtraterrestrialRadiationMatchesTheWorkedExampleFor20South3September) {
    // 3 September is day 246; the book's answer is 32.2 MJ m-2 day-1.
    EXPECT_NEAR(drivers::ExtraterrestrialRadiation(-20.0, 246), 32.2, 0.05);
}

TEST(Shortwave, HargreavesSamaniScalesWithTheRootOfTheRangeUpToClearSky) {
    const double ra = IntegratedRadiation(47.3, 172);
    EXPECT_NEAR(drivers::HargreavesSamani(25.0, 15.0, ra, 0.16), 0.16 * std::sqrt(10.0) * ra, 1e-12);
    EXPECT_NEAR(drivers::HargreavesSamani(12.0, 3.0, ra, 0.19), 0.19 * 3.0 * ra, 1e-12);
    // A desert day's 40 degrees of range: no more than the clear sky lets through.
    EXPECT_NEAR(drivers::HargreavesSamani(40.0, 0.0, ra, 0.16), 0.75 * ra, 1e-12);
    // No range, no sunshine; a reversed range is no range.
    EXPECT_EQ(drivers::HargreavesSamani(5.0, 5.0, ra, 0.16), 0.0);
    EXPECT_EQ(drivers::HargreavesSamani(4.0, 5.0, ra, 0.16), 0.0);
}

TEST(Shortwave, ThorntonRunningStaysBelowClearSkyAndGrowsWithTheRange) {
    std::vector<double> tmax, tmin, ra;
    for (int d = 0; d < 60; ++d) {
        tmax.push_back(10.0 + (d % 15));
        tmin.push_back(5.0);
        ra.push_back(30.0);
    }
    const std::vector<double> rs = drivers::ThorntonRunning(tmax, tmin, ra);
    ASSERT_EQ(rs.size(), 60u);
    for (int d = 0; d < 60; ++d) {
        EXPECT_GT(rs[d], 0.0);
        EXPECT_LT(rs[d], 0.75 * 30.0);
    }
    EXPECT_LT(rs[30], rs[31]);  // range 5 -> 6 on neighbouring days with the same 30-day mean
    EXPECT_EQ(drivers::ThorntonRunning({5.0}, {5.0}, {30.0})[0], 0.0);
}

}  // namespace
