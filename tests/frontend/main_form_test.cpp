// The main window: file choices, times, Run gating, runs with progress,
// cancel and failures, saving and closing, and the quiet modes.
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <cstdio>
#include <sstream>

#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "widgets/panels.h"
#include "frontend/progress_bar.h"
#include "frontend/trouble.h"
#include "scripted_notifier.h"
#include "tests/run/lock_holder.h"
#include "views/display.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

std::vector<std::string> Lines(const std::string& file) {
    const std::string text = ReadBytes(file);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool AllValuesZero() {
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        if (States[i].Value != 0) return false;
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        if (Params[i].Value != 0) return false;
    return true;
}

void ReadSample() { ReadParamFile(SamplePath("forest.par"), ModelDef.NumParams, Params, ModelDef.NumStates, States); }

// The sample forest and weather named in the window, with an output file in
// `dir` and the given times.
void NameSampleFiles(const TempFolder& dir, const QString& start, const QString& stop) {
    TypeAndEnter(MainForm->MEStartTime, start);
    TypeAndEnter(MainForm->MEStopTime, stop);
    TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
    TypeAndEnter(MainForm->DriverBox, QString::fromStdString(SamplePath("weather.drr")));
    TypeAndEnter(MainForm->OutputBox, QString::fromStdString(dir.File("run.out")));
}

// Presses "&Cancel" in the progress window when the run first pumps events.
void CancelAtFirstStep() {
    QTimer::singleShot(0, [] { FmProgress->BtnCancel->click(); });
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    void RunIsEnabledOnceThreeNewFilesAreNamed() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        QVERIFY(!MainForm->BtnRun->isEnabled());
        QVERIFY(!MainForm->MISaveParam->isEnabled());

        // A parameter file that does not exist is made from the values in
        // memory, which are then all 0.
        ReadSample();
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(dir.File("new.par")));
        QCOMPARE(ParamFileName, dir.File("new.par"));
        QVERIFY(NewParamFile);
        const auto parLines = Lines(dir.File("new.par"));
        QCOMPARE(parLines.size(), std::size_t(1 + 55 + 114));
        QVERIFY(parLines[1].find("2.") != std::string::npos || parLines[1].find("E+") != std::string::npos);
        QVERIFY(AllValuesZero());
        QVERIFY(!MainForm->BtnRun->isEnabled());
        QVERIFY(MainForm->MISaveParam->isEnabled());

        // A new driver file: two title lines and one record of zeros at time 0.
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(dir.File("new.drr")));
        QVERIFY(NewDriverFile);
        const auto driverLines = Lines(dir.File("new.drr"));
        QCOMPARE(driverLines.size(), std::size_t(3));
        QVERIFY(driverLines[0].starts_with("Time "));
        std::istringstream record(driverLines[2]);
        double v, sum = 0;
        int count = 0;
        while (record >> v) sum += std::fabs(v), ++count;
        QCOMPARE(count, 19);
        QCOMPARE(sum, 0.0);
        QVERIFY(!MainForm->BtnRun->isEnabled());

        TypeAndEnter(MainForm->OutputBox, QString::fromStdString(dir.File("run.out")));
        QVERIFY(MainForm->BtnRun->isEnabled());
        QVERIFY(RunReady);
        QVERIFY(ask.Messages.empty());

        // Run stays enabled whatever happens to the names afterwards.
        TypeAndEnter(MainForm->OutputBox, "");
        QVERIFY(MainForm->BtnRun->isEnabled());
    }

    void TimesGateRunAndBadTimeStepKeepsItsValue() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "5", "5");
        QCOMPARE(StartTime, 5.0);
        QCOMPARE(StopTime, 5.0);
        QVERIFY(!MainForm->BtnRun->isEnabled());
        TypeAndEnter(MainForm->MEStopTime, "6");
        QVERIFY(MainForm->BtnRun->isEnabled());

        // The digit fields take digits only, at most 5 and 7 of them.
        TypeAndEnter(MainForm->MEStartTime, "12a345678");
        QCOMPARE(MainForm->MEStartTime->text(), QString("12345"));
        TypeAndEnter(MainForm->MEStopTime, "123456789");
        QCOMPARE(MainForm->MEStopTime->text(), QString("1234567"));

        TypeAndEnter(MainForm->METimeStep, "0.5");
        QCOMPARE(TimeStep, 0.5);
        TypeAndEnter(MainForm->METimeStep, "0,5");
        QCOMPARE(ask.Texts(), std::vector<std::string>{"'0,5' is not a valid floating point value"});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
        QCOMPARE(TimeStep, 0.5);
        // Leaving a field that was not changed changes nothing.
        TimeStep = 3;
        TypeAndEnter(MainForm->METimeStep, "1");
        Leave(MainForm->METimeStep);
        QCOMPARE(TimeStep, 1.0);
    }

    void ParameterFileChoices() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        // Retyping the same name does not read the file again.
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
        QVERIFY(!AllValuesZero());
        const double first = States[1].Value;
        States[1].Value = first + 1;
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
        QCOMPARE(States[1].Value, first + 1);

        // A file of another model: the reader's message, all values 0, no name.
        WriteBytes(dir.File("other.par"), "Another model 1.0\r\nC: foliar                 1.0  g\r\n");
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(dir.File("other.par")));
        QCOMPARE(ask.Texts(), std::vector<std::string>{
                                  "The parameter file selected is not compatible with this model. No parameters read."});
        QVERIFY(AllValuesZero());
        QCOMPARE(ParamFileName, std::string());
        QCOMPARE(MainForm->ParamBox->text(), QString());

        // A file in a folder that does not exist: the system's message, and
        // the name stays as it was.
        ask.Messages.clear();
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(dir.File("missing/x.par")));
        QCOMPARE(ask.Texts().size(), std::size_t(1));
        QCOMPARE(ParamFileName, SamplePath("forest.par"));
        QCOMPARE(MainForm->ParamBox->text(), QString::fromStdString(SamplePath("forest.par")));

        // The label and the menu entry choose through the dialog; cancelling
        // it changes nothing.
        MainForm->ParamLabel->clicked();
        QCOMPARE(ask.Dialogs.size(), std::size_t(1));
        QCOMPARE(ask.Dialogs[0].Title, std::string("Choose Parameter File"));
        QCOMPARE(ask.Dialogs[0].StartName, SamplePath("forest.par"));
        QCOMPARE(ParamFileName, SamplePath("forest.par"));
    }

    void OutputFileToViewEnablesChartAndTable() {
        Workbench bench;
        ScriptedNotifier ask;
        QVERIFY(!MainForm->MIChart->isEnabled());
        ask.Files.push_back("/data/old.out");
        MainForm->MIViewOutFile->trigger();
        QCOMPARE(ask.Dialogs.at(0).Name, std::string("DlgOpenOutput"));
        QVERIFY(MainForm->MIChart->isEnabled());
        QVERIFY(MainForm->MITable->isEnabled());
        QCOMPARE(FmDisplayData->DisplayFileName, std::string("/data/old.out"));
        QVERIFY(FmDisplayData->ReloadOutput);
        MainForm->MIAutoChart->trigger();
        QVERIFY(FmDisplayData->AutoChart);
        MainForm->MIAutoChart->trigger();
        QVERIFY(!FmDisplayData->AutoChart);
        // Calculate stays disabled whatever happens.
        QVERIFY(!MainForm->MICalculate->isEnabled());
    }

    void RunWritesTheOutputAndShowsThePresentTime() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "10");
        bool progressShown = false, mainDisabled = false;
        QTimer::singleShot(0, [&] {
            progressShown = FmProgress->isVisible();
            mainDisabled = !MainForm->centralWidget()->isEnabled() && !MainForm->menuBar()->isEnabled();
        });
        MainForm->BtnRun->click();
        QVERIFY(progressShown);
        QVERIFY(mainDisabled);
        QCOMPARE(FmProgress->windowTitle(), QString("Ostrel run progress"));
        QCOMPARE(FmProgress->LblBegin->text(), QString("0"));
        QCOMPARE(FmProgress->LblEnd->text(), QString("10"));
        QCOMPARE(FmProgress->runProgressBar->value(), 100);
        QVERIFY(!FmProgress->isVisible());
        QVERIFY(MainForm->centralWidget()->isEnabled());
        QCOMPARE(Lines(dir.File("run.out")).size(), std::size_t(2 + 10));
        QCOMPARE(MainForm->PresentBox->text(), QString("10"));
        QVERIFY(OutputAvailable);
        QVERIFY(MainForm->MIChart->isEnabled());
        QCOMPARE(FmDisplayData->DisplayFileName, dir.File("run.out"));
        QVERIFY(ask.Messages.empty());

        // The next run goes on from the states the last one ended with.
        const std::string firstRecord = Lines(dir.File("run.out"))[2];
        const statearray reached = States;
        MainForm->BtnRun->click();
        QVERIFY(Lines(dir.File("run.out"))[2] != firstRecord);
        QVERIFY(!(States == reached));
    }

    void CancelAnsweredNoGoesOnAndYesStopsWithoutChart() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "20");
        ModalCloser closer;
        ask.Answers = {MsgResult::No};
        CancelAtFirstStep();
        MainForm->BtnRun->click();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Are you sure you want to abort this run?"});
        QCOMPARE(ask.Messages[0].Buttons, MsgButtons::YesNo);
        QCOMPARE(Lines(dir.File("run.out")).size(), std::size_t(2 + 20));
        QCOMPARE(MainForm->PresentBox->text(), QString("20"));

        // With AutoChart on, a cancelled run ends after its step and opens no chart.
        MainForm->MIAutoChart->trigger();
        ReadSample();
        ask.Answers = {MsgResult::Yes};
        CancelAtFirstStep();
        MainForm->BtnRun->click();
        QCOMPARE(Lines(dir.File("run.out")).size(), std::size_t(2 + 1));
        QCOMPARE(MainForm->PresentBox->text(), QString("1"));
        QVERIFY(!CancelRequested);
        QVERIFY(!FmDisplayData->AutoChart);
        QVERIFY(closer.Opened.empty());

        // Without a cancel, AutoChart opens the chart when the run ends.
        MainForm->BtnRun->click();
        QCOMPARE(closer.Opened, std::vector<QString>{"FmDisplayData"});
        QVERIFY(!FmDisplayData->ShowTable);
    }

    void FailuresEndTheRunInTheErrorWindow() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "10");
        QString shown;
        ModalCloser closer([&shown](QWidget* w) {
            if (w == FmTrouble) shown = FmTrouble->MmError->toPlainText();
        });
        // A driver file gone since it was chosen.
        WriteBytes(dir.File("gone.drr"), ReadBytes(SamplePath("weather.drr")));
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(dir.File("gone.drr")));
        std::filesystem::remove(dir.File("gone.drr"));
        MainForm->BtnRun->click();
        QCOMPARE(closer.Opened, std::vector<QString>{"FmTrouble"});
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Cannot read driver file. File does not exist."});
        QCOMPARE(shown, QString::fromStdString("Driver file '" + dir.File("gone.drr") + "': File not found"));
        QVERIFY(!FmProgress->isVisible());
        QVERIFY(MainForm->centralWidget()->isEnabled());
        QVERIFY(OutputAvailable);

        // A driver value that is no number: the file, its line and the value.
        std::string weather = ReadBytes(SamplePath("weather.drr"));
        const std::size_t third = weather.find("\r\n", weather.find("\r\n", weather.find("\r\n") + 2) + 2) + 2;
        const std::size_t field = weather.find(' ', weather.find_first_not_of(' ', third));
        weather.replace(weather.find_first_not_of(' ', field), 3, "abc");
        WriteBytes(dir.File("bad.drr"), weather);
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(dir.File("bad.drr")));
        MainForm->BtnRun->click();
        QCOMPARE(shown, QString::fromStdString("Driver file '" + dir.File("bad.drr") +
                                               "' line 4, value 2 of 19: Invalid numeric input"));
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(SamplePath("weather.drr")));
        closer.Opened.clear();

        // An output folder that does not exist, and a time step of 0.
        TypeAndEnter(MainForm->OutputBox, QString::fromStdString(dir.File("no/run.out")));
        MainForm->BtnRun->click();
        QCOMPARE(shown, QString::fromStdString("Output file '" + dir.File("no/run.out") + "': Invalid filename"));
        TypeAndEnter(MainForm->OutputBox, QString::fromStdString(dir.File("run.out")));
        TypeAndEnter(MainForm->METimeStep, "0");
        MainForm->BtnRun->click();
        QCOMPARE(shown, QString("Time step 0: the time step must be greater than 0"));
        QCOMPARE(closer.Opened.size(), std::size_t(2));

        // A time-step field without a number when the run ends: the run
        // completes, then reports the field.
        TypeAndEnter(MainForm->DriverBox, QString::fromStdString(SamplePath("weather.drr")));
        TypeAndEnter(MainForm->METimeStep, "1");
        ask.Messages.clear();
        TypeAndEnter(MainForm->METimeStep, "x");
        QCOMPARE(ask.Texts(), std::vector<std::string>{"'x' is not a valid floating point value"});
        closer.Opened.clear();
        MainForm->BtnRun->click();
        QCOMPARE(closer.Opened, std::vector<QString>{"FmTrouble"});
        QCOMPARE(shown, QString("'x' is not a valid floating point value"));
        QCOMPARE(MainForm->PresentBox->text(), QString("10"));
        QVERIFY(MainForm->centralWidget()->isEnabled());
    }

    // Two presses of Run from the same starting values write the same file,
    // although the first run ended on the first day of a model year.
    void TwoRunsFromTheSameStartWriteTheSameFile() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "366");
        ReadSample();
        MainForm->BtnRun->click();
        const std::string first = ReadBytes(dir.File("run.out"));
        ReadSample();
        MainForm->BtnRun->click();
        QCOMPARE(ReadBytes(dir.File("run.out")).size(), std::size_t(368 * (26 * 208 + 2)));
        QVERIFY(ReadBytes(dir.File("run.out")) == first);
        QVERIFY(ask.Messages.empty());
    }

    // The window's run and modelbatch keep out of each other's output file.
    void AnOutputFileAnotherRunWritesIsLeftAlone() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "30");
        QString shown;
        ModalCloser closer([&shown](QWidget* w) {
            if (w == FmTrouble) shown = FmTrouble->MmError->toPlainText();
        });
        const std::string file = dir.File("run.out");
        const QString busy = QString::fromStdString("output file '" + file + "' is being written by another run");
        WriteBytes(file, "another run's records\r\n");
        {
            LockHolder other(file);
            QVERIFY(other.Held());
            MainForm->BtnRun->click();
            QCOMPARE(closer.Opened, std::vector<QString>{"FmTrouble"});
            QCOMPARE(shown, busy);
            QCOMPARE(ReadBytes(file), std::string("another run's records\r\n"));
            QVERIFY(MainForm->centralWidget()->isEnabled());
        }

        // modelbatch started while the window's run writes the file.
        int status = -1;
        std::string said;
        QTimer::singleShot(0, [&] {
            const std::string command = std::string(OSTREL_MODELBATCH) + " -q --stop 3 '" + SamplePath("forest.par") +
                                        "' '" + SamplePath("weather.drr") + "' '" + file + "' 2>&1";
            FILE* pipe = ::popen(command.c_str(), "r");
            for (int c; (c = std::fgetc(pipe)) != EOF;) said.push_back(static_cast<char>(c));
            status = ::pclose(pipe);
        });
        closer.Opened.clear();
        MainForm->BtnRun->click();
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 1);
        QCOMPARE(QString::fromStdString(said), "modelbatch: " + busy + "\n");
        QVERIFY(closer.Opened.empty());
        QCOMPARE(Lines(file).size(), std::size_t(2 + 30));
    }

    void ErrorWindowShowsTheMessageAndAnswersThePicture() {
        Workbench bench;
        ScriptedNotifier ask;
        ModalCloser closer;
        FmTrouble->ShowError("Step size too small in routine ODEIntegrator");
        QCOMPARE(FmTrouble->MmError->toPlainText(), QString("Step size too small in routine ODEIntegrator"));
        QCOMPARE(FmTrouble->LblTrouble->text(), QString("Having trouble \nparameterizing?\nClick the icon on the left."));
        QVERIFY(!FmTrouble->MmFunding->isVisibleTo(FmTrouble));
        QVERIFY(!FmTrouble->Version->isVisibleTo(FmTrouble));
        QTest::mouseClick(FmTrouble->ProgramIcon, Qt::LeftButton);
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Got milk?"});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Confirmation);
    }

    void SaveAsExitAndTheCloseButton() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        TypeAndEnter(MainForm->ParamBox, QString::fromStdString(SamplePath("forest.par")));
        MainForm->show();

        // Save As cancelled changes nothing; confirmed, the file is written
        // and becomes the parameter file.
        MainForm->MISaveAsParam->trigger();
        QCOMPARE(ask.Dialogs.back().Title, std::string("Save Parameter File"));
        QCOMPARE(ParamFileName, SamplePath("forest.par"));
        ask.Files.push_back(dir.File("copy.par"));
        MainForm->MISaveAsParam->trigger();
        QCOMPARE(ParamFileName, dir.File("copy.par"));
        QCOMPARE(ReadBytes(dir.File("copy.par")), ReadBytes(SamplePath("forest.par")));

        // Unmodified values: Exit closes without a question.
        ParamsModified = true;
        // Modified values: Cancel stays, Yes with the dialog cancelled stays.
        ask.Answers = {MsgResult::Cancel, MsgResult::Yes};
        MainForm->MIExit->trigger();
        QVERIFY(MainForm->isVisible());
        MainForm->MIExit->trigger();
        QVERIFY(MainForm->isVisible());
        // The title-bar button asks the same question; Yes saves, then closes.
        ask.Answers = {MsgResult::Yes};
        ask.Files.push_back(dir.File("saved.par"));
        States[1].Value = 42;
        MainForm->close();
        QVERIFY(!MainForm->isVisible());
        QCOMPARE(ParamFileName, dir.File("saved.par"));
        QCOMPARE(ask.Texts(), std::vector<std::string>(3, "Save parameter file before exiting?"));
        QCOMPARE(ask.Messages[0].Buttons, MsgButtons::YesNoCancel);
        ReadParamFile(dir.File("saved.par"), ModelDef.NumParams, Params, ModelDef.NumStates, States);
        QCOMPARE(States[1].Value, 42.0);
    }

    void ExitWithoutSavingAndUnmodifiedExit() {
        Workbench bench;
        ScriptedNotifier ask;
        MainForm->show();
        ParamsModified = true;
        ask.Answers = {MsgResult::No};
        MainForm->MIExit->trigger();
        QVERIFY(!MainForm->isVisible());
        QVERIFY(ask.Dialogs.empty());

        MainForm->show();
        ParamsModified = false;
        ask.Messages.clear();
        MainForm->close();
        QVERIFY(!MainForm->isVisible());
        QVERIFY(ask.Messages.empty());
    }

    void ClosingDuringARunEndsTheRunAfterItsStep() {
        Workbench bench;
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "50");
        MainForm->show();
        QTimer::singleShot(0, [] { MainForm->close(); });
        MainForm->BtnRun->click();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Are you sure you want to abort this run?"});
        QVERIFY(!MainForm->isVisible());
        QCOMPARE(Lines(dir.File("run.out")).size(), std::size_t(2 + 1));
    }

    void ReloadNeedsAParameterFile() {
        Workbench bench;
        ScriptedNotifier ask;
        MainForm->BtnReload->click();
        QCOMPARE(ask.Texts(), std::vector<std::string>{"Invalid parameter file. No values reloaded."});
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Warning);
    }

    void NormalRunMenuSwitchesSpecialOptionsOff() {
        Workbench bench;
        ScriptedNotifier ask;
        RunOptions.NormalRun = false;
        RunOptions.RepeatDrivers = true;
        RunOptions.RepeatDriveTime = 365;
        MainForm->UpdateMainForm();
        QVERIFY(MainForm->MISpecialRun->isChecked());
        OutputAvailable = true;
        MainForm->MINormalRun->trigger();
        QVERIFY(RunOptions.NormalRun);
        QVERIFY(!RunOptions.RepeatDrivers);
        QVERIFY(MainForm->MINormalRun->isChecked());
        QVERIFY(!OutputAvailable);
        QVERIFY(!RunReady);
    }

    void QuietModesComeFromTheProgramName() {
        {
            Workbench bench("/usr/local/bin/ModelBatch");
            QVERIFY(MainForm->BatchMode);
            QVERIFY(!MainForm->SensitivityMode);
        }
        {
            Workbench bench("C:\\tools\\sensitivity.exe");
            QVERIFY(MainForm->SensitivityMode);
        }
        Workbench bench("/usr/bin/modelbatch");
        ScriptedNotifier ask;
        ScratchFolder dir;
        NameSampleFiles(dir, "0", "5");
        // No progress window, and a failure goes to the caller: the general
        // error report, not the error window.
        bool progressShown = false;
        QTimer::singleShot(0, [&] { progressShown = FmProgress->isVisible(); });
        TypeAndEnter(MainForm->METimeStep, "0");
        ModalCloser closer;
        MainForm->BtnRun->click();
        QVERIFY(!progressShown);
        QVERIFY(closer.Opened.empty());
        QCOMPARE(ask.Messages.size(), std::size_t(1));
        QCOMPARE(ask.Messages[0].Kind, MsgKind::Error);
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
