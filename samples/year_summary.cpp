#include "samples/year_summary.h"

#include <algorithm>

#include "core/stypes.h"
#include "fileio/fileio.h"

namespace {
// Closes the shared output file however reading ends.
struct OutputFileReading {
    OutputFileReading(const std::string& name, const statearray& states, const processarray& processes) {
        OpenOutputFile(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, false);
    }
    ~OutputFileReading() { CloseOutputFile(); }
    OutputFileReading(const OutputFileReading&) = delete;
    OutputFileReading& operator=(const OutputFileReading&) = delete;
};
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
    OutputFileReading reading(outputFile, states, processes);
    double time = 0;
    double previousDay = 0;
    while (ReadOutputRecord(time, ModelDef.NumDrivers, drivers, ModelDef.NumStates, states, ModelDef.NumProcesses,
                            processes)) {
        const double day = states[jday].Value;
        if (years.empty() || day < previousDay) {
            years.emplace_back();
            years.back().FirstTime = time;
            years.back().PeakLai = processes[lai].Value;
        }
        YearSummary& y = years.back();
        y.LastTime = time;
        y.Days = day;
        y.Gpp = states[gpp].Value;
        y.Npp = states[npp].Value;
        y.Nep = states[nep].Value;
        y.PeakLai = std::max(y.PeakLai, processes[lai].Value);
        y.PeakSnow = std::max(y.PeakSnow, states[snow].Value);
        previousDay = day;
    }
    return years;
}
