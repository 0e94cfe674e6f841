// ostrel-fit: fits parameters of the model to observations from the command
// line, with the run options of modelbatch.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "fit/fitter.h"

struct FitEnvironment {
    // stderr is a terminal: the fit shows its progress there.
    bool ProgressOnTerminal = false;
    // Draws the fitted series with their observations into a PNG, SVG or PDF
    // file; returns an error message or "". Empty in a build without windows.
    std::function<std::string(const std::string& fileName, const fit::ModelEvaluator&, const fit::FitResult&)> Plot;
    EvaluateFunction Evaluate = nullptr;  // null: the compiled-in model
};

// The whole program. Returns the exit status: 0 done, 1 a file or the fit
// failed, 2 a wrong command line, 130 interrupted (the best point found is
// still reported and saved).
int RunOstrelFit(int argc, char** argv, std::ostream& out, std::ostream& err, const FitEnvironment& env = {});
