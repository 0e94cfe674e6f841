// The points of the chart's series, taken from the output table as it shows
// its numbers: values rounded to 6 significant digits, times to 15.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/output_table.h"

struct PlottedSeries {
    std::string Title;  // the name of the series' column
    std::vector<double> X, Y;
};

struct ChartSeries {
    std::string XTitle;  // the name of the independent column ("" when there is none)
    std::vector<PlottedSeries> Series;  // one per dependent name, in order
    // A cell that shows no number or a value "Plot as" cannot compute ended
    // the filling: the points before it stay.
    bool Failed = false;
};

// The series `yNames` against `xName` over the grid rows [firstRow, endRow)
// (endRow -1: to the last row), with "Plot as" index `plotAs`; y0 is each
// series' number in `firstRow`.
ChartSeries BuildSeries(const OutputTable& table, const std::string& xName, const std::vector<std::string>& yNames,
                        int plotAs, std::int64_t firstRow = FirstDataRow, std::int64_t endRow = -1);
