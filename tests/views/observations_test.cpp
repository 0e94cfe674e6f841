// Observations on the display's chart: which series get them, their legend
// entries, "Plot as", the axis ranges, hiding them, exports and refused files.
#include <QAction>
#include <QButtonGroup>
#include <QtTest>

#include "cmdline/symbols.h"
#include "fit/observations.h"
#include "output_samples.h"
#include "scripted_notifier.h"
#include "tests/test_files.h"
#include "views/column_list.h"
#include "views/display.h"
#include "chart/output_chart.h"
#include "window_test_support.h"

using namespace windows_test;
using namespace views_test;

namespace {

using Points = std::vector<std::pair<double, double>>;

std::string NameOf(int column) { return FmDisplayData->Cell(column, 1).toStdString(); }
std::string DriverSymbol(int i) { return QualifiedSymbol({VarKind::Driver, i}); }
std::string StateSymbol(int i) { return QualifiedSymbol({VarKind::State, i}); }

OutputChart& Chart() { return *FmDisplayData->ChOutput; }

// The chart's series k that draws the column.
int SeriesOf(int column) {
    for (int k = 1; k <= OutputChart::SeriesCount; ++k)
        if (Chart().SeriesActive(k) && Chart().Series(k)->name().toStdString() == NameOf(column)) return k;
    return 0;
}

Points Observed(int column) {
    Points points;
    const int k = SeriesOf(column);
    if (k == 0 || !Chart().ObservedShown(k)) return points;
    for (const QCPGraphData& p : *Chart().Observed(k)->data()) points.emplace_back(p.key, p.value);
    return points;
}

int ObservedShown() {
    int n = 0;
    for (int k = 1; k <= OutputChart::SeriesCount; ++k) n += Chart().ObservedShown(k);
    return n;
}

std::vector<std::string> Legend() {
    std::vector<std::string> texts;
    for (int i = 0; i < Chart().legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(Chart().legend->item(i)))
            texts.push_back(item->plottable()->name().toStdString());
    return texts;
}

void Update(int plotAs) {
    FmDisplayData->RgValueTypeItems->button(plotAs)->click();
    FmDisplayData->BtnUpdateChart->click();
}

// Drivers 1 and 2 and state 1 over times 1..5; driver 1 and state 1 observed.
struct Scene {
    ScratchFolder dir;
    const int d1 = DriverColumn(1), d2 = DriverColumn(2), s1 = StateColumn(1);
    std::string observations = dir.File("obs.csv");

    Scene() {
        std::vector<Record> records;
        for (int t = 1; t <= 5; ++t) records.push_back({double(t), {{d1, 10.0 * t}, {d2, 1}, {s1, 2}}});
        WriteOutput(dir.File("a.out"), records);
        // Times outside the run (0.5, 9) and a missing value (NA) are not drawn.
        WriteBytes(observations, "time," + DriverSymbol(1) + "," + StateSymbol(1) + ",sd(" + StateSymbol(1) + ")\n" +
                                     "0.5,7,,\n2,25,NA,\n4,60,,\n5,,3,0.5\n9,5,1,0.5\n");
        FmDisplayData->DisplayFileName = dir.File("a.out");
        FmDisplayData->ShowTable = false;
        FmDisplayData->show();
        QApplication::processEvents();
        for (const int c : {d1, d2, s1}) FmDisplayData->LbxSeries->SelectText(NameOf(c));
        Update(0);
    }

    void Load(ScriptedNotifier& ask) const {
        ask.Files = {observations};
        FmDisplayData->MIShowObservations->trigger();
    }
};

}  // namespace

