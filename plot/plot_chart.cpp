#include "plot/plot_chart.h"

#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

#include "chart/chart_file.h"
#include "display/display_rules.h"
#include "chart/output_chart.h"

namespace {

constexpr double LineWidth = 1.5;

// The series' colour, darkened where the display's pale greens and cyans
// would hardly show as a thin line or a bar on white.
QColor SeriesColour(int k) {
    const QColor colour = SeriesMarker(k).pen().color();
    return colour.lightness() > 160 ? colour.darker(150) : colour;
}

QSharedPointer<QCPAxisTicker> Ticker(bool logarithmic, bool wholeNumbers) {
    if (logarithmic) return QSharedPointer<QCPAxisTicker>(new QCPAxisTickerLog);
    if (!wholeNumbers) return QSharedPointer<QCPAxisTicker>(new QCPAxisTicker);
    auto fixed = QSharedPointer<QCPAxisTickerFixed>(new QCPAxisTickerFixed);
    fixed->setTickStep(1.0);
    fixed->setScaleStrategy(QCPAxisTickerFixed::ssMultiples);
    fixed->setTickCount(12);  // every year labelled up to a dozen or so
    return fixed;
}

void SetUpAxis(QCPAxis* axis, const QString& title, bool logarithmic, bool wholeNumbers) {
    axis->setVisible(true);
    axis->setLabel(title);
    axis->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    axis->setTicker(Ticker(logarithmic, wholeNumbers));
    axis->setNumberFormat(logarithmic ? "eb" : "gb");
    axis->setNumberPrecision(logarithmic ? 0 : 6);
}

// The dependent range of the values of `series` (bars from 0), with a
// little room above the highest on a linear axis.
QCPRange ValueRange(const std::vector<const PlottedSeries*>& series, bool logarithmic) {
    std::optional<double> lo, hi;
    for (const PlottedSeries* s : series)
        for (const double y : s->Y) {
            if (!std::isfinite(y) || (logarithmic && y <= 0)) continue;
            lo = lo ? std::min(*lo, y) : y;
            hi = hi ? std::max(*hi, y) : y;
        }
    const AxisRange r = DependentRange(lo, hi, logarithmic);
    if (logarithmic) return QCPRange(r.Min, r.Max * 1.2);
    const double room = (r.Max - r.Min) * 0.05;
    return QCPRange(r.Min - (r.Min < 0 ? room : 0), r.Max + room);
}

QCPRange KeyRange(const PlotDrawing& d) {
    double lo = INFINITY, hi = -INFINITY;
    for (const PlottedSeries& s : d.Series)
        for (const double x : s.X)
            if (std::isfinite(x) && (!d.LogX || x > 0)) lo = std::min(lo, x), hi = std::max(hi, x);
    if (!(lo <= hi)) return QCPRange(0, 1);
    if (d.Bars) return QCPRange(lo - 0.6, hi + 0.6);
    if (lo == hi) return d.LogX ? QCPRange(lo / 2, hi * 2) : QCPRange(lo - 1, hi + 1);
    return QCPRange(lo, hi);
}

void AddLine(QCPAxis* key, QCPAxis* value, const PlottedSeries& s, int k, bool points, QCPLegend* legend) {
    auto* graph = new QCPGraph(key, value);
    QVector<QCPGraphData> data(static_cast<qsizetype>(s.X.size()));
    for (std::size_t i = 0; i < s.X.size(); ++i) data[static_cast<qsizetype>(i)] = QCPGraphData(s.X[i], s.Y[i]);
    graph->data()->set(data, std::is_sorted(s.X.begin(), s.X.end()));
    graph->setName(QString::fromStdString(s.Title));
    const QCPScatterStyle marker = SeriesMarker(k);
    if (points) {
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(marker);
        graph->setPen(marker.pen());
    } else {
        graph->setLineStyle(QCPGraph::lsLine);
        graph->setPen(QPen(SeriesColour(k), LineWidth));
    }
    graph->removeFromLegend();
    graph->addToLegend(legend);
}

void AddBars(QCPAxis* key, QCPAxis* value, const PlottedSeries& s, int k, QCPBarsGroup* group, int inGroup,
             QCPLegend* legend) {
    auto* bars = new QCPBars(key, value);
    bars->setData(QVector<double>(s.X.begin(), s.X.end()), QVector<double>(s.Y.begin(), s.Y.end()), true);
    bars->setName(QString::fromStdString(s.Title));
    const QColor colour = SeriesColour(k);
    bars->setPen(QPen(colour.darker(130), 1));
    QColor fill = colour;
    fill.setAlpha(170);
    bars->setBrush(fill);
    bars->setWidth(0.8 / std::max(inGroup, 1));
    if (group) bars->setBarsGroup(group);
    bars->removeFromLegend();
    bars->addToLegend(legend);
}

// The value axis of group g in a panel that holds several groups: left,
// right, then further ones alternately left and right.
QCPAxis* GroupAxis(QCPAxisRect* rect, std::size_t g) {
    if (g == 0) return rect->axis(QCPAxis::atLeft);
    if (g == 1) return rect->axis(QCPAxis::atRight);
    return rect->addAxis(g % 2 == 0 ? QCPAxis::atLeft : QCPAxis::atRight);
}

QCPLegend* LegendBeside(QCustomPlot& chart, int row, QCPLegend* legend) {
    if (!legend) {
        legend = new QCPLegend;
        legend->setLayer(QLatin1String("legend"));
        legend->setFont(chart.font());
    }
    legend->setVisible(true);
    legend->setBorderPen(Qt::NoPen);
    legend->setMargins(QMargins(4, 4, 6, 4));
    auto* side = new QCPLayoutGrid;
    chart.plotLayout()->addElement(row, 1, side);
    side->addElement(0, 0, legend);
    side->addElement(1, 0, new QCPLayoutElement(&chart));
    side->setRowStretchFactor(0, 0.001);
    return legend;
}

// Characters of an axis title that fit along a panel of `panels` stacked
// in the chart's height (less the title and the time axis).
std::size_t TitleRoom(const QCustomPlot& chart, std::size_t panels) {
    const int along = (chart.height() - 90) / static_cast<int>(std::max<std::size_t>(panels, 1));
    const int perChar = std::max(QFontMetrics(chart.font()).averageCharWidth(), 1);
    return static_cast<std::size_t>(std::max(along * 9 / 10 / perChar, 10));
}

void FillGroup(const PlotDrawing& d, const AxisGroup& group, QCPAxis* key, QCPAxis* value, QCPLegend* legend,
               std::size_t titleRoom) {
    QCPBarsGroup* bars = d.Bars && group.Series.size() > 1 ? new QCPBarsGroup(key->parentPlot()) : nullptr;
    std::vector<const PlottedSeries*> members;
    for (const int i : group.Series) {
        const PlottedSeries& s = d.Series[static_cast<std::size_t>(i)];
        members.push_back(&s);
        if (d.Bars)
            AddBars(key, value, s, i + 1, bars, static_cast<int>(group.Series.size()), legend);
        else
            AddLine(key, value, s, i + 1, d.Points, legend);
    }
    SetUpAxis(value, QString::fromStdString(FitAxisTitle(group.Title, titleRoom)), d.LogY, false);
    value->setRange(ValueRange(members, d.LogY));
}

}  // namespace

