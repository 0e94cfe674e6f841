// Output files for the display's tests, written with the model's own
// output-file writer: records of chosen values by grid column (1.. the
// drivers, then the states, then the process variables), every other
// value 0.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/stypes.h"
#include "fileio/fileio.h"

namespace views_test {

using Record = std::pair<double, std::map<int, double>>;

// The model's table entry behind grid column `column` (1-based), set to `value`.
inline void SetColumn(int column, double value, statearray& states, processarray& processes) {
    const int nd = ModelDef.NumDrivers, ns = ModelDef.NumStates;
    if (column <= nd)
        Drivers[column].Value = value;
    else if (column <= nd + ns)
        states[column - nd].Value = value;
    else
        processes[column - nd].Value = value;
}

inline void WriteOutput(const std::string& file, const std::vector<Record>& records) {
    const driverarray keptDrivers = Drivers;
    statearray states = States;
    processarray processes = Processes;
    OpenOutputFile(file, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, true);
    for (const auto& [time, values] : records) {
        for (int c = 1; c < 1 + ModelDef.NumDrivers + ModelDef.NumProcesses; ++c) SetColumn(c, 0, states, processes);
        for (const auto& [column, value] : values) SetColumn(column, value, states, processes);
        WriteOutputRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, time);
    }
    CloseOutputFile();
    Drivers = keptDrivers;
}

// Grid columns of a few named variables.
inline int DriverColumn(int driver) { return driver; }
inline int StateColumn(int state) { return ModelDef.NumDrivers + state; }
inline int ProcessColumn(int process) { return ModelDef.NumDrivers + process; }

}  // namespace views_test
