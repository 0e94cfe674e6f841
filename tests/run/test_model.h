// A small model of the catalogue's shape whose results are known in closed
// form, and the files around it, for the tests of the run and the command
// line. The rules, by table entry:
//   state 1: dX/dt = Params[1]                         (a straight line)
//   state 2: dX/dt = driver 1                          (the sum of the drivers)
//   state 3: dX/dt = Params[2]                         (a second line, never reset)
//   state 4: +1 at every end of step when Params[3] != 0 (a step counter)
//   process NumStates + 1: the time of the evaluation
// From time Params[4] on (when it is not 0), every evaluation fails with
// EInvalidOp; from time Params[5] on (when not 0), every end of step raises
// SIGINT, as a user pressing Ctrl+C; from time Params[6] on (when not 0),
// SIGTERM, as a batch system at a job's time limit.
#pragma once

#include "tests/test_files.h"

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/stypes.h"

inline void TestModel(const driverarray& drivers, const paramarray& params, statearray& states, double time,
                      processarray& processes, bool endOfStep) {
    if (params[4].Value != 0.0 && time >= params[4].Value) throw EInvalidOp();
    processes[1].Value = params[1].Value;
    processes[2].Value = drivers[1].Value;
    processes[3].Value = params[2].Value;
    processes[ModelDef.NumStates + 1].Value = time;
    if (endOfStep && params[3].Value != 0.0) states[4].Value += 1.0;
    if (endOfStep && params[5].Value != 0.0 && time >= params[5].Value) std::raise(SIGINT);
    if (endOfStep && params[6].Value != 0.0 && time >= params[6].Value) std::raise(SIGTERM);
}

// A driver file with the given (time, driver 1) records; the other drivers are 0.
// A record written as text is put in as it stands.
inline void WriteDrivers(const std::string& file, const std::vector<std::string>& records) {
    std::ofstream out(file, std::ios::binary);
    out << "Time drivers\r\ndays units\r\n";
    for (const std::string& record : records) {
        out << record;
        for (int i = 2; i <= 18; ++i) out << " 0";
        out << "\r\n";
    }
}

// The time column and one other column (0-based, 0 is the time) of every
// record of an output file.
struct OutputColumn {
    std::vector<double> times, values;
    int headerLines = 0;
};

inline OutputColumn ReadColumn(const std::string& file, int column) {
    OutputColumn result;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (result.headerLines < 2) {
            ++result.headerLines;
            continue;
        }
        std::istringstream fields(line);
        std::vector<double> numbers;
        for (std::string field; fields >> field;) numbers.push_back(std::stod(field));
        result.times.push_back(numbers.at(0));
        result.values.push_back(numbers.at(static_cast<std::size_t>(column)));
    }
    return result;
}

// Columns of the output file: time, 18 drivers, then the states, then the
// process variables after the derivatives.
inline constexpr int DriverColumn = 1;
inline int StateColumn(int i) { return 18 + i; }
// Process NumStates + 1: the time of the last evaluation.
inline constexpr int EvaluationTimeColumn = 18 + 55 + 1;
