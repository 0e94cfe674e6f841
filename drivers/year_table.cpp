#include "drivers/year_table.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace drivers {

void PrintYearTable(std::ostream& out, const std::vector<YearRow>& rows) {
    std::size_t width = 4;
    for (const YearRow& r : rows) width = std::max(width, r.Year.size());
    char line[256];
    std::snprintf(line, sizeof line, "%-*s %5s %8s %8s %10s %14s  %s\n", static_cast<int>(width), "year", "days",
                  "Tamax", "Tamin", "Ppt", "II", "notes");
    out << line;
    std::snprintf(line, sizeof line, "%-*s %5s %8s %8s %10s %14s\n", static_cast<int>(width), "", "", "oC mean",
                  "oC mean", "mm sum", "MJ m-2 d-1 mean");
    out << line;
    for (const YearRow& r : rows) {
        std::string notes =
            r.Shortwave.empty() ? r.Notes : "II " + r.Shortwave + (r.Notes.empty() ? "" : "; " + r.Notes);
        std::snprintf(line, sizeof line, "%-*s %5ld %8.2f %8.2f %10.1f %14.2f", static_cast<int>(width), r.Year.c_str(),
                      r.Days, r.MeanTmax, r.MeanTmin, r.PptSum, r.MeanII);
        out << line << (notes.empty() ? "" : "  ") << notes << '\n';
    }
}

}  // namespace drivers
