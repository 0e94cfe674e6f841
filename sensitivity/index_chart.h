// What the chart of one metric's sensitivity indices shows: the factors
// ranked by influence with their estimates and 95 % intervals, the titles
// and the legend. Drawn by the plotting library (index_plot_chart.h).
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "sensitivity/analysis.h"

namespace sensitivity {

struct Estimate {
    double Value = std::numeric_limits<double>::quiet_NaN();
    double Low95 = std::numeric_limits<double>::quiet_NaN();
    double High95 = std::numeric_limits<double>::quiet_NaN();
};

// One factor: an estimate per measure of the chart. Bars (one-at-a-time,
// Sobol) have one per legend entry; a Morris point has μ* then σ.
struct ChartRow {
    std::string Factor;
    std::vector<Estimate> Values;
};

struct IndexChart {
    Method Kind = Method::Oat;
    std::string Title;
    std::vector<std::string> Measures;  // legend texts (bars only)
    std::string ValueTitle;             // the axis of the values (Morris: μ*)
    std::string SecondTitle;            // Morris: the σ axis
    // Most influential first: by |elasticity|, by total index, by μ*.
    // Factors without a number come last.
    std::vector<ChartRow> Rows;
};

// The chart of `analysis` (of the metric named `metric`) of `design`.
// Morris μ* and σ are scaled by each factor's range (high − low), so that
// factors of different units can be compared on one plane.
IndexChart BuildIndexChart(const Design& design, const Analysis& analysis, const std::string& metric);

// Refuses (InputError) a plot file name that does not end in .png, .svg or
// .pdf, in any case.
void CheckPlotFileName(const std::string& fileName);

// The plotting library, when this build has one (index_plot_*.cpp).
bool PlottingAvailable();
// Writes `chart` to `fileName` as PNG, SVG or PDF by its extension, through a
// temporary file beside it. Throws std::runtime_error naming the file.
void DrawIndexChart(const IndexChart& chart, const std::string& fileName);

}  // namespace sensitivity
