// The values real sites have, driver by driver, and the unit mix-ups that
// put a driver far outside them. One table, read by every check of driver
// values (modelbatch, the workbench's run, the driver tool).
#pragma once

#include <span>
#include <string>
#include <string_view>

// A value in another unit than the model's: values from Low to High in that
// unit, and what the warning then says.
struct UnitMixUp {
    double Low = 0.0, High = 0.0;
    std::string_view Text;  // "looks like kelvin; the model takes °C"
};

struct DriverRange {
    std::string_view Symbol;  // the catalogue's driver symbol, in driver order
    double Low, High;         // values of real sites, in the model's units
    std::string_view Units;   // the model's units as a message names them
    // The overrides (drivers 9..18) take -1 for "no measurement".
    bool MissingMarker = false;
    UnitMixUp MixUps[2] = {};
};

// Entry i - 1 belongs to driver i of the Ostrel catalogue.
std::span<const DriverRange> DriverRanges();

// What a value outside its range most likely is: the text of the first unit
// mix-up whose span holds it, or "" when none does.
std::string_view MixUpOf(const DriverRange& range, double value);

// True when `value` is one that real sites have (or the missing marker).
bool Plausible(const DriverRange& range, double value);
