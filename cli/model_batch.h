// modelbatch: runs the model from a parameter file and a driver file into an
// output file, with the run and output options of the workbench given on the
// command line.
#pragma once

#include <ostream>

#include "run/run_loop.h"

struct BatchEnvironment {
    // stderr is a terminal: long runs show a progress bar there.
    bool ProgressOnTerminal = false;
    // The model equations; null for the compiled-in model. Tests run the
    // command line on a simpler model of the same shape.
    EvaluateFunction Evaluate = nullptr;
};

// Exit statuses besides 0.
inline constexpr int ExitFailure = 1;    // a file or the run failed
inline constexpr int ExitUsage = 2;      // the command line is wrong
inline constexpr int ExitCancelled = 130;  // interrupted by Ctrl+C

// The whole program: parses the command line, runs, and reports. Results and
// the summary go to `out`, errors, warnings and progress to `err`. Returns the
// exit status.
int RunModelBatch(int argc, char** argv, std::ostream& out, std::ostream& err, const BatchEnvironment& env = {});
