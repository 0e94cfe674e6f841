// Driver records in memory: what an import makes, a check reads and an
// export writes out again.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "drivers/weather_columns.h"

namespace drivers {

struct DriverRecord {
    double Time = 0.0;
    std::array<double, DriverCount + 1> Value{};  // entries 1..18, in the order of the driver table
    std::int64_t Line = 0;                        // the line it was read from; 0 when made here
};

// The records of a driver file; ImportError with the file and the line for a
// file that cannot be read or a record that is not numbers.
std::vector<DriverRecord> ReadDriverRecords(const std::string& fileName);

// Writes a driver file with the catalogue's titles and units (the catalogue
// must be defined). The file is replaced only once it is complete; a failure
// leaves any earlier file of that name as it was.
void SaveDriverRecords(const std::string& fileName, const std::vector<DriverRecord>& records);

}  // namespace drivers
