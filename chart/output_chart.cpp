#include "chart/output_chart.h"

#include <QPrinter>
#include <algorithm>
#include <stdexcept>

#include "chart/chart_file.h"
#include "display/display_rules.h"

// Tick labels in the axis's display pattern, at a fixed increment when one
// is set.
class PatternTicker : public QCPAxisTicker {
public:
    explicit PatternTicker(std::string pattern) : pattern_(std::move(pattern)) {}
    double Increment = 0;

protected:
    double getTickStep(const QCPRange& range) override {
        if (Increment > 0 && range.size() / Increment < 1000) return Increment;
        return QCPAxisTicker::getTickStep(range);
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        return QString::fromStdString(FormatPattern(tick, pattern_));
    }

private:
    std::string pattern_;
};

class PatternLogTicker : public QCPAxisTickerLog {
public:
    explicit PatternLogTicker(std::string pattern) : pattern_(std::move(pattern)) {}

protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar, int precision) override {
        // Decades beyond the pattern's reach are written in powers of ten.
        if (tick != 0 && (std::fabs(tick) < 1e-5 || std::fabs(tick) >= 1e12))
            return QCPAxisTickerLog::getTickLabel(tick, locale, 'g', precision);
        return QString::fromStdString(FormatPattern(tick, pattern_));
    }

private:
    std::string pattern_;
};

namespace {

// A point series whose legend entry shows its marker large enough to tell
// the ten series apart.
class PointSeries : public QCPGraph {
public:
    using QCPGraph::QCPGraph;

protected:
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override {
        QCPScatterStyle marker = scatterStyle();
        marker.setSize(std::min(rect.height(), 8.0));
        marker.applyTo(painter, pen());
        marker.drawShape(painter, rect.center());
    }
};

struct SeriesStyle {
    QColor Fill, Outline;
    QCPScatterStyle::ScatterShape Shape;
};

const SeriesStyle Styles[OutputChart::SeriesCount] = {
    {QColor(255, 0, 0), QColor(255, 0, 0), QCPScatterStyle::ssSquare},
    {QColor(0, 128, 0), QColor(0, 128, 0), QCPScatterStyle::ssCircle},
    {QColor(0, 128, 192), QColor(0, 128, 192), QCPScatterStyle::ssTriangle},
    {QColor(0, 0, 255), QColor(0, 0, 255), QCPScatterStyle::ssPlus},
    {QColor(128, 0, 64), QColor(128, 0, 64), QCPScatterStyle::ssTriangleInverted},
    {QColor(128, 255, 128), QColor(128, 255, 128), QCPScatterStyle::ssTriangle},
    {QColor(128, 255, 255), QColor(128, 255, 255), QCPScatterStyle::ssCircle},
    {QColor(128, 128, 0), QColor(128, 0, 64), QCPScatterStyle::ssDiamond},
    {QColor(255, 128, 0), QColor(255, 128, 0), QCPScatterStyle::ssSquare},
    {QColor(128, 0, 64), QColor(64, 128, 128), QCPScatterStyle::ssTriangleInverted},
};

// Markers of 2 x 2 pixels with a one-pixel cosmetic outline: thicker pens
// make charts of many thousand points slow to draw.
constexpr double MarkerSize = 2.0;
constexpr double ObservedSize = 7.0;

// Between the legend's frame and the chart's other parts and edges.
const QMargins LegendSpacing(4, 4, 6, 4);

}  // namespace

QCPScatterStyle SeriesMarker(int k) {
    const SeriesStyle& style = Styles[k - 1];
    QPen outline(style.Outline);
    outline.setWidthF(1);
    outline.setCosmetic(true);
    return QCPScatterStyle(style.Shape, outline, QBrush(style.Fill), MarkerSize);
}

