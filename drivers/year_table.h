// The per-year table that the import and the check print.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace drivers {

struct YearRow {
    std::string Year;  // "2019", or "model year 3"
    long Days = 0;
    double MeanTmax = 0.0, MeanTmin = 0.0, PptSum = 0.0, MeanII = 0.0;
    std::string Shortwave;  // "measured" or "derived"; empty when not known
    std::string Notes;
};

void PrintYearTable(std::ostream& out, const std::vector<YearRow>& rows);

}  // namespace drivers
