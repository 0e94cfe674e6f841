// ostrel-fit: fits parameters of the model to observations from the command
// line, with the run options of modelbatch.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fit/fitter.h"

struct FitEnvironment {
    // stderr is a terminal: the fit shows its progress there.
    bool ProgressOnTerminal = false;
    // Draws each fitted variable with its observations into the PNG, SVG or
    // PDF files of PlotFiles; returns an error message or "". Empty in a
    // build without windows.
    std::function<std::string(const std::string& fileName, const fit::ModelEvaluator&, const fit::FitResult&)> Plot;
    EvaluateFunction Evaluate = nullptr;  // null: the compiled-in model
};

// The files --plot FILE draws: FILE for one observed variable, else one file
// a variable, named FILE with "-SYMBOL" before its extension.
std::vector<std::string> PlotFiles(const std::string& fileName, const fit::Observations& observations);

// The whole program. Returns the exit status: 0 done, 1 a file or the fit
// failed, 2 a wrong command line, 130 interrupted (the best point found is
// still reported and saved).
int RunOstrelFit(int argc, char** argv, std::ostream& out, std::ostream& err, const FitEnvironment& env = {});
