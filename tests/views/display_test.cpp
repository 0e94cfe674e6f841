// The output display: loading, the table view, the chart's update with its
// series limit, "Plot as", axis ranges, closing and reopening, and a new file.
#include <QAction>
#include <QHeaderView>
#include <QLocale>
#include <charconv>
#include <clocale>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <fstream>

#include "frontend/main_form.h"
#include "output_samples.h"
#include "scripted_notifier.h"
#include "views/calibrate_panel.h"
#include "views/column_list.h"
#include "views/display.h"
#include "chart/output_chart.h"
#include "views/output_grid.h"
#include "window_test_support.h"

using namespace windows_test;
using namespace views_test;

namespace {

const std::string CannotUpdate = "Cannot update chart. Invalid series.";
const std::string TooMany = "Cannot display series. Maximum is 10 series.";

// Column 1 is the first driver, column StateColumn(1) the first state.
std::string NameOf(int column) { return FmDisplayData->Cell(column, 1).toStdString(); }

void Show(const std::string& file, bool table) {
    FmDisplayData->DisplayFileName = file;
    FmDisplayData->ShowTable = table;
    FmDisplayData->hide();
    FmDisplayData->show();
    QApplication::processEvents();
}

void Select(std::initializer_list<std::string> names) {
    for (const std::string& name : names) FmDisplayData->LbxSeries->SelectText(name);
}

std::vector<double> Ys(int k) {
    std::vector<double> ys;
    for (const QCPGraphData& p : *FmDisplayData->ChOutput->Series(k)->data()) ys.push_back(p.value);
    return ys;
}

}  // namespace

