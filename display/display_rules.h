// The output display's rules as plain arithmetic: the layout sums, the
// number of list columns, the ten-series limit, the dependent axis range,
// "Plot as" and the axis label formats. Integer division truncates towards
// zero; roundings go half to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the bottom panel's controls go when the window is shown.
struct DisplayLayout {
    int BottomHeight = 0;      // height of PnBottom
    int ButtonTops[3] = {};    // "&Update Chart", "Clear &Selection", "Close &Display"
    bool MoveAllButtons = true; // false: only "Close &Display" moves (table view)
};

// `windowHeight`: the window's height; `buttonHeights`: the three buttons'.
DisplayLayout LayOutDisplay(bool showTable, int windowHeight, const int (&buttonHeights)[3]);
// The "Plot as" group reaches from its top to the middle of PnBottomRight.
int PlotAsHeight(int rightPanelHeight, int plotAsTop);

// Columns of a list `clientWidth` pixels wide: a column per 200 pixels, at
// least 1, rounded half to even.
int ListColumns(int clientWidth);

// The chart draws at most ten dependent series.
inline constexpr int MaxSeries = 10;

// The order of the series list: alphabetical regardless of case, then by case.
bool SeriesListBefore(const std::string& a, const std::string& b);

// The dependent axis after an update: from the lowest y (or 0 when that is
// above 0) to the highest y of the active series. A logarithmic axis, which
// cannot show 0, runs from the lowest positive y instead. An axis without
// points, or with all its points at one value, gets a range that shows them.
struct AxisRange {
    double Min = 0;
    double Max = 0;
};
AxisRange DependentRange(std::optional<double> lowest, std::optional<double> highest, bool logarithmic);

// "Plot as": 0 actual values y, 1 relative change y/y0, 2 cumulative change
// y-y0. Nothing when the value cannot be computed (y0 = 0 for the relative
// change, or a result too large for a double).
std::optional<double> PlotValue(int plotAs, double y, double y0);

// A number in a display pattern of the chart's axes: "#,##0.0" (thousands
// separated by commas, one decimal) or "####0.#####" (no separators, up to
// five decimals). '0' is a digit always shown, '#' one shown when needed,
// ',' in the integer part asks for thousands separators.
std::string FormatPattern(double value, const std::string& pattern);

// The notice of a logarithmic axis that cannot show some points.
std::string HiddenPointsNotice(std::int64_t count);

// Axis titles: a series' name and its units, as the table's header holds them.
struct SeriesUnits {
    std::string Name;
    std::string Units;
};
// The series grouped by their units (compared exactly), in the order of
// each group's first series; indices into `series`.
std::vector<std::vector<int>> GroupByUnits(const std::vector<SeriesUnits>& series);
// "Leaf Area Index (m2 leaf m-2 ground)", "GPP: daily, NPP: daily (g C m-2
// day-1)": the names joined by commas, the units in parentheses unless they
// are empty.
std::string AxisTitle(const std::vector<std::string>& names, const std::string& units);
// The title of an axis that carries all of `series`: a title per group of
// one unit, the groups separated by "; ".
std::string AxisTitle(const std::vector<SeriesUnits>& series);
// An axis title that fits `maxChars` characters a line: the groups of other
// units on lines of their own, a longer line broken before its units, or at
// the comma nearest its middle when it has none.
std::string FitAxisTitle(const std::string& title, std::size_t maxChars);