class ObservationsTest : public QObject {
    Q_OBJECT
private slots:
    void ObservedSeriesGetMarkersLegendAndRange() {
        Workbench bench;
        ScriptedNotifier ask;
        Scene s;
        QVERIFY(!FmDisplayData->MIHideObservations->isEnabled());
        QVERIFY(FmDisplayData->LoadedObservations() == nullptr);
        const std::vector<std::string> plotted = Legend();
        QCOMPARE(Chart().yAxis->range().upper, 50.0);

        ask.Files = {s.observations};
        FmDisplayData->MIShowObservations->trigger();
        QCOMPARE(ask.Dialogs.at(0).Name, std::string("DlgOpenObservations"));
        QCOMPARE(ask.Dialogs.at(0).Title, std::string("Open Observations"));
        QVERIFY(ask.Messages.empty());
        QVERIFY(FmDisplayData->LoadedObservations() != nullptr);
        QCOMPARE(FmDisplayData->LoadedObservations()->FileName, s.observations);
        QVERIFY(FmDisplayData->MIHideObservations->isEnabled());

        QCOMPARE(Observed(s.d1), (Points{{2, 25}, {4, 60}}));
        QCOMPARE(Observed(s.s1), (Points{{5, 3}}));
        QCOMPARE(ObservedShown(), 2);  // driver 2 has none
        // The series, then the observations in the series' order.
        std::vector<std::string> legend = plotted;
        for (const std::string& name : plotted)
            if (name == NameOf(s.d1) || name == NameOf(s.s1)) legend.push_back(name + " (observed)");
        QCOMPARE(legend.size(), std::size_t(5));
        QCOMPARE(Legend(), legend);
        // The axes take the observations in, not those outside the run.
        QCOMPARE(Chart().yAxis->range().upper, 60.0);
        QCOMPARE(Chart().xAxis->range().lower, 1.0);
        QCOMPARE(Chart().xAxis->range().upper, 5.0);
        // Open markers of the series' shape.
        const int k = SeriesOf(s.d1);
        QCOMPARE(Chart().Observed(k)->scatterStyle().shape(), Chart().Series(k)->scatterStyle().shape());
        QCOMPARE(Chart().Observed(k)->scatterStyle().brush().style(), Qt::NoBrush);
        QCOMPARE(Chart().Observed(k)->scatterStyle().pen().color(), QColor(Qt::black));

        // Saved figures carry them.
        ask.Files = {s.dir.File("f.svg")};
        FmDisplayData->MISaveChartAs->trigger();
        QVERIFY(ReadBytes(s.dir.File("f.svg")).find(NameOf(s.s1) + " (observed)") != std::string::npos);

        FmDisplayData->MIHideObservations->trigger();
        QCOMPARE(ObservedShown(), 0);
        QCOMPARE(Legend(), plotted);
        QCOMPARE(Chart().yAxis->range().upper, 50.0);
        QVERIFY(!FmDisplayData->MIHideObservations->isEnabled());
        QVERIFY(FmDisplayData->LoadedObservations() == nullptr);
        QVERIFY(ask.Messages.empty());
    }

    void PlotAsTransformsWithTheSeriesStartValue() {
        Workbench bench;
        ScriptedNotifier ask;
        Scene s;
        s.Load(ask);
        // Relative and cumulative change from the series' own first value
        // (10 and 2), so observations keep their place beside the series.
        Update(1);
        QCOMPARE(Observed(s.d1), (Points{{2, 2.5}, {4, 6}}));
        QCOMPARE(Observed(s.s1), (Points{{5, 1.5}}));
        QCOMPARE(Chart().yAxis->range().upper, 6.0);
        Update(2);
        QCOMPARE(Observed(s.d1), (Points{{2, 15}, {4, 50}}));
        QCOMPARE(Observed(s.s1), (Points{{5, 1}}));
        QCOMPARE(Chart().yAxis->range().upper, 50.0);
        // Against another independent series they have no place.
        FmDisplayData->SetXSeries(NameOf(s.d2));
        Update(0);
        QCOMPARE(ObservedShown(), 0);
        QVERIFY(ask.Messages.empty());
    }

    void RefusedOrCancelledFileChangesNothing() {
        Workbench bench;
        ScriptedNotifier ask;
        Scene s;
        s.Load(ask);
        const fit::Observations* loaded = FmDisplayData->LoadedObservations();

        const std::string bad = s.dir.File("bad.csv");
        WriteBytes(bad, "day," + DriverSymbol(1) + "\n1,2\n");
        ask.Files = {bad, std::nullopt};
        FmDisplayData->MIShowObservations->trigger();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"observations file '" + bad +
                                                       "', line 1, column 1: the first column must be the time, "
                                                       "headed 'time', not 'day'"});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QCOMPARE(ask.Dialogs.at(1).StartName, s.observations);
        FmDisplayData->MIShowObservations->trigger();  // cancelled
        QCOMPARE(ask.Messages.size(), std::size_t(1));
        QCOMPARE(FmDisplayData->LoadedObservations(), loaded);
        QCOMPARE(Observed(s.d1), (Points{{2, 25}, {4, 60}}));
        QVERIFY(FmDisplayData->MIHideObservations->isEnabled());
    }
};

QTEST_MAIN(ObservationsTest)
#include "observations_test.moc"