OutputChart::OutputChart(QWidget* parent) : QCustomPlot(parent) {
    setObjectName("ChOutput");
    title_ = AddChartTitle(*this, QString());
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);

    xTicker_.reset(new PatternTicker("#,##0.0"));
    yTicker_.reset(new PatternTicker("####0.#####"));
    xLogTicker_.reset(new PatternLogTicker("#,##0.0"));
    yLogTicker_.reset(new PatternLogTicker("####0.#####"));
    xAxis->setTicker(xTicker_);
    yAxis->setTicker(yTicker_);
    xAxis->setLabel("Time");

    for (int k = 0; k < SeriesCount; ++k) {
        QCPGraph* series = new PointSeries(xAxis, yAxis);
        series->setObjectName(QString("Series%1").arg(k + 1));
        series->setLineStyle(QCPGraph::lsNone);
        series->setScatterStyle(SeriesMarker(k + 1));
        series->setPen(series->scatterStyle().pen());
        series->setAntialiasedScatters(false);
    }
    // Observations: larger open markers in black, so that both show where
    // they meet.
    for (int k = 0; k < SeriesCount; ++k) {
        QCPGraph* observed = new PointSeries(xAxis, yAxis);
        observed->setObjectName(QString("Observed%1").arg(k + 1));
        observed->setLineStyle(QCPGraph::lsNone);
        QPen outline(Qt::black);
        outline.setWidthF(1.2);
        observed->setScatterStyle(QCPScatterStyle(Styles[k].Shape, outline, Qt::NoBrush, ObservedSize));
        observed->setPen(outline);
    }
    ClearSeries();

    notice_ = new QCPItemText(this);
    notice_->setObjectName("LogNotice");
    notice_->position->setType(QCPItemPosition::ptAxisRectRatio);
    notice_->position->setCoords(0.01, 0.01);
    notice_->setPositionAlignment(Qt::AlignTop | Qt::AlignLeft);
    notice_->setColor(QColor(160, 0, 0));
    notice_->setBrush(QBrush(QColor(255, 255, 255, 220)));
    notice_->setPadding(QMargins(4, 2, 4, 2));
    notice_->setVisible(false);

    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
}

void OutputChart::SetTitle(const QString& title) { title_->setText(title); }

QString OutputChart::Title() const { return title_->text(); }

void OutputChart::ClearSeries() {
    for (int k = 1; k <= SeriesCount; ++k)
        for (QCPGraph* g : {Series(k), Observed(k)}) {
            g->data()->clear();
            g->setVisible(false);
            g->removeFromLegend();
        }
    UpdateLegend();
    UpdateNotice();
}

void OutputChart::UpdateLegend() {
    legend->setVisible(legend->itemCount() > 0);
    FitLegend();
}

void OutputChart::FitLegend() {
    // Beside the room kept below it the legend has what is left of the
    // chart's height; entries that do not fit there go on in a further
    // column rather than under the panel.
    if (!corner_ || legend->itemCount() == 0) return;
    const auto hint = [](const QCPLayoutElement* e) { return e->minimumOuterSizeHint().height(); };
    const int entry = hint(legend->item(0)) + legend->rowSpacing();
    const int room = height() - reserved_.height() - hint(title_) - LegendSpacing.top() - LegendSpacing.bottom() -
                     legend->margins().top() - legend->margins().bottom() - 2;
    const int rows = std::max(1, (room + legend->rowSpacing()) / std::max(entry, 1));
    const int wrap = rows >= legend->itemCount() ? 0 : rows;
    if (legend->wrap() == wrap) return;
    legend->setWrap(wrap);
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst, true);
}

void OutputChart::resizeEvent(QResizeEvent* event) {
    FitLegend();
    QCustomPlot::resizeEvent(event);
}

