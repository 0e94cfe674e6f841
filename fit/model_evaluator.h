// One evaluation of the fit's objective: a complete run of the model from the
// starting states with some parameters changed, its records at the observed
// times held against the observations.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/stypes.h"
#include "fit/fit_parameters.h"
#include "fit/observations.h"
#include "run/run_loop.h"

namespace fit {

// What the model gave at the observed points of each series, with the
// standardised sum of squares.
struct RunOutcome {
    bool Ok = false;
    bool Cancelled = false;
    std::string Error;  // why the run failed
    std::vector<std::vector<double>> Simulated;  // per series, per observed point
    double Objective = 0.0;  // sum of ((simulated - observed) / sd)^2
};

// What the window or the terminal around a fit is told and asked.
struct FitHooks {
    std::function<void()> PumpEvents;     // after every step of a run
    std::function<bool()> CancelRequested;  // true ends the fit after the step in progress
};

class ModelEvaluator {
public:
    // Takes the values now in States and Params as the starting point of
    // every run; the run settings in force (times, RunOptions, DriverFileName)
    // are used as they are. No output file is written.
    ModelEvaluator(const Observations& observations, std::vector<FitParameter> parameters, FitHooks hooks = {},
                   EvaluateFunction evaluate = nullptr);
    ~ModelEvaluator();
    ModelEvaluator(const ModelEvaluator&) = delete;
    ModelEvaluator& operator=(const ModelEvaluator&) = delete;

    const Observations& Observed() const { return observations_; }
    const std::vector<FitParameter>& Parameters() const { return parameters_; }
    // Runs with the fitted parameters at `values` (in their own units).
    RunOutcome Run(std::span<const double> values);
    int Runs() const { return runs_; }
    // The starting states and parameter values, as the fit found them.
    void Restore();

private:
    const Observations& observations_;
    std::vector<FitParameter> parameters_;
    FitHooks hooks_;
    EvaluateFunction evaluate_;
    statearray startStates_;
    paramarray startParams_;
    std::string outputFileName_;
    double stopTime_;  // a steady state may end a run early and move StopTime
    bool outputAvailable_;
    int runs_ = 0;
};

// The residuals of an outcome standardised by their sd, series after series.
std::vector<double> Residuals(const Observations& observations, const RunOutcome& outcome);

}  // namespace fit
