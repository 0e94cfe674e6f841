#include "checks/plausible_ranges.h"

#include <iterator>

namespace {

constexpr UnitMixUp Kelvin{180.0, 340.0, "looks like kelvin; the model takes °C"};
constexpr UnitMixUp Fahrenheit{60.0, 136.0, "looks like °F; the model takes °C"};

// Ranges are wide on purpose: they catch values in another unit or in
// another column, not unusual weather.
constexpr DriverRange Ranges[] = {
    // Ice-core minimum about 180 ppm; enrichment experiments stay below 2000.
    {"Ca", 150.0, 2000.0, "ppm"},
    // Air temperature records: -89.2 °C (Vostok, 1983), 56.7 °C (Death
    // Valley, 1913); kelvin from 180 K, °F above any °C ever measured.
    {"Tamax", -90.0, 60.0, "°C", false, {Kelvin, Fahrenheit}},
    {"Tamin", -90.0, 60.0, "°C", false, {Kelvin, Fahrenheit}},
    // Bare desert soil reaches about 70 °C at the surface; frozen soil under
    // polar air stays above the air's record.
    {"Ts", -60.0, 70.0, "°C", false, {{70.0, 136.0, "looks like °F; the model takes °C"}, Kelvin}},
    // The greatest 24-hour rainfall measured: 1825 mm (La Réunion, 1966).
    {"Ppt", 0.0, 2000.0, "mm H2O day-1"},
    // Daily shortwave at the top of the atmosphere peaks near 47 MJ m-2 day-1
    // (polar midsummer); a daily mean of up to 550 W m-2 is that in watts,
    // and kJ m-2 day-1 are a thousand times the model's numbers.
    {"II",
     0.0,
     50.0,
     "MJ m-2 day-1",
     false,
     {{50.0, 600.0, "looks like W m-2; the model takes MJ m-2 day-1 (multiply by 0.0864)"},
      {1000.0, 50000.0, "looks like kJ m-2 day-1; the model takes MJ m-2 day-1 (multiply by 0.001)"}}},
    // The largest regional loads measured, 5 to 8 g N m-2 yr-1, average
    // about 0.02 g N m-2 day-1; a wet day may bring a few times that.
    {"DNH4", 0.0, 0.1, "g N m-2 day-1"},
    {"DNO3", 0.0, 0.1, "g N m-2 day-1"},
    // The overrides of litterfall: at most a stand's whole pool in one day
    // (a canopy holds up to about 1000 g C m-2, stem wood up to 20 kg C m-2,
    // fine roots up to about 2000 g C m-2), with its nitrogen at C:N above 20.
    {"DlambdaCF", 0.0, 1000.0, "g C m-2 day-1", true},
    {"DlambdaCSW", 0.0, 20000.0, "g C m-2 day-1", true},
    {"DlambdaCHW", 0.0, 20000.0, "g C m-2 day-1", true},
    {"DlambdaCR", 0.0, 2000.0, "g C m-2 day-1", true},
    {"DlambdaNF", 0.0, 50.0, "g N m-2 day-1", true},
    {"DlambdaNSW", 0.0, 200.0, "g N m-2 day-1", true},
    {"DlambdaNHW", 0.0, 200.0, "g N m-2 day-1", true},
    {"DlambdaNR", 0.0, 50.0, "g N m-2 day-1", true},
    // Mineral nitrogen of heavily fertilised fields seldom passes 30 g N m-2
    // (300 kg N ha-1); forest soils hold a few.
    {"DNnh4", 0.0, 50.0, "g N m-2", true},
    {"DNno3", 0.0, 50.0, "g N m-2", true},
};

}  // namespace

std::span<const DriverRange> DriverRanges() { return {std::begin(Ranges), std::end(Ranges)}; }

std::string_view MixUpOf(const DriverRange& range, double value) {
    for (const UnitMixUp& m : range.MixUps)
        if (!m.Text.empty() && value >= m.Low && value <= m.High) return m.Text;
    return {};
}

bool Plausible(const DriverRange& range, double value) {
    return (value >= range.Low && value <= range.High) || (range.MissingMarker && value == -1.0);
}
