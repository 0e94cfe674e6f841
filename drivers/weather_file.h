// Reading a station's or a tower's weather file (CSV or TSV with a header
// line) into one value a day per quantity: sub-daily records are gathered
// into days (maximum and minimum temperature, precipitation sum, mean
// shortwave, mean soil temperature and the means of everything else).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "drivers/calendar.h"
#include "drivers/weather_columns.h"

namespace drivers {

// A column named by the user for a field, with its unit when given
// (--column Tamax=temp_max:degC).
struct ColumnChoice {
    Field What = Field::Tamax;
    std::string Column;
    std::optional<drivers::Unit> GivenUnit;
};
// "Tamax=temp_max:degC" as a choice; throws ImportError naming what is wrong.
ColumnChoice ParseColumnChoice(const std::string& text);

struct DailyWeather {
    Date First;             // the first day of the file
    long Days = 0;          // calendar days from the first to the last
    int RecordsPerDay = 1;  // the file's usual number of records a day
    // Per field, one value a day in the driver's unit, NaN where the day has
    // no value (a day with fewer than three quarters of the usual records is
    // such a gap); empty for fields no column holds.
    std::array<std::vector<double>, FieldCount + 1> Values;
    // Per field, the column it was read from and its unit, for the report.
    std::array<std::string, FieldCount + 1> Source;
    std::vector<std::string> Columns;  // the header, as found
};

// Throws ImportError: a file that cannot be read, no date column, a needed
// driver without a column (listing the columns found), an unknown unit, a
// text that is no number, dates that go backwards.
DailyWeather ReadWeatherFile(const std::string& fileName, const std::vector<ColumnChoice>& choices);

}  // namespace drivers
