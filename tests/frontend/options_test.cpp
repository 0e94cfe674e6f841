// The run and output options dialog: what it shows, how each field checks and
// corrects its entry, and how OK, Cancel and Defaults end it.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include "frontend/main_form.h"
#include "frontend/options.h"
#include "scripted_notifier.h"
#include "views/data.h"
#include "window_test_support.h"

using namespace windows_test;

namespace {

const std::string TooSmall =
    "Invalid output time step. Output time step is less than simulation time step. Output time step increased to "
    "time step. ";

// The dialog as the main window's "&Special Run ..." opens it, without waiting.
TFmOptions* ShowRunPage() {
    MainForm->OptionsPage = MainForm->MISpecialRun;
    FmOptions->show();
    return FmOptions;
}

TFmOptions* ShowOutputPage() {
    MainForm->OptionsPage = MainForm->MIOutputOptions;
    FmOptions->show();
    return FmOptions;
}

std::vector<std::string> Warnings(const ScriptedNotifier& ask) {
    std::vector<std::string> texts;
    for (const auto& m : ask.Messages) {
        if (m.Kind != MsgKind::Warning || m.Buttons != MsgButtons::Ok) return {"not a warning with OK: " + m.Text};
        texts.push_back(m.Text);
    }
    return texts;
}

using Texts = std::vector<std::string>;

// An assistive tool toggles `control` through its accessible toggle action.
void ToggleByAssistiveTool(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY(accessible && accessible->actionInterface());
    QVERIFY(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void StartsAsNormalRunWritingEveryStep() {
        Workbench bench;
        TFmOptions* f = FmOptions;
        QCOMPARE(f->windowTitle(), QString("Run and Output Options"));
        QCOMPARE(f->PageControl->tabText(0), QString("Run Options"));
        QCOMPARE(f->PageControl->tabText(1), QString("Output Options"));
        QCOMPARE(f->LblTimeUnit1->text(), QString("days"));
        QCOMPARE(f->LblTimeUnit2->text(), QString("days"));
        QCOMPARE(f->LblTimeUnit3->text(), QString("days, beginning on days"));
        QVERIFY(RunOptions == StartRunOptions());
        QVERIFY(f->DefaultOptions == RunOptions);
        QVERIFY(f->RbNormalRun->isChecked());
        QVERIFY(f->RbOutputIntervals->isChecked());
        for (QWidget* w : std::initializer_list<QWidget*>{f->CbRepeatDrivers, f->CbResetStates, f->CbRuntoSS,
                                                          f->EdRepeatDriveTime, f->EdResetStateTime, f->EdSSCriteria,
                                                          f->EdSSTime, f->LblSSCriteria, f->LblSSTime,
                                                          f->BtnOpenStates, f->CbAppendOutput})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(f->EdOutputTimeStep->text(), QString("1"));
        QCOMPARE(f->EdOutputOffset->text(), QString("0"));
    }

    void ShowingSelectsThePageOfTheMenuEntry() {
        Workbench bench;
        ShowRunPage();
        QCOMPARE(FmOptions->PageControl->currentWidget(), FmOptions->TsRunOptions);
        FmOptions->BtnCancel->click();
        ShowOutputPage();
        QCOMPARE(FmOptions->PageControl->currentWidget(), FmOptions->TsOutputOptions);
        FmOptions->BtnCancel->click();

        // Through the menu, modally; the dialog's state grid button opens the
        // state grid above it.
        bool gridShown = false;
        QTimer::singleShot(0, FmOptions, [&] {
            QTimer::singleShot(0, DataForm, [&] {
                gridShown = DataForm->isVisible() && DataForm->windowTitle() == "State Variables";
                DataForm->BtnCancel->click();
            });
            FmOptions->RbSpecialRun->click();
            FmOptions->BtnOpenStates->click();
            FmOptions->BtnOK->click();
        });
        MainForm->MISpecialRun->trigger();
        QVERIFY(gridShown);
        QCOMPARE(FmOptions->result(), int(QDialog::Accepted));
        QVERIFY(!RunOptions.NormalRun);
        QVERIFY(MainForm->MISpecialRun->isChecked());  // OK updated the main window
    }

    void OutputIntervalIsCorrectedWithOneMessage() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowOutputPage();
        TypeAndEnter(FmOptions->EdOutputTimeStep, "0");
        QCOMPARE(Warnings(ask), Texts{TooSmall});
        QCOMPARE(RunOptions.OutputTimeStep, 1.0);
        QCOMPARE(FmOptions->EdOutputTimeStep->text(), QString("1"));
        QCOMPARE(FmOptions->focusWidget(), FmOptions->EdOutputOffset);

        ask.Messages.clear();
        StartTime = 1;
        StopTime = 100;
        TypeAndEnter(FmOptions->EdOutputTimeStep, "500");
        QCOMPARE(Warnings(ask), Texts{"Invalid output time step. Output time step is greater than run length. "
                                      "Output time step decreased to run length. "});
        QCOMPARE(RunOptions.OutputTimeStep, 99.0);
        QCOMPARE(FmOptions->EdOutputTimeStep->text(), QString("99"));

        ask.Messages.clear();
        TimeStep = 2;
        TypeAndEnter(FmOptions->EdOutputTimeStep, "7");
        QCOMPARE(Warnings(ask), Texts{"Invalid output time step. Output time step must be a multiple of simulation "
                                      "time step. Output time step changed to current time_step. "});
        QCOMPARE(RunOptions.OutputTimeStep, 2.0);

        ask.Messages.clear();
        TypeAndEnter(FmOptions->EdOutputTimeStep, "10");
        TypeAndEnter(FmOptions->EdOutputTimeStep, "");  // an empty field changes nothing
        QVERIFY(ask.Messages.empty());
        QCOMPARE(RunOptions.OutputTimeStep, 10.0);
    }

    void HalfDayStepIsShownAndRefusedAsWholeNumber() {
        Workbench bench;
        ScriptedNotifier ask;
        TimeStep = 0.5;
        ShowOutputPage();
        TypeAndEnter(FmOptions->EdOutputTimeStep, "0");
        QCOMPARE(FmOptions->EdOutputTimeStep->text(), QString("0.5"));
        ask.Messages.clear();
        // Leaving the field with its text unchanged checks it again.
        Leave(FmOptions->EdOutputTimeStep);
        QCOMPARE(Warnings(ask), Texts{"Invalid output time step. '0.5' is not a valid integer value"});
        QCOMPARE(RunOptions.OutputTimeStep, 0.5);
        QCOMPARE(FmOptions->EdOutputTimeStep->text(), QString("0.5"));

        ask.Messages.clear();
        TypeAndEnter(FmOptions->EdOutputTimeStep, "every day");
        QCOMPARE(Warnings(ask), Texts{"Invalid output time step. 'every day' is not a valid integer value"});
        QCOMPARE(RunOptions.OutputTimeStep, 0.5);
    }

    void OffsetBeyondStopBecomesTheTimeStep() {
        Workbench bench;
        ScriptedNotifier ask;
        StopTime = 1000;
        ShowOutputPage();
        TypeAndEnter(FmOptions->EdOutputOffset, "2000");
        QCOMPARE(Warnings(ask), Texts{"Invalid output offset. Output offset is greater than simulation length. Reset "
                                      "output offset to simulation time step. "});
        QCOMPARE(RunOptions.OutputOffset, 1.0);
        QCOMPARE(FmOptions->EdOutputOffset->text(), QString("1"));

        ask.Messages.clear();
        TypeAndEnter(FmOptions->EdOutputOffset, "1000");  // the stop time itself is allowed
        QCOMPARE(RunOptions.OutputOffset, 1000.0);
        TypeAndEnter(FmOptions->EdOutputOffset, "ten");
        QCOMPARE(Warnings(ask), Texts{"Invalid output offset. 'ten' is not a valid integer value"
                                      "Reset output offset to simulation time step. "});
        QCOMPARE(RunOptions.OutputOffset, 1.0);
    }

    void AssistiveToolsActAsClicksDo() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowRunPage();
        ToggleByAssistiveTool(FmOptions->RbSpecialRun);
        QVERIFY(FmOptions->RbSpecialRun->isChecked());
        QVERIFY(!RunOptions.NormalRun);
        QVERIFY(FmOptions->CbRepeatDrivers->isEnabled() && FmOptions->EdSSTime->isEnabled());
        ToggleByAssistiveTool(FmOptions->CbRuntoSS);
        QVERIFY(RunOptions.RunToSS);
        ToggleByAssistiveTool(FmOptions->CbRuntoSS);
        QVERIFY(!RunOptions.RunToSS);
        FmOptions->BtnOK->click();
        QVERIFY(MainForm->MISpecialRun->isChecked() && !MainForm->MINormalRun->isChecked());

        ShowOutputPage();
        ToggleByAssistiveTool(FmOptions->RbOutEndofRunOnly);
        QVERIFY(RunOptions.OutputEndOfRunOnly);
        QVERIFY(!FmOptions->EdOutputTimeStep->isEnabled());
        FmOptions->BtnCancel->click();
        QVERIFY(ask.Messages.empty());
    }

