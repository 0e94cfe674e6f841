// Observations of model variables to hold a run against: a CSV or TSV file
// whose first line names the columns (the time first, then symbols as
// modelbatch --columns takes them, optionally sd(SYMBOL) columns with the
// standard deviation of each observation), a line of units after it when the
// file begins as modelbatch's tables do, then one line per observed time.
// Empty and NA cells are missing values.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cmdline/symbols.h"

namespace fit {

// A file or an option that cannot be taken, with the file, line and column
// named in the message.
class EObservationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One observed variable: its points in the order of time.
struct ObservedSeries {
    Variable Var{VarKind::State, 0};
    std::string Symbol;     // as the catalogue qualifies it
    int Position = 0;       // among a run record's values (the time excluded)
    std::vector<double> Times;
    std::vector<double> Values;
    std::vector<double> Sd;  // the standard deviation of each point; 1 where none is given
};

struct Observations {
    std::string FileName;
    std::vector<ObservedSeries> Series;  // in the order of the file's columns
    std::vector<double> Times;           // every time with an observed value, ascending
    std::size_t Points() const;
};

// One standard deviation for every point of a series: --sd SYMBOL=VALUE.
struct SeriesSd {
    std::string Symbol;
    double Sd = 1.0;
};
// Throws EObservationError.
SeriesSd ParseSd(std::string_view text);

// Reads an observations file; the catalogue must be defined. `sds` gives the
// standard deviations of series that have no sd() column. Throws
// EObservationError.
Observations ReadObservations(const std::string& fileName, const std::vector<SeriesSd>& sds = {});

}  // namespace fit
