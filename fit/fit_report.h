// The fit's report as text: the fitted values against their bounds, the
// objective, the fit of every series, and the standard errors and
// correlations of the fitted parameters.
#pragma once

#include <string>

#include "fit/fitter.h"

namespace fit {

std::string FitReport(const ModelEvaluator& evaluator, const FitResult& result);

// A few lines for a message box: how the fit ended, the objective, and each
// fitted value with its standard error or what keeps it from having one.
std::string FitSummary(const ModelEvaluator& evaluator, const FitResult& result);

// A number as the report writes it: up to 6 significant digits.
std::string ReportNumber(double value);

}  // namespace fit