    void EndOfRunOnlyDisablesTheIntervalFields() {
        Workbench bench;
        ShowOutputPage();
        FmOptions->RbOutEndofRunOnly->click();
        QVERIFY(RunOptions.OutputEndOfRunOnly);
        QVERIFY(!FmOptions->EdOutputTimeStep->isEnabled());
        QVERIFY(!FmOptions->EdOutputOffset->isEnabled());
        FmOptions->RbOutputIntervals->click();
        QVERIFY(!RunOptions.OutputEndOfRunOnly);
        QVERIFY(FmOptions->EdOutputTimeStep->isEnabled());
        QCOMPARE(FmOptions->focusWidget(), FmOptions->EdOutputTimeStep);
    }

    void SpecialRunPeriodsSwitchTheirOptionsOn() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowRunPage();
        FmOptions->RbSpecialRun->click();
        QVERIFY(!RunOptions.NormalRun);
        QVERIFY(FmOptions->CbRepeatDrivers->isEnabled());
        QVERIFY(FmOptions->BtnOpenStates->isEnabled());
        QCOMPARE(FmOptions->EdRepeatDriveTime->text(), QString("0"));

        TypeAndEnter(FmOptions->EdRepeatDriveTime, "365");
        QVERIFY(FmOptions->CbRepeatDrivers->isChecked());
        QVERIFY(RunOptions.RepeatDrivers);
        QCOMPARE(RunOptions.RepeatDriveTime, 365);

