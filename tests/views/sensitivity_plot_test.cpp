// The sensitivity charts drawn into files: each method in each format, a
// picture with something on it, and the names and places refused.
#include <QImage>
#include <QSvgRenderer>
#include <QtTest>
#include <qcustomplot.h>

#include "sensitivity/index_chart.h"
#include "sensitivity/index_plot_chart.h"
#include "tests/test_files.h"

using namespace sensitivity;

namespace {

std::map<std::string, double> Results(const Design& design) {
    std::map<std::string, double> y;
    for (const Member& m : design.Members)
        y[m.Id] = m.Values[0] + 3 * m.Values[1] * m.Values[2] + 0.1 * m.Values[3] * m.Values[3];
    return y;
}

const std::vector<Factor> Factors{{"kA", 0.5, 1.5}, {"mF", 1, 2}, {"bIf", 0.1, 0.4, true}, {"Ww", 60, 80}};

IndexChart Chart(const Design& design) { return BuildIndexChart(design, Analyse(design, Results(design), 200), "mean(NPP)"); }

// The share of the picture's pixels that `take`.
template <class Take>
double Share(const QImage& image, Take take) {
    std::int64_t n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += take(image.pixelColor(x, y));
    return double(n) / double(image.width()) / double(image.height());
}

bool White(QColor c) { return c.lightness() > 250; }
bool Dark(QColor c) { return c.lightness() < 60; }
bool Coloured(QColor c) { return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60; }

std::string Refusal(const IndexChart& chart, const std::string& file) {
    try {
        DrawIndexChart(chart, file);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "written";
}

}  // namespace

class SensitivityPlotTest : public QObject {
    Q_OBJECT
private slots:
    void EachMethodInEachFormat() {
        TempFolder dir;
        const Design designs[] = {OatDesign(Factors, 0.01), MorrisDesign(Factors, 10, 4, 1),
                                  SobolDesign(Factors, 16, 1, 8)};
        for (const Design& design : designs) {
            const std::string name = MethodName(design.Kind);
            const IndexChart chart = Chart(design);
            DrawIndexChart(chart, dir / (name + ".png"));
            DrawIndexChart(chart, dir / (name + ".svg"));
            DrawIndexChart(chart, dir / (name + ".pdf"));
            const QImage png(QString::fromStdString(dir / (name + ".png")));
            QVERIFY2(!png.isNull(), name.c_str());
            QCOMPARE(png.width(), 1800);
            // Mostly white paper, with black text and axes on it.
            QVERIFY(Share(png, White) > 0.5);
            QVERIFY(Share(png, Dark) > 0.005);
            // Bars in the colours of their estimates.
            if (design.Kind != Method::Morris) QVERIFY2(Share(png, Coloured) > 0.02, name.c_str());
            QVERIFY(QSvgRenderer(QString::fromStdString(dir / (name + ".svg"))).isValid());
            QVERIFY(ReadBytes(dir / (name + ".svg")).find(chart.Title) != std::string::npos);
            QVERIFY(ReadBytes(dir / (name + ".pdf")).starts_with("%PDF-"));
        }
        QCOMPARE(dir.Entries(), std::size_t(9));  // no temporary file left beside them
    }

    // Each interval line stands on its own factor's estimate, whatever order
    // the plane keeps its points in or the bars take down the axis.
    void IntervalsStandOnTheirOwnFactors() {
        for (const Design& design : {MorrisDesign(Factors, 10, 4, 1), SobolDesign(Factors, 16, 1, 8)}) {
            const IndexChart chart = Chart(design);
            QCustomPlot plot;
            DrawIndexChartOn(plot, chart);
            int checked = 0;
            for (int p = 0; p < plot.plottableCount(); ++p) {
                const auto* whiskers = qobject_cast<QCPErrorBars*>(plot.plottable(p));
                if (!whiskers) continue;
                const QCPPlottableInterface1D* owner = whiskers->dataPlottable()->interface1D();
                const auto measure = std::find(chart.Measures.begin(), chart.Measures.end(),
                                               whiskers->dataPlottable()->name().toStdString()) - chart.Measures.begin();
                QCOMPARE(whiskers->dataCount(), owner->dataCount());
                for (int i = 0; i < owner->dataCount(); ++i) {
                    const double key = owner->dataMainKey(i);
                    // Bars stand at the row's place; a point at its μ*.
                    const auto row = design.Kind == Method::Morris
                                         ? std::find_if(chart.Rows.begin(), chart.Rows.end(),
                                                        [key](const ChartRow& r) { return r.Values[0].Value == key; })
                                         : chart.Rows.begin() + static_cast<int>(key) - 1;
                    QVERIFY(row != chart.Rows.end());
                    const Estimate& e = row->Values[design.Kind == Method::Morris ? 0 : measure];
                    const QCPErrorBarsData drawn = whiskers->data()->at(i);
                    QCOMPARE(drawn.errorMinus, e.Value - e.Low95);
                    QCOMPARE(drawn.errorPlus, e.High95 - e.Value);
                    ++checked;
                }
            }
            QVERIFY(checked >= int(Factors.size()));
        }
    }

    void RefusedNamesAndPlaces() {
        TempFolder dir;
        const IndexChart chart = Chart(OatDesign(Factors, 0.01));
        QCOMPARE(Refusal(chart, dir / "f.gif"),
                 "Cannot write " + dir / "f.gif" + ": the name must end in .png, .svg or .pdf");
        QCOMPARE(Refusal(chart, dir / "none/f.png"),
                 "Cannot write " + dir / "none/f.png" + ": No such file or directory");
        QCOMPARE(dir.Entries(), std::size_t(0));
    }
};

QTEST_MAIN(SensitivityPlotTest)
#include "sensitivity_plot_test.moc"
