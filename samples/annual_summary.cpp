// annual_summary: prints annual GPP, NPP, NEP, peak leaf area and deepest
// snowpack of a run, read back from its output file.
//
//   annual_summary OUTPUT.out
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "cmdline/terminal.h"
#include "model/equations.h"
#include "samples/year_summary.h"

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << "usage: annual_summary OUTPUT.out\n"
                     "Prints, for each model year of 366 days, the days counted, the annual GPP, NPP and NEP\n"
                     "(g C m-2 yr-1), the peak leaf area index and the deepest snowpack (mm) of a run of the\n"
                     "Ostrel model, read back from its output file. The records must be daily, and every\n"
                     "year but the last must end with a record at its last day.\n"
                     "The sums are the model's annual totals at the last record of each year. The model zeroes\n"
                     "them after the first step of a new year has added to them, so from the second year on they\n"
                     "leave that step out: the days column counts it, the sums do not. ostrel-budget accounts for\n"
                     "that step from the states.\n";
        return 0;
    }
    if (argc != 2) {
        std::cerr << "usage: annual_summary OUTPUT.out (--help tells more)\n";
        return 2;
    }
    DefineModel();
    // The readers' notes (a last record cut short) each once, although the file is read twice.
    TerminalNotifier notifier(std::cerr, "annual_summary", {.EachTextOnce = true});
    try {
        RequireDailyRecords(argv[1]);
        const auto years = SummariseYears(argv[1]);
        if (years.empty()) {
            std::cerr << "annual_summary: " << argv[1] << ": no records\n";
            return 1;
        }
        std::printf("year  days    GPP    NPP    NEP  peak LAI  peak snow\n");
        std::printf("           (g C m-2 yr-1)      (m2 m-2)       (mm)\n");
        for (const YearSummary& y : years)
            std::printf("%4d %5.0f %6.0f %6.0f %6.0f %9.2f %10.0f\n", y.Year, y.Days, y.Gpp, y.Npp, y.Nep, y.PeakLai,
                        y.PeakSnow);
        if (years.size() > 1)
            std::printf(
                "From year 2 on, GPP, NPP and NEP leave out the year's first step, which the model's annual\n"
                "reset drops from its totals; the days count it (ostrel-budget accounts for it).\n");
    } catch (const std::exception& e) {
        std::cerr << "annual_summary: " << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