void DrawPlot(QCustomPlot& chart, const PlotDrawing& d) {
    chart.setLocale(QLocale::c());
    AddChartTitle(chart, QString::fromStdString(d.Title));
    QCPAxisRect* first = chart.axisRect();
    first->insetLayout()->take(chart.legend);
    const std::size_t panels = d.Plan.Panels ? d.Plan.Groups.size() : 1;
    auto* margins = new QCPMarginGroup(&chart);
    std::vector<QCPAxisRect*> rects{first};
    for (std::size_t p = 1; p < panels; ++p) {
        rects.push_back(new QCPAxisRect(&chart));
        chart.plotLayout()->addElement(static_cast<int>(p) + 1, 0, rects.back());
    }
    std::vector<QCPLegend*> legends;
    for (std::size_t p = 0; p < panels; ++p) {
        rects[p]->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
        legends.push_back(LegendBeside(chart, static_cast<int>(p) + 1, p == 0 ? chart.legend : nullptr));
    }
    chart.plotLayout()->setColumnStretchFactor(1, 0.001);
    const QCPRange keys = KeyRange(d);
    for (std::size_t g = 0; g < d.Plan.Groups.size(); ++g) {
        QCPAxisRect* rect = rects[d.Plan.Panels ? g : 0];
        QCPAxis* key = rect->axis(QCPAxis::atBottom);
        QCPAxis* value = d.Plan.Panels ? rect->axis(QCPAxis::atLeft) : GroupAxis(rect, g);
        FillGroup(d, d.Plan.Groups[g], key, value, legends[d.Plan.Panels ? g : 0], TitleRoom(chart, panels));
    }
    for (std::size_t p = 0; p < panels; ++p) {
        QCPAxis* key = rects[p]->axis(QCPAxis::atBottom);
        const bool last = p + 1 == panels;
        SetUpAxis(key, last ? QString::fromStdString(d.XTitle) : QString(), d.LogX, d.YearTicks || d.Bars);
        key->setTickLabels(last);
        key->setRange(keys);
    }
}
