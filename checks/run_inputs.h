// The checks of a run's input files and parameter values, gathered for a
// caller that shows them in one go (the workbench before a run), and what
// they found as the likely cause of a run that then fails.
#pragma once

#include <string>
#include <vector>

#include "run/run_loop.h"

struct InputCheck {
    // Everything worth a word, in the order of the files.
    std::vector<std::string> Warnings;
    // Why the run cannot go on ("" when it can).
    std::string Refusal;
    // The warnings about values (drivers, parameter order): the likely
    // cause of a failure in the model or the integrator.
    std::vector<std::string> Findings;
};

// Checks the parameter file `paramFile` (skipped when empty or when
// `valuesAsRead` is false, as after edits), the parameter values in force
// and the driver file `driverFile`. A file that cannot be read is left to
// the run to report.
InputCheck CheckRunInputs(const std::string& paramFile, bool valuesAsRead, const std::string& driverFile);

// "" or "; likely at fault: " and the first finding, for the report of a run
// that failed at `failedIn`: only failures in the model and the integrator
// come from values.
std::string LikelyCause(const std::vector<std::string>& findings, RunStage failedIn);

// The one question that lists the warnings before a run (at most 8 of
// them, then how many more), answered Yes to run all the same.
std::string InputWarningsQuestion(const std::vector<std::string>& warnings);
