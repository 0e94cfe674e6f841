// The checks every driver record passes before it is written or run: finite
// values, plausible ranges of the measured drivers, the minimum temperature
// not above the maximum, the "not measured" mark or a plausible value for
// the ten override drivers, and times that do not go backwards.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "drivers/driver_records.h"

namespace drivers {

struct DriverProblem {
    std::size_t Record = 0;  // index into the series
    std::string Text;        // "Tamin 12.5 above Tamax 10.1"
};

// Every problem of the series, in record order.
std::vector<DriverProblem> CheckDriverRecords(const std::vector<DriverRecord>& records);

}  // namespace drivers
