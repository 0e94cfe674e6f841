// A driver file's checks alone with its per-year table, and a driver file
// back to a tidy CSV.
#pragma once

#include <iosfwd>
#include <string>

namespace drivers {

// Prints the per-model-year table and every problem of the file's records
// ("SITE.drr:57 (time 54): Tamin 3 above Tamax 1"); the number of problems.
// Throws ImportError for a file that cannot be read.
std::size_t CheckDriverFile(const std::string& fileName, std::ostream& out);

// Writes the records as CSV (RFC 4180, units in the header), one line a
// record: its date when model year 1 is calendar year `firstYear`, its model
// time, then the 18 drivers. A 365-day year's 366th model day has no date
// and is left out. The file is replaced only once it is complete. Returns
// the number of lines written; throws ImportError.
std::size_t ExportDriverFile(const std::string& fileName, const std::string& csvFile, int firstYear);

}  // namespace drivers
