// From a weather file to driver records on the model's calendar: columns
// read and gathered into days, short gaps filled, what the station does not
// measure derived, every record checked.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "drivers/driver_records.h"
#include "drivers/weather_file.h"
#include "drivers/year_table.h"

namespace drivers {

enum class ShortwaveMethod { HargreavesSamani, ThorntonRunning };

struct ImportSettings {
    std::string Input;
    std::string Output;
    double Latitude = 0.0;  // degrees, south negative
    std::vector<ColumnChoice> Columns;
    ShortwaveMethod Shortwave = ShortwaveMethod::HargreavesSamani;
    double Krs = 0.16;
    double SoilLag = 10.0;      // days
    std::optional<double> Co2;  // ppm; the table of annual means when not given
    double Ndep = 8.0;          // kg N ha-1 yr-1
    double Nh4Fraction = 0.5;
    int MaxGap = 3;  // days
};

// The run options that fit the records.
struct RunFit {
    long Start = 0;
    long Stop = 0;
    long Repeat = -1;  // -1 when the records are no whole calendar years
    std::string Text;  // the options and what they do
};

struct ImportResult {
    std::vector<DriverRecord> Records;
    std::vector<std::string> Dates;  // the date of each record
    std::vector<YearRow> Years;
    std::vector<std::string> Derived;  // one line per driver not read from a column
    std::vector<std::string> Warnings;
    RunFit Run;
};

// The settings' own mistakes (a latitude off the globe, a fraction above 1);
// empty when there are none.
std::string SettingsProblem(const ImportSettings& settings);

// Reads and converts; writes nothing. Throws ImportError.
ImportResult ImportWeather(const ImportSettings& settings);

// ImportWeather, the driver checks, the atomic save of the output file and
// the report. Nothing is written when any of them refuses (ImportError).
ImportResult ImportAndSave(const ImportSettings& settings);
void PrintImportReport(std::ostream& out, const ImportSettings& settings, const ImportResult& result);

}  // namespace drivers