void OutputChart::ShowObserved(int k, const PlottedSeries& points) {
    QCPGraph* observed = Observed(k);
    QVector<QCPGraphData> data(static_cast<qsizetype>(points.X.size()));
    for (std::size_t i = 0; i < points.X.size(); ++i) data[static_cast<qsizetype>(i)] = QCPGraphData(points.X[i], points.Y[i]);
    observed->data()->set(data, std::is_sorted(points.X.begin(), points.X.end()));
    observed->setName(QString::fromStdString(points.Title));
    const bool shown = !points.X.empty();
    observed->setVisible(shown);
    if (shown) observed->addToLegend();
    else observed->removeFromLegend();
    UpdateLegend();
    UpdateNotice();
}

bool OutputChart::ObservedShown(int k) const { return Observed(k)->visible(); }

std::vector<QCPGraph*> OutputChart::ShownGraphs() const {
    std::vector<QCPGraph*> shown;
    for (int k = 1; k <= SeriesCount; ++k)
        if (SeriesActive(k)) shown.push_back(Series(k));
    for (int k = 1; k <= SeriesCount; ++k)
        if (ObservedShown(k)) shown.push_back(Observed(k));
    return shown;
}

void OutputChart::ActivateSeries(int k, const QString& title) {
    Series(k)->setName(title);
    Series(k)->setVisible(true);
    Series(k)->addToLegend();
    UpdateLegend();
}

bool OutputChart::SeriesActive(int k) const { return Series(k)->visible(); }

void OutputChart::ShowSeries(const ChartSeries& chart) {
    for (std::size_t k = 0; k < chart.Series.size() && k < SeriesCount; ++k) {
        const PlottedSeries& s = chart.Series[k];
        const int n = static_cast<int>(s.X.size());
        QVector<QCPGraphData> points(n);
        for (int i = 0; i < n; ++i) points[i] = QCPGraphData(s.X[static_cast<std::size_t>(i)], s.Y[static_cast<std::size_t>(i)]);
        QCPGraph* series = Series(static_cast<int>(k) + 1);
        const bool ordered = std::is_sorted(s.X.begin(), s.X.end());
        series->data()->set(points, ordered);
        ActivateSeries(static_cast<int>(k) + 1, QString::fromStdString(s.Title));
    }
    UpdateNotice();
}

void OutputChart::SetAxisScale(bool isX, bool automatic, double min, double max, double increment) {
    QCPAxis* axis = Axis(isX);
    PatternTicker& ticker = isX ? *xTicker_ : *yTicker_;
    if (automatic) {
        ticker.Increment = 0;
        if (isX) {
            xAutomatic_ = true;
            RescaleIndependent();
        } else {
            const bool log = Logarithmic(false);
            const AxisRange range = DependentRange(LowestY(log), HighestY(log), log);
            yAutomatic_ = false;
            axis->setRange(range.Min, range.Max);
        }
    } else {
        (isX ? xAutomatic_ : yAutomatic_) = false;
        ticker.Increment = increment;
        axis->setRange(std::min(min, max), std::max(min, max));
    }
    UpdateNotice();
}

void OutputChart::SetAxisLogarithmic(bool isX, bool logarithmic) {
    QCPAxis* axis = Axis(isX);
    axis->setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logarithmic)
        axis->setTicker(isX ? xLogTicker_ : yLogTicker_);
    else
        axis->setTicker(isX ? QSharedPointer<QCPAxisTicker>(xTicker_) : QSharedPointer<QCPAxisTicker>(yTicker_));
    UpdateNotice();
}

bool OutputChart::Logarithmic(bool isX) const { return Axis(isX)->scaleType() == QCPAxis::stLogarithmic; }

double OutputChart::Increment(bool isX) const { return (isX ? xTicker_ : yTicker_)->Increment; }

