// Year-by-year figures of a run, read back from its output file.
#pragma once

#include <string>
#include <vector>

struct YearSummary {
    int Year = 0;             // model year: the records with times in (366 (Year - 1), 366 Year]
    double FirstTime = 0;     // time of the year's first record
    double LastTime = 0;      // time of its last record
    double Days = 0;          // the day counter at its last record
    // Annual running totals at the last record, g C m-2. The model zeroes
    // them after the first step of a new year has added to them: from the
    // second year on they leave that step out, which Days counts.
    double Gpp = 0;
    double Npp = 0;
    double Nep = 0;
    double PeakLai = 0;       // m2 leaf m-2 ground, over the year's records
    double PeakSnow = 0;      // mm H2O, over the year's records
};

// Reads an output file of this model and groups its records by model year
// (366 days) from their times, whatever the output interval. Every year but
// the last must end with a record at its last day, which holds the year's
// totals; otherwise std::runtime_error says which year misses it. Throws the
// file reader's errors; a file without records gives no years.
std::vector<YearSummary> SummariseYears(const std::string& outputFile);

// The peaks of a year are taken over its records: they need a record every
// day. Throws std::runtime_error naming the first two records a day or more
// apart, and the file reader's errors.
void RequireDailyRecords(const std::string& outputFile);
