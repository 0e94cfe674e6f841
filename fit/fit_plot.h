// The fitted variables with their observations, drawn with the display's
// chart into PNG, SVG or PDF files: each variable as the run at the fitted
// values (a line) and as its observations (points).
#pragma once

#include <string>

#include "fit/fitter.h"

// Draws the files PlotFiles names. Returns "" or what went wrong. Needs a
// QApplication.
std::string DrawFitPlot(const std::string& fileName, const fit::ModelEvaluator& evaluator, const fit::FitResult& result);
