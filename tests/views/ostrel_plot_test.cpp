// ostrel-plot: its options, the series it finds by symbol or name, and the
// messages of a wrong command line or a file it cannot use.
#include <QImage>
#include <QtTest>
#include <sstream>

#include "model/equations.h"
#include "output_samples.h"
#include "plot/ostrel_plot.h"
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
            QCOMPARE(std::string(e.what()), std::string("no series 'LIA'; nearest symbols: LAI, Ca, II, Ci, Na"));
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
        QCOMPARE(Plot({dir / "z.out", "-o", dir / "c.png"}).Status, 2);
        QVERIFY(!std::filesystem::exists(dir / "c.png"));
        QCOMPARE(Plot({"--help"}).Status, 0);
    }
};

QTEST_MAIN(OstrelPlotTest)
#include "ostrel_plot_test.moc"
