// The chart ostrel-plot draws: a title, the series of each axis group as
// lines (or the display's markers, or annual bars), on one panel with an
// axis per unit or on stacked panels sharing the time axis, each panel's
// legend beside it rather than over the data.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/chart_series.h"
#include "plot/plot_choices.h"

class QCustomPlot;

struct PlotDrawing {
    std::string Title;
    std::string XTitle;
    AxisPlan Plan;
    std::vector<PlottedSeries> Series;  // in the order the plan's indices refer to
    bool Points = false;                // the display's markers instead of lines
    bool Bars = false;                  // annual values: one bar per year and series
    bool YearTicks = false;             // ticks at whole years
    bool LogX = false, LogY = false;
};

// Draws `drawing` onto `chart`, which must be empty.
void DrawPlot(QCustomPlot& chart, const PlotDrawing& drawing);
