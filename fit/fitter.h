// The fit: the parameters that minimise the sum of squared standardised
// residuals within their bounds, found by a derivative-free optimiser on
// parameters scaled to [0, 1].
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fit/fit_statistics.h"
#include "fit/model_evaluator.h"

namespace fit {

enum class Algorithm { Bobyqa, NelderMead, Sbplx };
// "bobyqa", "neldermead" or "sbplx". Throws EFitError.
Algorithm AlgorithmNamed(std::string_view name);

struct FitSettings {
    Algorithm Method = Algorithm::Bobyqa;
    int MaxRuns = 1000;  // runs of the optimiser; the standard errors take 2 more per parameter
};

struct FitProgress {
    int Runs = 0;
    double Best = 0.0;  // the smallest objective so far
};

struct FitResult {
    std::vector<double> Start, Fitted;
    std::vector<int> AtBound;  // per parameter: -1 at its lower bound, 1 at its upper bound, else 0
    double StartObjective = 0.0, Objective = 0.0;
    int Runs = 0;
    int FailedRuns = 0;
    bool Cancelled = false;
    std::string Ending;  // why the optimiser stopped, in words
    RunOutcome Best;     // the run at the fitted values
    std::vector<SeriesFit> Series;
    Uncertainty Errors;
};

// Fits from the parameters' starting values. A run that fails counts as a
// very bad objective; a failure of the run from the starting values ends the
// fit with EFitError. A cancel (through the evaluator's hooks) keeps the best
// point found. `progress` is told after every run. The evaluator's starting
// states and parameter values are in place again afterwards.
FitResult Fit(ModelEvaluator& evaluator, const FitSettings& settings,
              const std::function<void(const FitProgress&)>& progress = {});

}  // namespace fit