void OutputChart::RescaleIndependent() {
    if (!xAutomatic_) return;
    bool found = false;
    QCPRange all;
    const QCP::SignDomain domain = Logarithmic(true) ? QCP::sdPositive : QCP::sdBoth;
    for (const QCPGraph* g : ShownGraphs()) {
        bool any = false;
        const QCPRange r = g->getKeyRange(any, domain);
        if (!any) continue;
        all = found ? QCPRange(std::min(all.lower, r.lower), std::max(all.upper, r.upper)) : r;
        found = true;
    }
    if (!found) return;
    if (all.lower == all.upper) all = Logarithmic(true) ? QCPRange(all.lower / 2, all.upper * 2)
                                                        : QCPRange(all.lower - 1, all.upper + 1);
    xAxis->setRange(all);
}

std::optional<double> OutputChart::LowestY(bool positiveOnly) const {
    std::optional<double> lowest;
    for (const QCPGraph* g : ShownGraphs())
        for (const QCPGraphData& p : *g->data())
            if ((!positiveOnly || p.value > 0) && (!lowest || p.value < *lowest)) lowest = p.value;
    return lowest;
}

std::optional<double> OutputChart::HighestY(bool positiveOnly) const {
    std::optional<double> highest;
    for (const QCPGraph* g : ShownGraphs())
        for (const QCPGraphData& p : *g->data())
            if ((!positiveOnly || p.value > 0) && (!highest || p.value > *highest)) highest = p.value;
    return highest;
}

std::int64_t OutputChart::HiddenPoints() const {
    const bool logX = Logarithmic(true), logY = Logarithmic(false);
    if (!logX && !logY) return 0;
    std::int64_t hidden = 0;
    for (const QCPGraph* g : ShownGraphs())
        for (const QCPGraphData& p : *g->data())
            if ((logX && p.key <= 0) || (logY && p.value <= 0)) ++hidden;
    return hidden;
}

QString OutputChart::Notice() const { return notice_->visible() ? notice_->text() : QString(); }

void OutputChart::UpdateNotice() {
    if (!notice_) return;
    const std::int64_t hidden = HiddenPoints();
    notice_->setText(QString::fromStdString(HiddenPointsNotice(hidden)));
    notice_->setVisible(hidden > 0);
}

void OutputChart::wheelEvent(QWheelEvent* event) {
    ManualRanges();
    QCustomPlot::wheelEvent(event);
}

void OutputChart::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) ManualRanges();
    QCustomPlot::mouseMoveEvent(event);
}

void OutputChart::ManualRanges() {
    xAutomatic_ = false;
    yAutomatic_ = false;
}

void OutputChart::ReserveCorner(QSize size) {
    if (!corner_) {
        axisRect()->insetLayout()->take(legend);
        auto* side = new QCPLayoutGrid;
        plotLayout()->addElement(1, 1, side);
        plotLayout()->setColumnStretchFactor(1, 0.001);
        side->addElement(0, 0, legend);
        corner_ = new QCPLayoutElement(this);
        side->addElement(1, 0, corner_);
        side->setRowStretchFactor(0, 0.001);
        side->setRowStretchFactor(1, 1);
        // The legend draws its frame round its outer rectangle, so the space
        // between frame and window edge belongs to the column holding it.
        side->setMargins(LegendSpacing);
    }
    reserved_ = size;
    corner_->setMinimumSize(size);
}

template <class Draw>
void OutputChart::WithoutReservedRoom(Draw draw) {
    if (corner_) corner_->setMinimumSize(0, 0);
    try {
        draw();
    } catch (...) {
        if (corner_) corner_->setMinimumSize(reserved_);
        throw;
    }
    if (corner_) corner_->setMinimumSize(reserved_);
}

void OutputChart::SaveAs(const QString& fileName, int width, int height) {
    WithoutReservedRoom([&] { SaveChart(*this, fileName, width, height, Title()); });
}

void OutputChart::PrintOn(QPrinter& printer) {
    QCPPainter painter(&printer);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    WithoutReservedRoom([&] { toPainter(&painter, page.width(), page.height()); });
}

QImage OutputChart::Render(int width, int height) { return toPixmap(width, height, 1.0).toImage(); }
