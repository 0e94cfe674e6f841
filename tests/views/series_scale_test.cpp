// The series dialog and the axis dialog, opened from the display's Chart
// menu as a user does.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <functional>

#include "output_samples.h"
#include "scripted_notifier.h"
#include "views/column_list.h"
#include "views/display.h"
#include "chart/output_chart.h"
#include "views/scale_dlg.h"
#include "views/series_form.h"
#include "window_test_support.h"

using namespace windows_test;
using namespace views_test;

namespace {

// Runs `act` once the modal dialog `dialog` is up.
void WhenShown(QDialog* dialog, std::function<void()> act) {
    QTimer::singleShot(0, dialog, [dialog, act] {
        QVERIFY(dialog->isVisible());
        act();
    });
}

std::string NameOf(int column) { return FmDisplayData->Cell(column, 1).toStdString(); }

void ShowChart(const std::string& file) {
    FmDisplayData->DisplayFileName = file;
    FmDisplayData->ShowTable = false;
    FmDisplayData->show();
    QApplication::processEvents();
}

}  // namespace

class SeriesScaleTest : public QObject {
    Q_OBJECT
private slots:
    void IndependentSeriesShowsAtTheNextUpdate() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int x = StateColumn(2), y = DriverColumn(1);
        WriteOutput(dir.File("a.out"), {{1, {{x, 7}, {y, 1}}}, {2, {{x, 3}, {y, 2}}}});
        ShowChart(dir.File("a.out"));
        FmDisplayData->LbxSeries->SelectText(NameOf(y));
        WhenShown(FmSeries, [&] {
            QCOMPARE(FmSeries->windowTitle(), QString("Independent Axis - Choose one series."));
            QVERIFY(!FmSeries->BtnClearSelection->isVisible());
            QCOMPARE(FmSeries->LbxChooseSeries->SelectedTexts(), std::vector<std::string>{"Time"});
            FmSeries->LbxChooseSeries->clearSelection();
            FmSeries->LbxChooseSeries->SelectText(NameOf(x));
            FmSeries->OKBtn->click();
        });
        FmDisplayData->MIXDefine->trigger();
        QCOMPARE(FmDisplayData->GetXSeries(), NameOf(x));
        QCOMPARE(FmDisplayData->ChOutput->xAxis->label(), QString("Time (days)"));  // not yet
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(FmDisplayData->ChOutput->xAxis->label().toStdString(),
                 NameOf(x) + " (" + std::string(States[2].Units) + ")");

