// The fit's report as text: the fitted values against their bounds, the
// objective, the fit of every series, and the standard errors and
// correlations of the fitted parameters.
#pragma once

#include <string>

#include "fit/fitter.h"

namespace fit {

std::string FitReport(const ModelEvaluator& evaluator, const FitResult& result);

// A number as the report writes it: up to 6 significant digits.
std::string ReportNumber(double value);

}  // namespace fit
