// How well a fit meets the observations, and how well the observations fix
// the fitted parameters.
#pragma once

#include <vector>

#include "fit/model_evaluator.h"

namespace fit {

struct SeriesFit {
    std::size_t Points = 0;
    double Rmse = 0.0;  // root mean square of simulated - observed
    double Bias = 0.0;  // mean of simulated - observed
    double R2 = 0.0;    // 1 - residual over total sum of squares; NaN when the observations do not vary
};

std::vector<SeriesFit> SeriesFits(const Observations& observations, const RunOutcome& outcome);

// Approximate standard errors and correlations of the fitted parameters from
// the Jacobian of the standardised residuals at the optimum.
struct Uncertainty {
    bool Available = false;          // false: the Jacobian could not be computed (a run failed)
    std::vector<bool> Identifiable;  // per parameter: the observations fix it
    std::vector<bool> NoEffect;      // per parameter: the observations do not depend on it at all
    std::vector<double> StandardError;                // in the parameter's units; infinite when not identifiable
    std::vector<std::vector<double>> Correlation;     // NaN for unidentifiable parameters
    double ResidualVariance = 0.0;   // objective / (points - parameters); 1 when there are no more points
};

// `jacobian[i][j]`: d residual i / d parameter j; `spans[j]`: the width of
// parameter j's bounds. A parameter whose whole span moves the standardised
// residuals by next to nothing (see NegligibleEffect), or whose column
// depends on the others, is unidentifiable and left out of the others'
// errors.
Uncertainty UncertaintyOf(const std::vector<std::vector<double>>& jacobian, double objective,
                          const std::vector<double>& spans);

// Below this root mean square change of the standardised residuals across
// its whole span, a parameter has no effect the observations could show.
// Its standard error would be about span / (effect × sqrt(points)): more
// than its whole span unless there were a million observations or more.
// The finite differences of a parameter the model does not use at all come
// out of the integrator's rounding near 1e-9 instead of 0.
constexpr double NegligibleEffect = 1e-3;

// The Jacobian by central differences at `values`, each parameter moved by
// `relativeStep` of its bound range (kept within the bounds). Returns false
// when a run failed. Counts its runs in `evaluator`.
bool ResidualJacobian(ModelEvaluator& evaluator, const std::vector<double>& values, double relativeStep,
                      std::vector<std::vector<double>>& jacobian);

}  // namespace fit
