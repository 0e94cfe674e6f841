#include "frontend/window_run.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <exception>
#include <string>
#include <vector>

#include "checks/run_inputs.h"
#include "core/notify.h"
#include "widgets/error_report.h"
#include "frontend/main_form.h"
#include "widgets/number_format.h"
#include "frontend/progress_bar.h"
#include "frontend/trouble.h"
#include "frontend/workbench.h"
#include "run/run_checks.h"
#include "run/run_loop.h"
#include "run/run_options.h"
#include "views/display.h"

namespace {

class WindowRun final : public RunObserver {
public:
    WindowRun(TMainForm& form, bool quiet) : form_(form), quiet_(quiet) {}

    void RunStarting() override {
        if (!quiet_) {
            FmProgress->Start();
            SetWindowsEnabled(false);
            FmDisplayData->ReloadOutput = true;
        }
        if (form_.MIAutoChart->isChecked()) FmDisplayData->AutoChart = true;
    }

    void Progress(int percent, double) override {
        if (!quiet_) FmProgress->SetPosition(percent);
    }

    void PumpEvents() override { QApplication::processEvents(); }

    void RunFinished() override {
        // The time step goes back to the field's number; when the field holds
        // no number the run still completes, then reports that.
        try {
            TimeStep = TextToFloat(form_.METimeStep->text().toStdString());
        } catch (...) {
            FieldFailure = std::current_exception();
        }
        if (!quiet_) {
            FmDisplayData->DisplayFileName = OutputFileName;
            form_.UpdateMainForm();
            SetWindowsEnabled(true);
            form_.PresentBox->setText(GeneralText(CurrentTime, 5));
            FmProgress->Finish();
            // A display that is showing (the calibration panel's Run) shows
            // the new output at once; a failure to read it is reported, the
            // run itself stands.
            Guarded([] { FmDisplayData->RunEnded(); });
        }
        if (FmDisplayData->AutoChart && !FmDisplayData->isVisible()) form_.DisplayOutput(false);
    }

    // The time-step field's failure, reported once the run has completed
    // when the run itself had none.
    std::exception_ptr FieldFailure;

private:
    void SetWindowsEnabled(bool enabled) {
        // The main window's own controls and menus; its dialogs are windows
        // of their own (the progress window among them) and stay usable.
        form_.centralWidget()->setEnabled(enabled);
        form_.menuBar()->setEnabled(enabled);
        FmDisplayData->setEnabled(enabled);
    }

    TMainForm& form_;
    bool quiet_;
};

// The checks of the inputs before a run: a refusal is shown and ends it;
// warnings are listed in one question, and the run goes on only when the user
// says so. What the checks found about values is kept for a failure's report.
bool ConfirmInputs(std::vector<std::string>& findings) {
    InputCheck check = CheckRunInputs(ParamFileName, !ParamsModified, DriverFileName);
    if (!check.Refusal.empty()) {
        Notify(MsgKind::Error, MsgButtons::Ok, check.Refusal);
        return false;
    }
    findings = std::move(check.Findings);
    return check.Warnings.empty() ||
           Notify(MsgKind::Warning, MsgButtons::YesNo, InputWarningsQuestion(check.Warnings)) == MsgResult::Yes;
}

}  // namespace

QString RunFailureText(const RunStatistics& stats, const std::string& driverFile, const std::string& outputFile,
                       const std::exception& failure) {
    std::string text = stats.Error;
    // A failure of a file names the file; the model's own failures stand as
    // they are.
    if (stats.FailedIn == RunStage::OpenDrivers || stats.FailedIn == RunStage::ReadDrivers ||
        stats.FailedIn == RunStage::OpenOutput || stats.FailedIn == RunStage::WriteOutput ||
        stats.FailedIn == RunStage::Finish) {
        std::string place = FailureSubject(RunFailurePlace(stats, driverFile, outputFile), failure);
        place[0] = static_cast<char>(place[0] - 'a' + 'A');
        text = place + ": " + text;
    }
    return QString::fromStdString(text);
}

void RunFromWindow(TMainForm& form) {
    const bool quiet = form.BatchMode || form.SensitivityMode;
    std::vector<std::string> findings;
    if (!quiet && !ConfirmInputs(findings)) return;
    WindowRun observer(form, quiet);
    RunStatistics stats;
    try {
        // The run completes (files closed, the window restored) before its
        // failure arrives here.
        RunModel(observer, RunMode::Quiet, stats);
        if (observer.FieldFailure) std::rethrow_exception(observer.FieldFailure);
    } catch (const std::exception& failure) {
        if (quiet) throw;
        FmTrouble->ShowError(stats.Failed ? RunFailureText(stats, DriverFileName, OutputFileName, failure) +
                                                QString::fromStdString(LikelyCause(findings, stats.FailedIn))
                                          : QString::fromUtf8(failure.what()));
    }
}
