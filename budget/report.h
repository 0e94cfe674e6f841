// The budget as text for people and as CSV for other tools.
#pragma once

#include <string>
#include <vector>

#include "budget/books.h"

namespace budget {

// The title of a period: "Model year 2, times 367 to 732", "New-year step,
// times 366 to 367", "Whole run, times 1 to 3660".
std::string PeriodTitle(const Period& p);

// One line of a period's account as the report shows it.
struct ReportLine {
    std::string Label;    // "in: GPP", "change: vegetation", "closure error"
    std::string Symbols;  // "PST", "Cf+Csw+Chw+Cr", "change - (in - out)"
    std::string Amount;   // the number, or empty where a note stands instead
    std::string Note;     // why there is no closure figure, or its share of the throughput
};
std::vector<ReportLine> ReportLines(const Period& p, Element element);

// How the books are kept, in a few sentences: each year from its first to
// its last record, and the new-year step from the states.
std::string BooksExplanation();

// The whole report, lines ended with "\n".
std::string ReportText(const Budget& b);

// The report as CSV records (header first), lines ended with CR LF: one
// record per line of every period and element, numbers exact.
std::string ReportCsv(const Budget& b);

// Saves ReportCsv to `fileName` (replaced only once complete). Throws the
// file's failure.
void SaveReportCsv(const Budget& b, const std::string& fileName);

}  // namespace budget