        TypeAndEnter(FmOptions->EdResetStateTime, "0");  // exactly "0" leaves the option as it is
        QVERIFY(!RunOptions.ResetStates);
        TypeAndEnter(FmOptions->EdResetStateTime, "730");
        QVERIFY(RunOptions.ResetStates);
        QCOMPARE(RunOptions.ResetStateTime, 730);

        TypeAndEnter(FmOptions->EdSSCriteria, "5");
        QCOMPARE(RunOptions.SSCriteria, 0.05);
        QVERIFY(RunOptions.RunToSS);
        QVERIFY(FmOptions->CbRuntoSS->isChecked());
        QCOMPARE(FmOptions->EdSSCriteria->text(), QString("5"));
        QCOMPARE(FmOptions->focusWidget(), FmOptions->EdSSTime);
        TypeAndEnter(FmOptions->EdSSTime, "30");
        QCOMPARE(RunOptions.SSTime, 30);
        QVERIFY(ask.Messages.empty());

        // A switched-off option shows its default period; switching it on
        // again shows the period kept, and sends the cursor to it.
        FmOptions->CbRepeatDrivers->click();
        QVERIFY(!RunOptions.RepeatDrivers);
        QCOMPARE(FmOptions->EdRepeatDriveTime->text(), QString("0"));
        FmOptions->CbRepeatDrivers->click();
        QCOMPARE(FmOptions->EdRepeatDriveTime->text(), QString("365"));
        QCOMPARE(FmOptions->focusWidget(), FmOptions->EdRepeatDriveTime);
        FmOptions->CbRuntoSS->click();
        QVERIFY(!RunOptions.RunToSS);
        QCOMPARE(FmOptions->EdSSCriteria->text(), QString("0"));

