// The sensitivity charts in the display's chart library and look: ranked
// horizontal bars with their 95 % intervals (one-at-a-time, Sobol), or the
// Morris μ*–σ plane with each point labelled by its factor's symbol.
#include <QApplication>
#include <algorithm>
#include <cmath>
#include <memory>
#include <qcustomplot.h>

#include "sensitivity/index_plot_chart.h"
#include "chart/chart_file.h"

namespace sensitivity {

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

// Fill and outline of the estimates of a bar chart, from the display's
// series colours.
const QColor BarColours[] = {QColor(0, 128, 192), QColor(128, 0, 64)};

bool Finite(double v) { return std::isfinite(v); }

// The interval of `e` as distances below and above its value; none (NaN)
// where the method gives none.
void AddInterval(const Estimate& e, QVector<double>& minus, QVector<double>& plus) {
    const bool interval = Finite(e.Low95) && Finite(e.High95);
    minus << (interval ? e.Value - e.Low95 : qQNaN());
    plus << (interval ? e.High95 - e.Value : qQNaN());
}

// Interval lines on the estimates of `plottable`, absent from the legend.
QCPErrorBars* Whiskers(QCPAbstractPlottable* plottable, const QVector<double>& minus, const QVector<double>& plus,
                       const QColor& colour) {
    auto* whiskers = new QCPErrorBars(plottable->keyAxis(), plottable->valueAxis());
    whiskers->removeFromLegend();
    whiskers->setPen(QPen(colour));
    whiskers->setWhiskerWidth(5);
    whiskers->setDataPlottable(plottable);
    whiskers->setData(minus, plus);
    return whiskers;
}

// Room on both sides of the values, always including 0.
QCPRange Padded(double low, double high) {
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high == low) high = low + 1;
    const double pad = (high - low) * 0.05;
    return QCPRange(low < 0 ? low - pad : low, high > 0 ? high + pad : high);
}

QSize DrawBars(QCustomPlot& plot, const IndexChart& chart) {
    const int n = static_cast<int>(chart.Rows.size());
    const int measures = static_cast<int>(chart.Measures.size());
    // Factors down the left axis, the most influential at the top.
    QCPAxis* factors = plot.yAxis;
    QCPAxis* values = plot.xAxis;
    QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
    for (int i = 0; i < n; ++i) ticker->addTick(i + 1, Text(chart.Rows[static_cast<std::size_t>(i)].Factor));
    factors->setTicker(ticker);
    factors->setRangeReversed(true);
    factors->setRange(0.4, n + 0.6);
    factors->grid()->setVisible(false);
    factors->setSubTicks(false);
    factors->setLabel("Factor");
    values->setLabel(Text(chart.ValueTitle));

    auto* group = new QCPBarsGroup(&plot);
    group->setSpacing(1);
    double low = 0, high = 0;
    for (int m = 0; m < measures; ++m) {
        auto* bars = new QCPBars(factors, values);
        bars->setName(Text(chart.Measures[static_cast<std::size_t>(m)]));
        const QColor colour = BarColours[m % 2];
        bars->setPen(QPen(colour));
        bars->setBrush(QColor(colour.red(), colour.green(), colour.blue(), measures > 1 && m == 0 ? 110 : 200));
        bars->setWidth(0.8 / measures);
        if (measures > 1) bars->setBarsGroup(group);
        QVector<double> keys, estimates, minus, plus;
        for (int i = 0; i < n; ++i) {
            const Estimate& e = chart.Rows[static_cast<std::size_t>(i)].Values[static_cast<std::size_t>(m)];
            if (!Finite(e.Value)) continue;
            keys << i + 1;
            estimates << e.Value;
            AddInterval(e, minus, plus);
            low = std::min({low, e.Value, Finite(e.Low95) ? e.Low95 : 0.0});
            high = std::max({high, e.Value, Finite(e.High95) ? e.High95 : 0.0});
        }
        bars->setData(keys, estimates, true);
        Whiskers(bars, minus, plus, Qt::black)->setSymbolGap(0);  // bars have no symbol to keep clear of
    }
    values->setRange(Padded(low, high));
    auto* zero = new QCPItemStraightLine(&plot);
    zero->point1->setCoords(0, 0);
    zero->point2->setCoords(0, 1);
    zero->setPen(QPen(QColor(90, 90, 90)));
    if (n > 25) {  // a tall chart repeats its value scale at the top
        plot.xAxis2->setVisible(true);
        plot.xAxis2->setTickLabels(true);
        plot.xAxis2->setRange(values->range());
    }
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignRight);
    if (measures == 1) plot.legend->setVisible(false);
    const QSize size(900, std::max(360, 150 + n * (measures > 1 ? 26 : 20)));
    plot.resize(size);
    return size;
}

