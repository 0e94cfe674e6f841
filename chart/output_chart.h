// The chart of the output display and of ostrel-plot: a title, a legend,
// the independent (bottom) and dependent (left) axes, and ten point series
// with fixed marker styles. Either axis scales itself or holds a fixed range,
// and is linear or logarithmic; a logarithmic axis says how many points it
// cannot show. The mouse wheel zooms and dragging moves the ranges until the
// next update.
#pragma once

#include <QString>
#include <qcustomplot.h>

#include "display/chart_series.h"

class QPrinter;
class PatternTicker;
class PatternLogTicker;

// The marker of series k (1..10) as the display draws it; its pen is the
// series' colour.
QCPScatterStyle SeriesMarker(int k);

class OutputChart : public QCustomPlot {
    Q_OBJECT
public:
    static constexpr int SeriesCount = 10;

    explicit OutputChart(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    QString Title() const;

    // Series 1..10.
    QCPGraph* Series(int k) const { return graph(k - 1); }
    // Every series and its observations empty and inactive (absent from the
    // chart and the legend).
    void ClearSeries();
    // Series k active with the given title.
    void ActivateSeries(int k, const QString& title);
    bool SeriesActive(int k) const;
    // Puts the points of `chart` into series 1.. in order, titles included.
    void ShowSeries(const ChartSeries& chart);
    // Observations beside series 1..10: open black markers of the series'
    // shape, drawn over the series. They count for the automatic ranges and
    // are listed in the legend under their title while they have points.
    QCPGraph* Observed(int k) const { return graph(SeriesCount + k - 1); }
    void ShowObserved(int k, const PlottedSeries& points);
    bool ObservedShown(int k) const;

    // One axis: the bottom (independent) one when `isX`, else the left one.
    QCPAxis* Axis(bool isX) const { return isX ? xAxis : yAxis; }
    // Automatic scaling of the bottom axis follows the points; a fixed range
    // stays as set. The left axis is given a fixed range from the points by
    // the display's update, so it counts as automatic only when the user has
    // asked for that in the axis dialog.
    void SetAxisScale(bool isX, bool automatic, double min = 0, double max = 0, double increment = 0);
    void SetAxisLogarithmic(bool isX, bool logarithmic);
    bool Automatic(bool isX) const { return isX ? xAutomatic_ : yAutomatic_; }
    bool Logarithmic(bool isX) const;
    double Increment(bool isX) const;
    // Recomputes an automatic bottom axis from the current points.
    void RescaleIndependent();
    // The lowest and highest value of the active series and their
    // observations (positive values only when `positiveOnly`); nothing
    // without points.
    std::optional<double> LowestY(bool positiveOnly) const;
    std::optional<double> HighestY(bool positiveOnly) const;
    // Points of active series and observations that a logarithmic axis
    // cannot show (≤ 0).
    std::int64_t HiddenPoints() const;
    // The notice on the chart, "" when none is shown.
    QString Notice() const;

    // Writes the chart to `fileName` as PNG (twice the given size in pixels),
    // SVG or PDF (vector), by the name's extension, through a temporary file
    // beside it. Throws std::runtime_error naming the file on failure.
    void SaveAs(const QString& fileName, int width, int height);
    // Puts the legend in a column right of the plot, with room of `size`
    // kept free below it on screen (for a panel laid over the chart's lower
    // right corner); figures and prints do not keep the room.
    void ReserveCorner(QSize size);
    // Draws the chart onto a whole printer page.
    void PrintOn(QPrinter& printer);

    // The chart as an image of `width` x `height` pixels (for the tests).
    QImage Render(int width, int height);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void UpdateNotice();
    // The legend shows only while it lists a series: no empty frame.
    void UpdateLegend();
    // Wraps the legend into columns where the chart is too low for one.
    void FitLegend();
    void ManualRanges();
    // The series and observations on the chart.
    std::vector<QCPGraph*> ShownGraphs() const;

    // Runs `draw` with the on-screen room at the right given up.
    template <class Draw>
    void WithoutReservedRoom(Draw draw);

    QCPTextElement* title_ = nullptr;
    QCPLayoutElement* corner_ = nullptr;  // the room below the legend, when kept
    QSize reserved_;
    QCPItemText* notice_ = nullptr;
    QSharedPointer<PatternTicker> xTicker_, yTicker_;
    QSharedPointer<PatternLogTicker> xLogTicker_, yLogTicker_;
    bool xAutomatic_ = true;
    bool yAutomatic_ = false;
};