class DisplayTest : public QObject {
    Q_OBJECT
private slots:
    void ALowWindowStillShowsPlotAsAndTheButtonsWhole() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("l.out"), {{1, {{1, 1}}}});
        Show(dir.File("l.out"), false);
        TFmDisplayData* d = FmDisplayData;
        d->setWindowState(Qt::WindowNoState);
        d->resize(800, 460);  // a 1000-pixel screen at a scale factor of 2, less the panel
        QApplication::processEvents();
        QVERIFY(d->RgValueType->height() >= d->RgValueType->sizeHint().height());
        QVERIFY(d->RgValueType->width() >= d->RgValueType->sizeHint().width());
        const QRect right = d->PnBottomRight->rect();
        int below = d->RgValueType->geometry().bottom();
        for (QPushButton* b : {d->BtnUpdateChart, d->BtnClearSeries, d->BtnCloseDisplay}) {
            QVERIFY2(b->y() > below && right.contains(b->geometry()), qPrintable(b->objectName()));
            below = b->geometry().bottom();
        }
        QVERIFY(d->ChOutput->height() > 0);

        // Ten series on the low chart: the legend, frame included, lies
        // within the chart and clear of the calibration panel.
        for (int i = 0; i < 10; ++i) d->LbxSeries->item(i)->setSelected(true);
        d->BtnUpdateChart->click();
        d->ChOutput->replot();
        const QRect legend = d->ChOutput->legend->outerRect();
        QVERIFY(d->ChOutput->legend->visible());
        QVERIFY(d->ChOutput->rect().contains(legend.adjusted(0, 0, 1, 1)));
        QVERIFY(!legend.intersects(d->pnCalibrate->geometry()));
        d->setWindowState(Qt::WindowMaximized);
    }

    void AxisLabelsKeepThePointUnderACommaLocaleAndTheLegendShowsOnlySeries() {
        // The desktop of a German user: the toolkit's default locale, and the
        // C library's where the system has it.
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const std::string before = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_ALL, name)) break;
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int c = StateColumn(1);
        WriteOutput(dir.File("g.out"), {{1, {{c, 0.25}}}, {2, {{c, 0.5}}}, {3, {{c, 1}}}});
        Show(dir.File("g.out"), false);
        OutputChart* chart = FmDisplayData->ChOutput;
        FmDisplayData->BtnUpdateChart->click();
        QVERIFY(!chart->legend->visible());  // no series, no empty frame
        Select({NameOf(c)});
        FmDisplayData->BtnUpdateChart->click();
        QVERIFY(chart->legend->visible());
        chart->replot();
        for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) {
            QVERIFY(!axis->tickVectorLabels().isEmpty());
            for (const QString& label : axis->tickVectorLabels()) {
                const std::string text = label.toStdString();
                double value = 0;
                const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
                QVERIFY2(read.ec == std::errc() && read.ptr == text.data() + text.size(), text.c_str());
            }
        }
        QVERIFY(chart->yAxis->tickVectorLabels().contains("0.4"));
        chart->SetAxisLogarithmic(false, true);
        chart->replot();
        for (const QString& label : chart->yAxis->tickVectorLabels()) QVERIFY2(!label.contains(','), qPrintable(label));
        std::setlocale(LC_ALL, before.c_str());
        QLocale::setDefault(previous);
        QVERIFY(ask.Messages.empty());
    }

    void RecordsBeforeStartTimeAreDroppedAndY0IsTheFirstShown() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int c = DriverColumn(1);
        WriteOutput(dir.File("a.out"), {{1, {{c, 100}}}, {2, {{c, 2}}}, {3, {{c, 4}}}, {4, {{c, 5}}}});
        StartTime = 2;
        Show(dir.File("a.out"), false);
        QCOMPARE(FmDisplayData->windowTitle(), QString::fromStdString("Model Output - File: " + dir.File("a.out")));
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(3 + 3));
        QCOMPARE(FmDisplayData->Cell(0, 3), QString("2"));
        QCOMPARE(FmDisplayData->Cell(c, 5), QString("5"));

        Select({NameOf(c)});
        FmDisplayData->RgValueTypeItems->button(1)->click();
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(Ys(1), (std::vector<double>{1, 2, 2.5}));
        FmDisplayData->RgValueTypeItems->button(2)->click();
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(Ys(1), (std::vector<double>{0, 2, 3}));
        QVERIFY(ask.Messages.empty());
        StartTime = 1;
    }

    void RelativeChangeOfAFirstZeroFailsAndKeepsEarlierSeries() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        // Column 1 (the first driver) starts at 0; column 2 does not. The
        // series list is sorted, so use the order it gives.
        WriteOutput(dir.File("z.out"), {{1, {{1, 0}, {2, 3}}}, {2, {{1, 1}, {2, 6}}}});
        Show(dir.File("z.out"), false);
        Select({NameOf(1), NameOf(2)});
        FmDisplayData->RgValueTypeItems->button(1)->click();
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(ask.Texts(), std::vector<std::string>{CannotUpdate});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Information);
        const int zeroSeries = FmDisplayData->SeriesNames[0] == NameOf(1) ? 1 : 2;
        QVERIFY(Ys(zeroSeries).empty());
        if (zeroSeries == 2) QCOMPARE(Ys(1), (std::vector<double>{1, 2}));
        QVERIFY(FmDisplayData->ChOutput->SeriesActive(1) && FmDisplayData->ChOutput->SeriesActive(2));
    }

    void TwelveSelectedGiveTwoMessagesAndTheFirstTenInListOrder() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        std::map<int, double> values;
        for (int c = 1; c <= 30; ++c) values[c] = c;
        WriteOutput(dir.File("w.out"), {{1, values}, {2, values}});
        Show(dir.File("w.out"), false);
        ColumnList* list = FmDisplayData->LbxSeries;
        std::vector<std::string> chosen;
        for (int i = 0; i < list->count() && chosen.size() < 12; i += 7) {
            list->item(i)->setSelected(true);
            chosen.push_back(list->item(i)->text().toStdString());
        }
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(ask.Texts(), (std::vector<std::string>{TooMany, TooMany}));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QCOMPARE(FmDisplayData->SeriesCount, 10);
        for (int k = 1; k <= 10; ++k) {
            QCOMPARE(FmDisplayData->SeriesNames[k - 1], chosen[k - 1]);
            QCOMPARE(FmDisplayData->ChOutput->Series(k)->name().toStdString(), chosen[k - 1]);
            QCOMPARE(FmDisplayData->ChOutput->Series(k)->objectName(), QString("Series%1").arg(k));
        }
        QCOMPARE(list->SelectedTexts().size(), std::size_t(12));  // the refused stay selected
    }

    void ManualScaleLastsUntilTheNextUpdateLogarithmicStays() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int c = StateColumn(1);
        WriteOutput(dir.File("s.out"), {{1, {{c, 5}}}, {2, {{c, 9}}}, {3, {{c, 7}}}});
        Show(dir.File("s.out"), false);
        Select({NameOf(c)});
        FmDisplayData->BtnUpdateChart->click();
        OutputChart* chart = FmDisplayData->ChOutput;
        QCOMPARE(chart->yAxis->range().lower, 0.0);  // 5..9 gives 0..9
        QCOMPARE(chart->yAxis->range().upper, 9.0);
        QCOMPARE(chart->xAxis->range().lower, 1.0);
        QCOMPARE(chart->xAxis->range().upper, 3.0);
        // Axis titles name what is plotted, with its units.
        QCOMPARE(chart->xAxis->label(), QString("Time (days)"));
        QCOMPARE(chart->yAxis->label().toStdString(), NameOf(c) + " (" + std::string(States[1].Units) + ")");
        FmDisplayData->RgValueTypeItems->button(1)->click();
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(chart->yAxis->label().toStdString(), NameOf(c) + " (y/y0)");
        FmDisplayData->RgValueTypeItems->button(0)->click();

        FmDisplayData->SetAxisScale(false, false, 20, 4, 2);  // reversed: the same as 4..20
        QCOMPARE(chart->yAxis->range().lower, 4.0);
        QCOMPARE(chart->yAxis->range().upper, 20.0);
        FmDisplayData->SetAxisLogarithmic(false, true);
        FmDisplayData->BtnUpdateChart->click();
        QVERIFY(chart->Logarithmic(false));
        QCOMPARE(chart->yAxis->range().lower, 5.0);  // the positive values, on a log axis
        QCOMPARE(chart->yAxis->range().upper, 9.0);
        QVERIFY(chart->Notice().isEmpty());
        QVERIFY(ask.Messages.empty());
    }

    void LogAxisTellsHowManyPointsItCannotShow() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int c = DriverColumn(1);
        WriteOutput(dir.File("l.out"), {{1, {{c, 0}}}, {2, {{c, -1}}}, {3, {{c, 10}}}});
        Show(dir.File("l.out"), false);
        Select({NameOf(c)});
        FmDisplayData->SetAxisLogarithmic(false, true);
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(FmDisplayData->ChOutput->Notice(), QString::fromUtf8("2 values \u2264 0 not shown"));
        FmDisplayData->SetAxisLogarithmic(false, false);
        QCOMPARE(FmDisplayData->ChOutput->Notice(), QString());
    }

    void AStateAsIndependentSeries() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int x = StateColumn(3), y = ProcessColumn(ModelDef.NumStates + 1);
        WriteOutput(dir.File("x.out"), {{1, {{x, 30}, {y, 1}}}, {2, {{x, 10}, {y, 2}}}, {3, {{x, 20}, {y, 3}}}});
        Show(dir.File("x.out"), false);
        FmDisplayData->SetXSeries(NameOf(x));
        Select({NameOf(y)});
        FmDisplayData->BtnUpdateChart->click();
        OutputChart* chart = FmDisplayData->ChOutput;
        QCOMPARE(chart->xAxis->label().toStdString(), NameOf(x) + " (" + std::string(States[3].Units) + ")");
        QCOMPARE(chart->xAxis->range().lower, 10.0);
        QCOMPARE(chart->xAxis->range().upper, 30.0);
        std::map<double, double> points;
        for (const QCPGraphData& p : *chart->Series(1)->data()) points[p.key] = p.value;
        QCOMPARE(points, (std::map<double, double>{{10, 2}, {20, 3}, {30, 1}}));
    }

    void CloseDisplayKeepsTheTableTitleBarCloseReadsAgain() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("r.out"), {{1, {}}, {2, {}}});
        Show(dir.File("r.out"), true);
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(5));
        FmDisplayData->BtnCloseDisplay->click();
        QVERIFY(!FmDisplayData->isVisible());
        QVERIFY(!FmDisplayData->ReloadOutput);

        WriteOutput(dir.File("r.out"), {{1, {}}, {2, {}}, {3, {}}});
        Show(dir.File("r.out"), false);
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(5));  // not read again
        FmDisplayData->BtnCloseDisplay->click();

        // A run asks for a new reading; after it, the title bar's close
        // leaves the next showing to read the file again too.
        FmDisplayData->ReloadOutput = true;
        Show(dir.File("r.out"), false);
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(6));
        FmDisplayData->close();
        QVERIFY(FmDisplayData->ReloadOutput);
        WriteOutput(dir.File("r.out"), {{1, {}}});
        Show(dir.File("r.out"), false);
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(4));
        QVERIFY(ask.Messages.empty());
    }

    void AFileThatFailsToLoadKeepsItsRowsAndIsReported() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("bad.out"), {{1, {}}, {2, {}}});
        {
            std::ofstream(dir.File("bad.out"), std::ios::binary | std::ios::app) << "3 x\r\n";
        }
        Show(dir.File("bad.out"), false);
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Invalid numeric input"});
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(5));
        QVERIFY(FmDisplayData->isVisible());

        Show(dir.File("missing.out"), false);
        QCOMPARE(ask.Texts().back(), std::string("File not found"));
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(3));
    }

    // A run killed while it wrote its last record: the whole records show.
    void ALastRecordCutShortIsLeftOutSayingSo() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const std::string file = dir.File("cut.out");
        WriteOutput(file, {{1, {}}, {2, {}}, {3, {}}});
        const std::string whole = ReadBytes(file);
        WriteBytes(file, whole.substr(0, whole.size() - 1000));
        Show(file, false);
        QCOMPARE(ask.Texts(), std::vector<std::string>{"the last record of '" + file + "', cut short at byte " +
                                                       std::to_string(whole.size() - 1000) + ", was left out"});
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(3 + 2));  // three title rows
    }

    void TableViewLayout() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("t.out"), {{1.5, {{1, 1e-5}}}});
        FmDisplayData->resize(900, 700);
        Show(dir.File("t.out"), true);
        TFmDisplayData* d = FmDisplayData;
        QVERIFY(d->SgModelOutput->isVisible());
        QVERIFY(!d->ChOutput->isVisible() && !d->ChOutput->isEnabled());
        QVERIFY(!d->MIChart->menuAction()->isVisible());
        QVERIFY(!d->LbxSeries->isVisible() && !d->LblSeries->isVisible() && !d->RgValueType->isVisible());
        QVERIFY(!d->BtnUpdateChart->isEnabled());
        QCOMPARE(d->PnBottom->height(), std::max(d->height() / 20, 30));
        QCOMPARE(d->BtnCloseDisplay->y(), (d->PnBottom->height() - d->BtnCloseDisplay->height()) / 2 - 1);
        // Every column, the units row, and the numbers as the file holds them.
        QCOMPARE(d->SgModelOutput->model()->columnCount(), 208);
        // Columns start wide enough for their names, within limits.
        const QFontMetrics header(d->SgModelOutput->horizontalHeader()->font());
        for (int c : {0, 1, 100, 207}) {
            const int width = d->SgModelOutput->columnWidth(c);
            QVERIFY(width >= OutputGrid::DefaultColumnWidth && width <= OutputGrid::MaxStartWidth);
            QVERIFY(width == OutputGrid::MaxStartWidth || header.horizontalAdvance(NameOf(c).c_str()) < width);
        }
        QCOMPARE(d->Cell(0, 2), QString("days"));
        QCOMPARE(d->Cell(0, 3), QString("1.5"));
        QCOMPARE(d->Cell(1, 3), QString("1e-05"));
        QCOMPARE(d->Cell(5, 0), QString("5"));
        QVERIFY(!(d->SgModelOutput->model()->flags(d->SgModelOutput->model()->index(1, 1)) & Qt::ItemIsEditable));

        d->BtnCloseDisplay->click();
        Show(dir.File("t.out"), false);
        QVERIFY(d->ChOutput->isVisible() && d->LbxSeries->isVisible());
        QVERIFY(d->MIChart->menuAction()->isVisible());
        QCOMPARE(d->PnBottom->height(), d->height() / 3);
        QCOMPARE(d->LblSeries->text(), QString(" Select a maximum of 10 series to plot."));
        QCOMPARE(d->ChOutput->Title(), QString("Ostrel"));
    }

    void NewFileCancelledShowsTheFileAgainAndUpdates() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int c = DriverColumn(2);
        WriteOutput(dir.File("n.out"), {{1, {{c, 3}}}, {2, {{c, 4}}}});
        Show(dir.File("n.out"), false);
        Select({NameOf(c)});
        WriteOutput(dir.File("n.out"), {{1, {{c, 3}}}, {2, {{c, 4}}}, {3, {{c, 8}}}});
        FmDisplayData->MINewFile->trigger();
        QCOMPARE(ask.Dialogs.size(), std::size_t(1));
        QCOMPARE(ask.Dialogs[0].Name, std::string("DlgOpenOutput"));
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(6));  // read again: ReloadOutput was set
        QCOMPARE(Ys(1), (std::vector<double>{3, 4, 8}));
    }
};

QTEST_MAIN(DisplayTest)
#include "display_test.moc"