        // OK with nothing chosen changes nothing.
        WhenShown(FmSeries, [&] {
            FmSeries->LbxChooseSeries->clearSelection();
            FmSeries->OKBtn->click();
        });
        FmDisplayData->MIXDefine->trigger();
        QCOMPARE(FmDisplayData->GetXSeries(), NameOf(x));
        QVERIFY(ask.Messages.empty());
    }

    void DependentSeriesDialogOkTakesEffectCancelDoesNot() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("b.out"), {{1, {{1, 1}, {2, 2}}}});
        ShowChart(dir.File("b.out"));
        FmDisplayData->LbxSeries->SelectText(NameOf(1));
        WhenShown(FmSeries, [&] {
            QCOMPARE(FmSeries->windowTitle(), QString("Dependent Axis - Choose series."));
            QVERIFY(FmSeries->BtnClearSelection->isVisible());
            QCOMPARE(FmSeries->LbxChooseSeries->SelectedTexts(), std::vector<std::string>{NameOf(1)});
            FmSeries->BtnClearSelection->click();
            QVERIFY(FmSeries->LbxChooseSeries->SelectedTexts().empty());
            FmSeries->LbxChooseSeries->SelectText(NameOf(2));
            FmSeries->CancelBtn->click();
        });
        FmDisplayData->MIYDefine->trigger();
        QCOMPARE(FmDisplayData->LbxSeries->SelectedTexts(), std::vector<std::string>{NameOf(1)});

        WhenShown(FmSeries, [&] {
            FmSeries->BtnClearSelection->click();
            FmSeries->LbxChooseSeries->SelectText(NameOf(2));
            FmSeries->OKBtn->click();
        });
        FmDisplayData->MIYDefine->trigger();
        QCOMPARE(FmDisplayData->LbxSeries->SelectedTexts(), std::vector<std::string>{NameOf(2)});
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(FmDisplayData->ChOutput->Series(1)->name().toStdString(), NameOf(2));
    }

    void SeriesDialogColumns() {
        Workbench bench;
        FmDisplayData->IsXAxis = true;
        FmSeries->show();
        FmSeries->resize(650, 400);
        QApplication::processEvents();
        QCOMPARE(FmSeries->LbxChooseSeries->Columns(), 3);
        FmSeries->resize(500, 400);
        QApplication::processEvents();
        QCOMPARE(FmSeries->LbxChooseSeries->Columns(), 2);
        FmSeries->hide();
    }

    void DependentAxisOpensUncheckedAndOkFixesTheRangeUntilTheNextUpdate() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        const int c = DriverColumn(3);
        WriteOutput(dir.File("c.out"), {{1, {{c, 5}}}, {2, {{c, 9}}}});
        ShowChart(dir.File("c.out"));
        FmDisplayData->LbxSeries->SelectText(NameOf(c));
        OutputChart* chart = FmDisplayData->ChOutput;
        WhenShown(DlgScale, [&] {
            QCOMPARE(DlgScale->windowTitle(), QString("Dependent Axis"));
            QVERIFY(!DlgScale->CBAuto->isChecked());
            QVERIFY(!DlgScale->EdIncrem->isVisible());
            QCOMPARE(DlgScale->EdMinValue->text(), QString("0"));
            QCOMPARE(DlgScale->EdMaxValue->text(), QString("9"));
            QCOMPARE(DlgScale->RGAxisTypeItems->checkedId(), 0);
            TypeAndEnter(DlgScale->EdMaxValue, "12");
            QVERIFY(!DlgScale->CBAuto->isChecked());
            TypeAndEnter(DlgScale->EdMinValue, "-3");
            DlgScale->OKBtn->click();
        });
        FmDisplayData->MIYScale->trigger();
        QCOMPARE(chart->yAxis->range().lower, -3.0);
        QCOMPARE(chart->yAxis->range().upper, 12.0);
        FmDisplayData->BtnUpdateChart->click();
        QCOMPARE(chart->yAxis->range().lower, 0.0);
        QCOMPARE(chart->yAxis->range().upper, 9.0);
        QVERIFY(ask.Messages.empty());
    }

    void IndependentAxisOpensAutomaticAndAnEditUnchecksIt() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("d.out"), {{10, {{1, 1}}}, {20, {{1, 2}}}});
        ShowChart(dir.File("d.out"));
        FmDisplayData->LbxSeries->SelectText(NameOf(1));
        OutputChart* chart = FmDisplayData->ChOutput;
        WhenShown(DlgScale, [&] {
            QCOMPARE(DlgScale->windowTitle(), QString("Independent Axis"));
            QVERIFY(DlgScale->CBAuto->isChecked());
            QCOMPARE(DlgScale->EdMinValue->text(), QString("10"));
            QCOMPARE(DlgScale->EdMaxValue->text(), QString("20"));
            Leave(DlgScale->EdMinValue);  // unchanged: stays automatic
            QVERIFY(DlgScale->CBAuto->isChecked());
            TypeAndEnter(DlgScale->EdMinValue, "25");  // greater than the maximum: swapped
            QVERIFY(!DlgScale->CBAuto->isChecked());
            DlgScale->OKBtn->click();
        });
        FmDisplayData->MIXScale->trigger();
        QCOMPARE(chart->xAxis->range().lower, 20.0);
        QCOMPARE(chart->xAxis->range().upper, 25.0);
        QVERIFY(!chart->Automatic(true));

        // A text that is not a number: the general error report, the scale
        // stays, the dialog closes.
        WhenShown(DlgScale, [&] {
            TypeAndEnter(DlgScale->EdMaxValue, "1o");
            DlgScale->OKBtn->click();
        });
        FmDisplayData->MIXScale->trigger();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"'1o' is not a valid floating point value"});
        QVERIFY(!DlgScale->isVisible());
        QCOMPARE(chart->xAxis->range().lower, 10.0);  // the menu entry's update made it automatic
    }

    void LogarithmicTakesEffectAtOnceAndSurvivesCancel() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        WriteOutput(dir.File("e.out"), {{1, {{1, 1}}}, {2, {{1, 100}}}});
        ShowChart(dir.File("e.out"));
        FmDisplayData->LbxSeries->SelectText(NameOf(1));
        WhenShown(DlgScale, [&] {
            DlgScale->RGAxisTypeItems->button(1)->click();
            QVERIFY(FmDisplayData->ChOutput->Logarithmic(false));
            DlgScale->CancelBtn->click();
        });
        FmDisplayData->MIYScale->trigger();
        QVERIFY(FmDisplayData->ChOutput->Logarithmic(false));
        FmDisplayData->BtnUpdateChart->click();
        QVERIFY(FmDisplayData->ChOutput->Logarithmic(false));
        // An assistive tool's toggle of "Li&near" acts as a click does.
        WhenShown(DlgScale, [&] {
            QCOMPARE(DlgScale->RGAxisTypeItems->checkedId(), 1);
            QAccessibleInterface* linear = QAccessible::queryAccessibleInterface(DlgScale->RGAxisTypeItems->button(0));
            QVERIFY(linear && linear->actionInterface());
            linear->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            QVERIFY(!FmDisplayData->ChOutput->Logarithmic(false));
            DlgScale->CancelBtn->click();
        });
        FmDisplayData->MIYScale->trigger();
        QVERIFY(!FmDisplayData->ChOutput->Logarithmic(false));
        QVERIFY(ask.Messages.empty());
    }
};

QTEST_MAIN(SeriesScaleTest)
#include "series_scale_test.moc"
