#include "fit/fit_plot.h"

#include <algorithm>
#include <cmath>

#include "core/stypes.h"
#include "fit/fit_command.h"
#include "chart/output_chart.h"

std::string DrawFitPlot(const std::string& fileName, const fit::ModelEvaluator& evaluator, const fit::FitResult& result) {
    const fit::Observations& obs = evaluator.Observed();
    if (!result.Best.Ok) return "no run at the fitted values to draw";
    const std::vector<std::string> files = PlotFiles(fileName, obs);
    for (std::size_t k = 0; k < obs.Series.size(); ++k) {
        const fit::ObservedSeries& s = obs.Series[k];
        ChartSeries chart;
        chart.XTitle = "Time";
        chart.Series.push_back({s.Symbol + " fitted", s.Times, result.Best.Simulated[k]});
        chart.Series.push_back({s.Symbol + " observed", s.Times, s.Values});
        OutputChart plot;
        constexpr int width = 1000, height = 600;
        plot.resize(width, height);
        plot.SetTitle(QString::fromStdString(std::string(ModelDef.Name) + ": " + s.Symbol + " fitted to " +
                                             obs.FileName));
        plot.xAxis->setLabel(QString::fromStdString(chart.XTitle));
        plot.ShowSeries(chart);
        plot.Series(1)->setLineStyle(QCPGraph::lsLine);
        for (int series : {1, 2}) {
            QCPScatterStyle marker = plot.Series(series)->scatterStyle();
            marker.setSize(series == 2 ? 8 : 5);
            plot.Series(series)->setScatterStyle(marker);
        }
        // Room around the points, so that none sits on the frame.
        const auto padded = [&plot](bool isX, double low, double high) {
            const double room = high > low ? (high - low) / 20 : std::max(1.0, std::fabs(low) / 20);
            plot.SetAxisScale(isX, false, low - room, high + room, 0);
        };
        padded(true, s.Times.front(), s.Times.back());
        padded(false, *plot.LowestY(false), *plot.HighestY(false));
        try {
            plot.SaveAs(QString::fromStdString(files[k]), width, height);
        } catch (const std::exception& e) {
            return e.what();
        }
    }
    return {};
}