// Labels each point with its factor's symbol beside it, the most
// influential first; a label that would cover one placed before it, or leave
// the plot, is left out, and a line below the chart says how many were.
void LabelPoints(QCustomPlot& plot, const std::vector<const ChartRow*>& rows) {
    constexpr int Gap = 4;
    plot.replot();  // lays the chart out, so that values have their pixels
    const QRectF inside = plot.axisRect()->rect();
    const QFontMetricsF metrics(plot.font());
    std::vector<QRectF> taken;
    int leftOut = 0;
    for (const ChartRow* row : rows) {
        const QString text = Text(row->Factor);
        const QSizeF size = metrics.size(0, text);
        const QPointF at(plot.xAxis->coordToPixel(row->Values[0].Value), plot.yAxis->coordToPixel(row->Values[1].Value));
        // Above right, above left, below right, below left of the point.
        const Qt::Alignment sides[] = {Qt::AlignLeft | Qt::AlignBottom, Qt::AlignRight | Qt::AlignBottom,
                                       Qt::AlignLeft | Qt::AlignTop, Qt::AlignRight | Qt::AlignTop};
        bool placed = false;
        for (const Qt::Alignment side : sides) {
            const double x = side & Qt::AlignLeft ? at.x() + Gap : at.x() - Gap - size.width();
            const double y = side & Qt::AlignBottom ? at.y() - Gap - size.height() : at.y() + Gap;
            const QRectF box(QPointF(x, y), size);
            if (!inside.contains(box) ||
                std::any_of(taken.begin(), taken.end(), [&box](const QRectF& r) { return r.intersects(box); }))
                continue;
            taken.push_back(box);
            auto* label = new QCPItemText(&plot);
            label->setText(text);
            label->setFont(plot.font());
            label->setPositionAlignment(side);
            label->setPadding(QMargins(Gap, Gap, Gap, Gap));
            label->position->setCoords(row->Values[0].Value, row->Values[1].Value);
            placed = true;
            break;
        }
        if (!placed) ++leftOut;
    }
    if (leftOut == 0) return;
    QFont small = plot.font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    auto* note = new QCPTextElement(&plot, QString("%1 of %2 factors are not labelled, where their labels would cover others; "
                                                   "the indices file has every one.").arg(leftOut).arg(rows.size()), small);
    note->setTextColor(QColor(90, 90, 90));
    plot.plotLayout()->addElement(plot.plotLayout()->rowCount(), 0, note);
}

QSize DrawPlane(QCustomPlot& plot, const IndexChart& chart) {
    const QSize size(900, 650);
    plot.resize(size);
    plot.xAxis->setLabel(Text(chart.ValueTitle));
    plot.yAxis->setLabel(Text(chart.SecondTitle));
    auto* points = new QCPGraph(plot.xAxis, plot.yAxis);
    points->setName("Factor");
    points->setLineStyle(QCPGraph::lsNone);
    points->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(Qt::black, 1.5), QBrush(Qt::white), 7));
    double right = 0, top = 0;
    std::vector<const ChartRow*> shown;  // most influential first, as the rows come
    for (const ChartRow& row : chart.Rows) {
        const Estimate& m = row.Values[0];
        const Estimate& s = row.Values[1];
        if (!Finite(m.Value) || !Finite(s.Value)) continue;
        shown.push_back(&row);
        right = std::max({right, m.Value, Finite(m.High95) ? m.High95 : 0.0});
        top = std::max(top, s.Value);
    }
    // The graph keeps its points in the order of μ*, and the intervals go
    // with the points by position: both are given in that order.
    std::vector<const ChartRow*> byMu = shown;
    std::stable_sort(byMu.begin(), byMu.end(),
                     [](const ChartRow* a, const ChartRow* b) { return a->Values[0].Value < b->Values[0].Value; });
    QVector<double> mu, sigma, minus, plus;
    for (const ChartRow* row : byMu) {
        mu << row->Values[0].Value;
        sigma << row->Values[1].Value;
        AddInterval(row->Values[0], minus, plus);
    }
    points->setData(mu, sigma, true);
    Whiskers(points, minus, plus, QColor(128, 128, 128))->setErrorType(QCPErrorBars::etKeyError);
    if (right <= 0) right = 1;
    if (top <= 0) top = 1;
    const double reach = std::max(right, top) * 1.2;
    auto* diagonal = new QCPGraph(plot.xAxis, plot.yAxis);
    diagonal->setName("\u03c3 = \u03bc*");
    diagonal->setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
    diagonal->setData({0, reach}, {0, reach});
    plot.xAxis->setRange(-0.02 * right, right * 1.12);
    plot.yAxis->setRange(-0.03 * top, top * 1.12);
    plot.axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    LabelPoints(plot, shown);
    return size;
}

}  // namespace

bool PlottingAvailable() { return true; }

QSize DrawIndexChartOn(QCustomPlot& plot, const IndexChart& chart) {
    AddChartTitle(plot, Text(chart.Title));
    return chart.Kind == Method::Morris ? DrawPlane(plot, chart) : DrawBars(plot, chart);
}

void DrawIndexChart(const IndexChart& chart, const std::string& fileName) {
    // A command line has no toolkit application of its own: it gets one for
    // the drawing, gone with all it holds when the drawing is done.
    int argc = 1;
    char name[] = "ostrel-sensitivity";
    char* argv[] = {name, nullptr};
    const std::unique_ptr<QApplication> application = OffscreenApplication(argc, argv);
    QCustomPlot plot;
    const QSize size = DrawIndexChartOn(plot, chart);
    SaveChart(plot, Text(fileName), size.width(), size.height(), Text(chart.Title));
}

}  // namespace sensitivity
