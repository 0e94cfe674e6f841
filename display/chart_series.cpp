#include "display/chart_series.h"

#include <algorithm>
#include <optional>

#include "display/display_rules.h"

ChartSeries BuildSeries(const OutputTable& table, const std::string& xName, const std::vector<std::string>& yNames,
                        int plotAs, std::int64_t firstRow, std::int64_t endRow) {
    ChartSeries chart;
    const int xcol = table.FindColumn(xName);
    if (xcol >= 0) chart.XTitle = table.Name(xcol);
    if (endRow < 0 || endRow > table.Rows()) endRow = table.Rows();
    const auto rows = static_cast<std::size_t>(std::max<std::int64_t>(endRow - firstRow, 0));
    for (const std::string& name : yNames) {
        const int ycol = table.FindColumn(name);
        chart.Series.push_back({ycol >= 0 ? table.Name(ycol) : std::string(), {}, {}});
    }
    if (rows == 0) return chart;

    std::vector<std::optional<double>> xs(rows);
    for (std::size_t i = 0; i < rows; ++i) xs[i] = table.ShownNumber(xcol, firstRow + static_cast<std::int64_t>(i));
    for (std::size_t k = 0; k < yNames.size(); ++k) {
        PlottedSeries& series = chart.Series[k];
        const int ycol = table.FindColumn(yNames[k]);
        series.X.reserve(rows);
        series.Y.reserve(rows);
        const std::optional<double> y0 = table.ShownNumber(ycol, firstRow);
        for (std::size_t i = 0; i < rows; ++i) {
            const std::optional<double> y = table.ShownNumber(ycol, firstRow + static_cast<std::int64_t>(i));
            std::optional<double> v;
            if (xs[i] && y && y0) v = PlotValue(plotAs, *y, *y0);
            if (!v) {
                chart.Failed = true;
                return chart;
            }
            series.X.push_back(*xs[i]);
            series.Y.push_back(*v);
        }
    }
    return chart;
}
