#include "samples/year_summary.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/stypes.h"
#include "fileio/output_file.h"

namespace {

constexpr double DaysPerModelYear = 366.0;

// Times of records are sums of steps: a time within this much of a year's
// end is at it.
constexpr double TimeSlack = 1e-6;

// The model year a record belongs to: the annual totals are reset after the
// step that ends on a whole multiple of 366 days, so the record of that step
// still closes its year. Records in (0, 366] are year 1.
int ModelYear(double time) { return static_cast<int>(std::ceil(time / DaysPerModelYear - TimeSlack)); }

bool AtYearEnd(double time, int year) { return std::fabs(time - year * DaysPerModelYear) <= TimeSlack; }

std::string TimeText(double time) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, time, std::chars_format::general, 15).ptr);
}

}  // namespace

std::vector<YearSummary> SummariseYears(const std::string& outputFile) {
    // Scratch tables: reading back never touches the model's current values.
    driverarray drivers = Drivers;
    statearray states = States;
    processarray processes = Processes;

    const int jday = FindSymbol(1, "Jday"), snow = FindSymbol(1, "Ws");
    const int gpp = FindSymbol(1, "PST"), npp = FindSymbol(1, "NPPT"), nep = FindSymbol(1, "NepT");
    const int lai = FindSymbol(3, "LAI");

    std::vector<YearSummary> years;
    fileio::OutputReader reader(outputFile);
    double time = 0;
    while (reader.ReadRecord(time, drivers, ModelDef.NumStates, states, ModelDef.NumProcesses, processes)) {
        const int year = ModelYear(time);
        if (years.empty() || year != years.back().Year) {
            // The totals of a year are those of its last record: with records
            // that miss the end of a year, they would be short of the year's.
            if (!years.empty() && !AtYearEnd(years.back().LastTime, years.back().Year))
                throw std::runtime_error("no record at the end of model year " + std::to_string(years.back().Year) +
                                         " (its last record is at time " + TimeText(years.back().LastTime) +
                                         "): the annual totals need one at every multiple of 366 days");
            years.emplace_back();
            years.back().Year = year;
            years.back().FirstTime = time;
            years.back().PeakLai = processes[lai].Value;
        }
        YearSummary& y = years.back();
        y.LastTime = time;
        y.Days = states[jday].Value;
        y.Gpp = states[gpp].Value;
        y.Npp = states[npp].Value;
        y.Nep = states[nep].Value;
        y.PeakLai = std::max(y.PeakLai, processes[lai].Value);
        y.PeakSnow = std::max(y.PeakSnow, states[snow].Value);
    }
    return years;
}

void RequireDailyRecords(const std::string& outputFile) {
    driverarray drivers = Drivers;
    statearray states = States;
    processarray processes = Processes;
    fileio::OutputReader reader(outputFile);
    double time = 0, previous = 0;
    for (bool first = true; reader.ReadRecord(time, drivers, ModelDef.NumStates, states, ModelDef.NumProcesses, processes);
         first = false, previous = time)
        if (!first && std::fabs(time - previous - 1.0) > TimeSlack)
            throw std::runtime_error("the records are not daily: the record at time " + TimeText(time) +
                                     " follows the one at time " + TimeText(previous) +
                                     "; the peaks of a year need a record every day (modelbatch --step 1 "
                                     "--output-every 1)");
}
