#include "frontend/window_run.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <exception>

#include "frontend/main_form.h"
#include "frontend/number_format.h"
#include "frontend/progress_bar.h"
#include "frontend/trouble.h"
#include "frontend/workbench.h"
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
        std::exception_ptr failure;
        try {
            TimeStep = TextToFloat(form_.METimeStep->text().toStdString());
        } catch (...) {
            failure = std::current_exception();
        }
        if (!quiet_) {
            FmDisplayData->DisplayFileName = OutputFileName;
            form_.UpdateMainForm();
            SetWindowsEnabled(true);
            form_.PresentBox->setText(GeneralText(CurrentTime, 5));
            FmProgress->Finish();
        }
        if (FmDisplayData->AutoChart && !FmDisplayData->isVisible()) form_.DisplayOutput(false);
        if (failure) std::rethrow_exception(failure);
    }

    void ShowError(std::string_view message) override {
        FmTrouble->ShowError(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    }

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

}  // namespace

void RunFromWindow(TMainForm& form) {
    const bool quiet = form.BatchMode || form.SensitivityMode;
    WindowRun observer(form, quiet);
    RunStatistics stats;
    RunModel(observer, quiet ? RunMode::Quiet : RunMode::Interactive, stats);
}
