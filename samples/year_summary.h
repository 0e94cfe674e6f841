// Year-by-year figures of a run, read back from its output file.
#pragma once

#include <string>
#include <vector>

struct YearSummary {
    double FirstTime = 0;     // time of the year's first record
    double LastTime = 0;      // time of its last record
    double Days = 0;          // the day counter at its last record
    double Gpp = 0;           // annual running totals at the last record, g C m-2
    double Npp = 0;
    double Nep = 0;
    double PeakLai = 0;       // m2 leaf m-2 ground
    double PeakSnow = 0;      // mm H2O
};

// Reads an output file of this model and cuts it into model years where the
// day counter goes back (the model's annual reset). Throws the file reader's
// errors; a file without records gives no years.
std::vector<YearSummary> SummariseYears(const std::string& outputFile);
