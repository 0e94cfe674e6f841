// What ostrel-plot draws where, as plain decisions without the toolkit: which
// series share a dependent axis, whether those axes stand in one panel or in
// stacked panels, the axis titles, the model years of records and the
// annual values of a series.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/display_rules.h"

// --panels, --axes or neither (stacked panels when the units differ).
enum class PlotArrangement { Automatic, Panels, Axes };

// Series of one unit: one dependent axis.
struct AxisGroup {
    std::string Units;
    std::vector<int> Series;  // indices into the series given, in their order
    std::string Title;        // the axis title: names and units
};

struct AxisPlan {
    bool Panels = false;            // one panel per group, stacked, sharing the time axis
    std::vector<AxisGroup> Groups;  // in the order of their first series
};

// Groups the series by their units (exactly as the catalogue writes them)
// and arranges the groups.
AxisPlan PlanAxes(const std::vector<SeriesUnits>& series, PlotArrangement arrangement);

// The time axis: "Time (days)" with the model's time unit, "Time (model
// years)" with --years, "Model year (annual sum of the records)" and the
// like for annual values.
enum class Annual { Sum, Mean, Max, Min };
std::string TimeAxisTitle(const std::string& timeUnit, bool years, std::optional<Annual> annual);

// The model year of 366 days closes with its last day: times in
// (366 (y - 1), 366 y] belong to year y.
inline constexpr double DaysPerModelYear = 366.0;
int ModelYear(double time);
// A time in model years (day 366 is 1.0).
double InModelYears(double time);

// "sum", "mean", "max", "min"; nothing for another text.
std::optional<Annual> AnnualFromText(const std::string& text);
struct AnnualValue {
    int Year = 0;
    double Value = 0;
    int Records = 0;
};
// The value of each model year of the records (times `t`, values `y`, in
// time order). A first record at the very start of a year (the state a run
// starts from, at day 0 or another multiple of 366) belongs to no year's
// days and is left out; so is a year without records.
std::vector<AnnualValue> AnnualValues(const std::vector<double>& t, const std::vector<double>& y, Annual annual);

// The chart's title: `title` when given, else the file's name without its
// folder.
std::string ChartTitle(const std::string& fileName, const std::optional<std::string>& title);
