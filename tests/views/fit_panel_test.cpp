// "Fit..." on the calibration panel: the slots' parameters fitted to
// observations from a file, the bounds dialog's refusals, and Cancel.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "cli/model_batch.h"
#include "fit/fit_report.h"
#include "frontend/main_form.h"
#include "widgets/number_format.h"
#include "widgets/panels.h"
#include "scripted_notifier.h"
#include "views/calibrate_panel.h"
#include "views/display.h"
#include "views/fit_bounds_dlg.h"
#include "views/fit_progress.h"
#include "views/param_list.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

// Acts on the first window of type W that shows, once.
// A dialog a failed check leaves open is closed, so that the test goes on.
struct CloseAfter {
    QDialog* dialog;
    ~CloseAfter() {
        if (dialog->isVisible()) dialog->reject();
    }
};

template <class W>
void WhenShown(std::function<void(W*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<W*>(w); shown && shown->isVisible()) {
                timer->stop();
                timer->deleteLater();
                const CloseAfter close{shown};
                act(shown);
                return;
            }
    });
    timer->start(2);
}

void Pick(TPnCalibrate* panel, int slot, const char* symbol) {
    QTimer::singleShot(0, FmParamList, [symbol] {
        FmParamList->lbParamList->setCurrentRow(FindSymbol(2, symbol) - 1);
        FmParamList->btnSelect->click();
    });
    emit panel->lblPar(slot)->clicked();
}

// Observations of the snowpack every 5 days of the sample run with snow
// albedo 0.72, through modelbatch's table output.
void MakeObservations(const std::string& file) {
    std::vector<std::string> args = {"modelbatch", "-q", "--start", "0", "--stop", "60", "--output-every", "5",
                                     "--format", "csv", "--columns", "Ws", "--set", "alphas=0.72",
                                     SamplePath("forest.par"), SamplePath("weather.drr"), file};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    std::ostringstream out, err;
    QCOMPARE(RunModelBatch(static_cast<int>(argv.size()), argv.data(), out, err), 0);
}

// The main window set to run the sample files from 0 to `stop`.
void SampleRun(const ScratchFolder& dir, const QString& stop) {
    TypeAndEnter(MainForm->MEStartTime, "0");
    TypeAndEnter(MainForm->MEStopTime, stop);
    TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
    TypeAndEnter(MainForm->DriverBox, QString::fromStdString(SamplePath("weather.drr")));
    TypeAndEnter(MainForm->OutputBox, QString::fromStdString(dir.File("run.out")));
    FmDisplayData->DisplayFileName = dir.File("run.out");
}

}  // namespace