        // A normal run switches every option off and shows the values kept,
        // the criterion as the fraction.
        FmOptions->CbRuntoSS->click();
        FmOptions->RbNormalRun->click();
        QVERIFY(RunOptions.NormalRun);
        QVERIFY(!RunOptions.RepeatDrivers && !RunOptions.ResetStates && !RunOptions.RunToSS);
        QVERIFY(!FmOptions->CbRepeatDrivers->isChecked());
        QVERIFY(!FmOptions->EdSSCriteria->isEnabled());
        QCOMPARE(FmOptions->EdSSCriteria->text(), QString("0.05"));
        QCOMPARE(FmOptions->EdRepeatDriveTime->text(), QString("365"));
        QCOMPARE(FmOptions->EdSSTime->text(), QString("30"));
    }

    void BadPeriodsFallBackToNormalRun() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowRunPage();
        const struct {
            QLineEdit* field;
            QString text;
            std::string message;
        } cases[] = {
            {FmOptions->EdRepeatDriveTime, "365.5", "Invalid driver repeat time. Run set to Normal run."},
            {FmOptions->EdResetStateTime, "a year", "Invalid state variable reset time. Run set to Normal run."},
            {FmOptions->EdSSCriteria, "5%", "Invalid steady state criteria. Run set to Normal run."},
            {FmOptions->EdSSTime, "99999999999", "Invalid steady state time. Run set to Normal run."},
            {FmOptions->EdSSTime, "", "Invalid steady state time. Run set to Normal run."},
        };
        for (const auto& c : cases) {
            ask.Messages.clear();
            FmOptions->RbSpecialRun->click();
            TypeAndEnter(FmOptions->EdRepeatDriveTime, "10");
            TypeAndEnter(c.field, c.text);
            QCOMPARE(Warnings(ask), Texts{c.message});
            QVERIFY(RunOptions.NormalRun);
            QVERIFY(!RunOptions.RepeatDrivers);
            QVERIFY(FmOptions->RbNormalRun->isChecked());
            QVERIFY(!c.field->isEnabled());
        }
    }

    void CancelAndEscapeRestoreTheSettingsOfTheShowing() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowRunPage();
        FmOptions->RbSpecialRun->click();
        TypeAndEnter(FmOptions->EdRepeatDriveTime, "365");
        FmOptions->BtnOK->click();
        const TRunOptions shown = RunOptions;

        for (const bool escape : {false, true}) {
            ShowOutputPage();
            QVERIFY(FmOptions->SavedOptions == shown);
            TypeAndEnter(FmOptions->EdOutputOffset, "2");
            FmOptions->RbOutEndofRunOnly->click();
            FmOptions->PageControl->setCurrentWidget(FmOptions->TsRunOptions);
            TypeAndEnter(FmOptions->EdSSCriteria, "1");
            FmOptions->RbNormalRun->click();
            QVERIFY(!(RunOptions == shown));
            if (escape) QTest::keyClick(FmOptions, Qt::Key_Escape);
            else FmOptions->BtnCancel->click();
            QVERIFY(!FmOptions->isVisible());
            QCOMPARE(FmOptions->result(), int(QDialog::Rejected));
            QVERIFY(RunOptions == shown);
        }
    }

    void DefaultsRestoreTheStartSettingsWithoutUpdatingTheControls() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowRunPage();
        FmOptions->RbSpecialRun->click();
        TypeAndEnter(FmOptions->EdRepeatDriveTime, "365");
        FmOptions->BtnDefaults->click();
        QVERIFY(RunOptions == FmOptions->DefaultOptions);
        QVERIFY(FmOptions->isVisible());
        QVERIFY(FmOptions->RbSpecialRun->isChecked());
        QCOMPARE(FmOptions->EdRepeatDriveTime->text(), QString("365"));
        FmOptions->BtnOK->click();
        QVERIFY(RunOptions.NormalRun);
        QVERIFY(MainForm->MINormalRun->isChecked());
    }

    void MainWindowNormalRunSwitchesTheSpecialOptionsOff() {
        Workbench bench;
        ScriptedNotifier ask;
        ShowRunPage();
        FmOptions->RbSpecialRun->click();
        TypeAndEnter(FmOptions->EdResetStateTime, "100");
        FmOptions->BtnOK->click();
        QVERIFY(RunOptions.ResetStates);
        MainForm->MINormalRun->trigger();
        QVERIFY(RunOptions.NormalRun);
        QVERIFY(!RunOptions.ResetStates);
        QVERIFY(FmOptions->RbNormalRun->isChecked());
        QVERIFY(!FmOptions->CbResetStates->isChecked());
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
