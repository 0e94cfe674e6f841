// ostrel-plot: its options, the series it finds by symbol or name, the
// tables it reads, the panels, axes and marks it draws, and the messages of
// a wrong command line or a file it cannot use.
#include <QImage>
#include <QtTest>
#include <qcustomplot.h>
#include <sstream>

#include "model/equations.h"
#include "output_samples.h"
#include "plot/ostrel_plot.h"
#include "plot/plot_chart.h"
#include "plot/table_file.h"
#include "tests/test_files.h"
#include "window_test_support.h"

using namespace views_test;

namespace {

struct Result {
    int Status;
    std::string Out, Err;
};

Result Plot(std::vector<std::string> args) {
    args.insert(args.begin(), "ostrel-plot");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = RunOstrelPlot(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

PlottedSeries Ramp(const std::string& title, double scale) {
    PlottedSeries s{title, {}, {}};
    for (int t = 1; t <= 5; ++t) s.X.push_back(t), s.Y.push_back(scale * t);
    return s;
}

// A drawing of three series of two units.
PlotDrawing ThreeSeries(PlotArrangement arrangement) {
    PlotDrawing d;
    d.Title = "run.out";
    d.XTitle = "Time (days)";
    d.Plan = PlanAxes({{"GPP", "g C m-2 day-1"}, {"LAI", "m2 m-2"}, {"NPP", "g C m-2 day-1"}}, arrangement);
    d.Series = {Ramp("GPP", 2), Ramp("LAI", 0.5), Ramp("NPP", 1)};
    return d;
}

bool InsideDataArea(const QCustomPlot& chart, const QCPLegend* legend) {
    for (int i = 0; i < chart.axisRectCount(); ++i)
        if (chart.axisRect(i)->rect().intersects(legend->outerRect())) return true;
    return false;
}

}  // namespace

class OstrelPlotTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { DefineModel(); }

    void SeriesBySymbolOrName() {
        OutputTable table;
        QCOMPARE(SeriesColumn(table, "Time"), 0);
        QCOMPARE(SeriesColumn(table, "LAI"), table.FindColumn("Leaf Area Index"));
        QCOMPARE(SeriesColumn(table, "Leaf Area Index"), table.FindColumn("Leaf Area Index"));
        QCOMPARE(SeriesColumn(table, "Cf"), ModelDef.NumDrivers + 1);
        try {
            SeriesColumn(table, "LIA");
            QFAIL("no failure");
        } catch (const std::invalid_argument& e) {
            QCOMPARE(std::string(e.what()), std::string("no series 'LIA'; did you mean LAI?"));
        }
        try {
            SeriesColumn(table, "Ts");
            QFAIL("no failure");
        } catch (const std::invalid_argument& e) {
            QCOMPARE(std::string(e.what()), std::string("'Ts' is the symbol of more than one series (Avg Soil Temp; "
                                                        "Temp: soil mean daily): name the one you mean"));
        }
    }

    void DrawsTheChosenRecordsInEachFormat() {
        TempFolder dir;
        const int lai = SeriesColumn(OutputTable(), "LAI");
        std::vector<Record> records;
        for (int t = 1; t <= 20; ++t) records.push_back({double(t), {{lai, t - 10.0}, {1, 2.0 * t}}});
        WriteOutput(dir / "a.out", records);

        const Result png = Plot({dir / "a.out", "--series", "LAI,Ca", "--from", "5", "--to", "15", "--log-y",
                                 "--size", "400x300", "-o", dir / "c.png"});
        QCOMPARE(png.Status, 0);
        QCOMPARE(png.Err, std::string());
        QCOMPARE(png.Out, "Chart: " + dir / "c.png" + " (2 series, 11 records; 6 values \u2264 0 not shown)\n");
        QCOMPARE(QImage(QString::fromStdString(dir / "c.png")).size(), QSize(800, 600));

        for (const char* type : {"c.svg", "c.pdf"}) {
            const Result r = Plot({dir / "a.out", "--series", "LAI", "--x", "CO2, Atm", "--plot-as", "cumulative",
                                   "--log-x", "-o", dir / type});
            QCOMPARE(r.Status, 0);
            QVERIFY(ReadBytes(dir / type).size() > 1000);
        }
    }

    void StackedPanelsShareTheTimeAxis() {
        QCustomPlot chart;
        chart.resize(800, 600);
        DrawPlot(chart, ThreeSeries(PlotArrangement::Automatic));
        chart.replot();
        QCOMPARE(chart.axisRectCount(), 2);
        QCPAxisRect* top = chart.axisRect(0);
        QCPAxisRect* bottom = chart.axisRect(1);
        QCOMPARE(top->axis(QCPAxis::atLeft)->label(), QString("GPP, NPP (g C m-2 day-1)"));
        QCOMPARE(bottom->axis(QCPAxis::atLeft)->label(), QString("LAI (m2 m-2)"));
        // Only the lowest panel labels the time, and both show the same span.
        QVERIFY(!top->axis(QCPAxis::atBottom)->tickLabels());
        QCOMPARE(top->axis(QCPAxis::atBottom)->label(), QString());
        QCOMPARE(bottom->axis(QCPAxis::atBottom)->label(), QString("Time (days)"));
        QCOMPARE(top->axis(QCPAxis::atBottom)->range(), bottom->axis(QCPAxis::atBottom)->range());
        QCOMPARE(top->left(), bottom->left());
        // Lines, with a little room above the highest value.
        QCOMPARE(chart.graph(0)->lineStyle(), QCPGraph::lsLine);
        QCOMPARE(chart.graph(0)->scatterStyle().shape(), QCPScatterStyle::ssNone);
        QCOMPARE(top->axis(QCPAxis::atLeft)->range().lower, 0.0);
        QCOMPARE(top->axis(QCPAxis::atLeft)->range().upper, 10.5);
        QVERIFY(!InsideDataArea(chart, chart.legend));
        QCOMPARE(chart.legend->itemCount(), 2);
    }

    void AxesPointsAndBars() {
        QCustomPlot axes;
        PlotDrawing d = ThreeSeries(PlotArrangement::Axes);
        d.Points = true;
        DrawPlot(axes, d);
        axes.replot();
        QCOMPARE(axes.axisRectCount(), 1);
        QCOMPARE(axes.yAxis->label(), QString("GPP, NPP (g C m-2 day-1)"));
        QVERIFY(axes.yAxis2->visible());
        QCOMPARE(axes.yAxis2->label(), QString("LAI (m2 m-2)"));
        QCOMPARE(axes.graph(2)->valueAxis(), axes.yAxis2);  // LAI, the third series
        QCOMPARE(axes.graph(0)->lineStyle(), QCPGraph::lsNone);
        QCOMPARE(axes.graph(0)->scatterStyle().shape(), QCPScatterStyle::ssSquare);
        QCOMPARE(axes.legend->itemCount(), 3);
        QVERIFY(!InsideDataArea(axes, axes.legend));

        QCustomPlot bars;
        d = ThreeSeries(PlotArrangement::Panels);
        d.Bars = true;
        DrawPlot(bars, d);
        QCOMPARE(bars.plottableCount(), 3);
        QVERIFY(qobject_cast<QCPBars*>(bars.plottable(0)));
        QCOMPARE(qobject_cast<QCPBars*>(bars.plottable(0))->width(), 0.4);  // two bars share a year
        QCOMPARE(bars.axisRect(1)->axis(QCPAxis::atBottom)->range(), QCPRange(0.4, 5.6));
    }

    void ReadsModelbatchTables() {
        TempFolder dir;
        WriteBytes(dir / "r.csv", "Time,LAI,\"Ts.driver4\"\r\ndays,m2,deg C\r\n1,2,NAN\r\n2,3.5,1e1\r\n\r\n");
        WriteBytes(dir / "r.tsv", "Time\tLAI\r\ndays\tm2\r\n1\t2\r\n2\t-INF\r\n");
        OutputTable table;
        const int lai = SeriesColumn(table, "LAI");
        std::vector<bool> present = LoadTableFile(dir / "r.csv", table);
        QCOMPARE(table.Records(), std::int64_t(2));
        QCOMPARE(table.Value(lai, 1), 3.5);
        QCOMPARE(table.Value(4, 1), 10.0);  // the fourth driver
        QVERIFY(std::isnan(table.Value(4, 0)));
        QVERIFY(present[0] && present[lai] && present[4] && !present[1]);
        present = LoadTableFile(dir / "r.tsv", table);
        QCOMPARE(table.Records(), std::int64_t(2));
        QCOMPARE(table.Value(lai, 1), -std::numeric_limits<double>::infinity());
        QCOMPARE(std::count(present.begin(), present.end(), true), 2);

        const Result r = Plot({dir / "r.csv", "--series", "LAI", "-o", dir / "c.png"});
        QCOMPARE(r.Err, std::string());
        QCOMPARE(r.Out, "Chart: " + dir / "c.png" + " (1 series, 2 records)\n");
        const auto err = [](const Result& r) { return std::make_pair(r.Status, r.Err); };
        using E = std::pair<int, std::string>;
        QCOMPARE(err(Plot({dir / "r.csv", "--series", "NPP", "-o", dir / "c.png"})),
                 E(1, "ostrel-plot: " + dir / "r.csv" + ": the file has no column NPP: daily\n"));
        // A table it cannot use: the file and the line named.
        const auto bad = [&](const std::string& name, const std::string& text) {
            WriteBytes(dir / name, text);
            return err(Plot({dir / name, "--series", "LAI", "-o", dir / "c.png"}));
        };
        const auto failure = [&](const std::string& name, const std::string& why) {
            return E(1, "ostrel-plot: " + dir / name + ": " + why + "\n");
        };
        QCOMPARE(
            bad("a.csv", "Time,LIA\r\ndays,m2\r\n1,2\r\n"),
            failure("a.csv", "line 1: column 2: unknown symbol 'LIA' (symbols are case-sensitive); did you mean LAI?"));
        QCOMPARE(bad("b.csv", "Time,LAI\r\ndays,m2\r\n1,2\r\n2,x\r\n"),
                 failure("b.csv", "line 4: column 2: 'x' is not a number"));
        QCOMPARE(bad("c.tsv", "Time\tLAI\r\ndays\tm2\r\n1\t2\t3\r\n"),
                 failure("c.tsv", "line 3: 3 fields where the header has 2"));
        QCOMPARE(bad("d.csv", "Time,LAI\r\n"), failure("d.csv", "no records to plot"));
    }

    void YearsAndAnnualValues() {
        TempFolder dir;
        const int npp = SeriesColumn(OutputTable(), "NPP");
        std::vector<Record> records;
        for (int t = 0; t <= 732; t += 6) records.push_back({double(t), {{npp, t <= 366 ? 1.0 : 2.0}}});
        WriteOutput(dir / "y.out", records);
        for (const std::vector<std::string>& how : {std::vector<std::string>{"--years"}, {"--by-year", "sum"}}) {
            std::vector<std::string> args{dir / "y.out", "--series", "NPP",        "--title",
                                          "Two years",   "-o",       dir / "y.svg"};
            args.insert(args.end(), how.begin(), how.end());
            const Result r = Plot(args);
            QCOMPARE(r.Status, 0);
            const std::string svg = ReadBytes(dir / "y.svg");
            QVERIFY(svg.find("<title>Two years</title>") != std::string::npos);
        }
    }

    void WrongCommandLinesAndFiles() {
        TempFolder dir;
        WriteOutput(dir / "z.out", {{1, {{1, 0}}}, {2, {{1, 1}}}});
        const auto err = [](const Result& r) { return std::make_pair(r.Status, r.Err); };
        using E = std::pair<int, std::string>;
        QCOMPARE(err(Plot({dir / "z.out", "--series", "LAI", "-o", dir / "c.gif"})),
                 E(2, "ostrel-plot: the chart file must end in .png, .svg or .pdf: " + dir / "c.gif" + "\n"));
        QCOMPARE(err(Plot({dir / "z.out", "--series", "LAI", "--size", "50x50", "-o", dir / "c.png"})),
                 E(2, "ostrel-plot: --size must be WIDTHxHEIGHT, each from 100 to 10000 pixels: 50x50\n"));
        QCOMPARE(err(Plot({dir / "z.out", "--series", "Cf,Cf,Cf,Cf,Cf,Cf,Cf,Cf,Cf,Cf,Cf", "-o", dir / "c.png"})),
                 E(2, "ostrel-plot: at most 10 series can be plotted, not 11\n"));
        QCOMPARE(err(Plot({dir / "none.out", "--series", "LAI", "-o", dir / "c.png"})),
                 E(1, "ostrel-plot: " + dir / "none.out" + ": File not found\n"));
        QCOMPARE(err(Plot({dir / "z.out", "--series", "LAI", "--from", "5", "-o", dir / "c.png"})),
                 E(1, "ostrel-plot: " + dir / "z.out" + ": no records to plot\n"));
        QCOMPARE(err(Plot({dir / "z.out", "--series", "Ca", "--plot-as", "relative", "-o", dir / "c.png"})),
                 E(1, "ostrel-plot: Cannot update chart. Invalid series. (CO2, Atm)\n"));
        QCOMPARE(err(Plot({dir / "z.out", "--series", "LAI", "--x", "Ca", "--years", "-o", dir / "c.png"})),
                 E(2, "ostrel-plot: --years needs the time as the independent series, not CO2, Atm\n"));
        QCOMPARE(err(Plot({dir / "z.out", "--series", "LAI", "--by-year", "max", "--log-x", "-o", dir / "c.png"})),
                 E(2, "ostrel-plot: --by-year draws model years: it takes no --log-x\n"));
        QCOMPARE(Plot({dir / "z.out", "--series", "LAI", "--by-year", "median", "-o", dir / "c.png"}).Status, 2);
        QCOMPARE(Plot({dir / "z.out", "--series", "LAI", "--panels", "--axes", "-o", dir / "c.png"}).Status, 2);
        QCOMPARE(Plot({dir / "z.out", "-o", dir / "c.png"}).Status, 2);
        QVERIFY(!std::filesystem::exists(dir / "c.png"));
        QCOMPARE(Plot({"--help"}).Status, 0);
    }
};

QTEST_MAIN(OstrelPlotTest)
#include "ostrel_plot_test.moc"