class FitPanelTest : public QObject {
    Q_OBJECT
private slots:
    void FitsTheSlotsParametersAndShowsTheFittedRun() {
        ScratchFolder dir;
        MakeObservations(dir.File("snow.csv"));
        Workbench bench;
        ScriptedNotifier ask;
        SampleRun(dir, "60");
        TPnCalibrate* panel = FmDisplayData->pnCalibrate;
        Pick(panel, 1, "alphas");
        Pick(panel, 2, "deltaCa");
        Pick(panel, 3, "alphas");  // the same parameter twice is fitted once
        QCOMPARE(panel->SlotParameters(), (std::vector<int>{FindSymbol(2, "alphas"), FindSymbol(2, "deltaCa")}));

        ask.Files.push_back(dir.File("snow.csv"));
        WhenShown<TDlgFitBounds>([](TDlgFitBounds* bounds) {
            QCOMPARE(bounds->EdLow(1)->text(), QString("0.3"));
            QCOMPARE(bounds->EdHigh(1)->text(), QString("1.2"));
            QCOMPARE(bounds->EdLow(2)->text(), QString("-16"));
            TypeAndEnter(bounds->EdHigh(1), "0.9");  // Enter: "Fit"
        });
        panel->BtnFitCalibrate->click();

        QCOMPARE(ask.Dialogs.size(), std::size_t(1));
        QCOMPARE(ask.Dialogs[0].Title, std::string("Open Observations"));
        const int alphas = FindSymbol(2, "alphas");
        QVERIFY(std::fabs(Params[alphas].Value - 0.72) < 0.72e-3);
        QCOMPARE(panel->mePar(1)->text(), ShortestText(Params[alphas].Value));
        QCOMPARE(panel->mePar(3)->text(), panel->mePar(1)->text());
        QVERIFY(ParamsModified);  // fitted values are edits, as typed ones are: Exit asks to save them
        QCOMPARE(ask.Messages.size(), std::size_t(1));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Information);
        const std::string summary = ask.Messages[0].Text;
        QVERIFY2(summary.starts_with("The fit ended after "), summary.c_str());
        QVERIFY2(summary.find("\nalphas = 0.72 (standard error ") != std::string::npos, summary.c_str());
        QVERIFY2(summary.ends_with("\ndeltaCa = " + fit::ReportNumber(Params[FindSymbol(2, "deltaCa")].Value) +
                                   " (unidentifiable: the observations do not depend on it)"),
                 summary.c_str());
        // The display holds the run at the fitted values.
        QCOMPARE(FmDisplayData->RowCount(), std::int64_t(3 + 60));
    }

    void RefusesWhatItCannotFitAndCancelsAsked() {
        ScratchFolder dir;
        Workbench bench;
        ScriptedNotifier ask;
        SampleRun(dir, "60");
        TPnCalibrate* panel = FmDisplayData->pnCalibrate;
        panel->BtnFitCalibrate->click();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Choose the parameters to fit in the slots above first"});

        Pick(panel, 1, "alphas");
        WriteBytes(dir.File("bad.csv"), "time,Ws\n5,snow\n");
        ask.Files.push_back(dir.File("bad.csv"));
        panel->BtnFitCalibrate->click();
        QCOMPARE(ask.Texts().back(), "observations file '" + dir.File("bad.csv") +
                                         "', line 2, column 2 (Ws): 'snow' is not a number (a missing value is an "
                                         "empty cell or NA)");
        QCOMPARE(ask.Messages.back().Kind, MsgKind::Error);

        // The bounds dialog names a wrong bound and stays open; Cancel fits nothing.
        WriteBytes(dir.File("snow.csv"), "time,Ws\n5,1\n");
        ask.Files.push_back(dir.File("snow.csv"));
        const double before = Params[FindSymbol(2, "alphas")].Value;
        WhenShown<TDlgFitBounds>([&ask](TDlgFitBounds* bounds) {
            bounds->EdLow(1)->setText("abc");
            bounds->BtnFitBounds->click();
            QCOMPARE(ask.Texts().back(), std::string("'abc' is not a valid floating point value"));
            QVERIFY(bounds->isVisible());
            bounds->EdLow(1)->setText("2");
            bounds->BtnFitBounds->click();
            QCOMPARE(ask.Texts().back(), std::string("alphas: the lower bound 2 must be below the upper bound 1.2"));
            bounds->EdLow(1)->setText("0.7");
            bounds->BtnFitBounds->click();
            QCOMPARE(ask.Texts().back(), std::string("alphas: the starting value 0.6 of alphas lies outside 0.7..1.2"));
            QCOMPARE(bounds->focusWidget(), static_cast<QWidget*>(bounds->EdLow(1)));
            bounds->BtnCancelBounds->click();
        });
        const std::size_t asked = ask.Messages.size();
        panel->BtnFitCalibrate->click();
        QCOMPARE(ask.Messages.size(), asked + 3);
        QCOMPARE(Params[FindSymbol(2, "alphas")].Value, before);
    }

    void CancelKeepsTheBestValuesFound() {
        ScratchFolder dir;
        MakeObservations(dir.File("snow.csv"));
        Workbench bench;
        ScriptedNotifier ask;
        SampleRun(dir, "3650");  // long runs: Cancel comes during the first
        TPnCalibrate* panel = FmDisplayData->pnCalibrate;
        Pick(panel, 1, "alphas");
        ask.Files.push_back(dir.File("snow.csv"));
        WhenShown<TDlgFitBounds>([](TDlgFitBounds* bounds) { bounds->BtnFitBounds->click(); });
        WhenShown<TFmFitProgress>([](TFmFitProgress* progress) {
            QCOMPARE(progress->windowTitle(), QString("Fitting"));
            progress->BtnCancelFit->click();
        });
        panel->BtnFitCalibrate->click();
        QCOMPARE(ask.Messages.size(), std::size_t(1));
        QCOMPARE(ask.Texts()[0], std::string("The fit was cancelled after 1 runs; the best values found are kept.\n"
                                             "Objective: n/a at the start, n/a at the end.\nalphas = 0.6"));
        QCOMPARE(Params[FindSymbol(2, "alphas")].Value, 0.6);
    }
};

QTEST_MAIN(FitPanelTest)
#include "fit_panel_test.moc"
