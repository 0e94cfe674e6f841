#include "views/calibrate_panel.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/notify.h"
#include "core/stypes.h"
#include "widgets/error_report.h"
#include "widgets/field_events.h"
#include "widgets/number_format.h"
#include "widgets/panels.h"
#include "widgets/file_dialogs.h"
#include "views/view_windows.h"
#include "run/run_options.h"
#include "fit/fit_report.h"
#include "views/display.h"
#include "views/fit_bounds_dlg.h"
#include "views/fit_progress.h"
#include "views/param_list.h"

namespace {

std::string CaptionOf(const ClickLabel* label) { return label->text().toStdString(); }

}  // namespace

TPnCalibrate::TPnCalibrate(QWidget* parent) : QFrame(parent) {
    setObjectName("pnCalibrate");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setVerticalSpacing(3);
    for (int n = 1; n <= Slots; ++n) {
        auto* label = new ClickLabel(QString("Parameter %1").arg(n), this);
        label->setObjectName(QString("lblPar%1").arg(n));
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip("Click to choose a parameter");
        auto* box = new QLineEdit(this);
        box->setObjectName(QString("mePar%1").arg(n));
        box->setEnabled(false);
        box->setFixedWidth(90);
        lblPar_[n - 1] = label;
        mePar_[n - 1] = box;
        grid->addWidget(label, n - 1, 0);
        grid->addWidget(box, n - 1, 1);
        connect(label, &ClickLabel::clicked, this, [this, n] { Guarded([this, n] { lblParClick(n); }); });
        OnLeave(box, [this, n] { meParExit(n); });
    }
    BtnRunCalibrate = new QPushButton("Run", this);
    BtnRunCalibrate->setObjectName("BtnRunCalibrate");
    BtnRunCalibrate->setAutoDefault(false);
    cbParams = new QCheckBox("Parameters", this);
    cbParams->setObjectName("cbParams");
    cbParams->setChecked(true);
    cbState = new QCheckBox("States", this);
    cbState->setObjectName("cbState");
    cbState->setChecked(true);
    BtnFitCalibrate = new QPushButton("Fit...", this);
    BtnFitCalibrate->setObjectName("BtnFitCalibrate");
    BtnFitCalibrate->setAutoDefault(false);
    BtnFitCalibrate->setToolTip("Fit the parameters of the slots to observations");
    grid->addWidget(BtnRunCalibrate, Slots, 0);
    grid->addWidget(BtnFitCalibrate, Slots, 1);
    grid->addWidget(cbParams, Slots + 1, 0);
    grid->addWidget(cbState, Slots + 1, 1);
    connect(BtnRunCalibrate, &QPushButton::clicked, this, [this] { Guarded([this] { BtnRunCalibrateClick(); }); });
    connect(BtnFitCalibrate, &QPushButton::clicked, this, [this] { Guarded([this] { BtnFitCalibrateClick(); }); });
    adjustSize();
}

TPnCalibrate::~TPnCalibrate() {
    // A value box losing the focus runs its handler, which needs the whole panel.
    for (QLineEdit* box : mePar_)
        if (window()->focusWidget() == box) box->clearFocus();
}

bool TPnCalibrate::SlotInUse(int n) const { return !lblPar(n)->text().contains("Parameter"); }

void TPnCalibrate::lblParClick(int n) {
    FmParamList->Slot = n;
    FmParamList->SelectPosition(FindSymbol(2, CaptionOf(lblPar(n))) - 1);
    FmParamList->exec();
}

void TPnCalibrate::SetSlot(int n, const QString& symbol, double value) {
    lblPar(n)->setText(symbol);
    mePar(n)->setText(ShortestText(value));
    mePar(n)->setCursorPosition(0);  // a long value shows its first digits
    mePar(n)->setEnabled(true);
}

void TPnCalibrate::meParExit(int n) {
    QLineEdit* box = mePar(n);
    const int i = FindSymbol(2, CaptionOf(lblPar(n)));
    if (box->isModified()) {
        try {
            const double value = TextToFloat(box->text().toStdString());
            // A typed value is an edit of the parameters like any other: the
            // program asks to save it before it ends.
            if (i > 0 && Params[i].Value != value) {
                Params[i].Value = value;
                ParamsModified = true;
            }
        } catch (const EConvertError&) {
            Notify(MsgKind::Warning, MsgButtons::Ok, "Please choose a number");
            // Back into the box once the focus has settled where the user sent it.
            QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
        }
    }
    refreshMeParCalibrate();
}

void TPnCalibrate::refreshMeParCalibrate() {
    for (int n = 1; n <= Slots; ++n) {
        if (!SlotInUse(n)) continue;
        const int i = FindSymbol(2, CaptionOf(lblPar(n)));
        if (i > 0) {
            mePar(n)->setText(ShortestText(Params[i].Value));
            mePar(n)->setCursorPosition(0);
        }
    }
}

void TPnCalibrate::BtnRunCalibrateClick() {
    ReloadParamFile();
    RunModel();
    // A showing display has read the new output and redrawn its chart at the
    // run's end.
    if (!FmDisplayData->isVisible()) FmDisplayData->LoadOutputFile();
}

std::vector<int> TPnCalibrate::SlotParameters() const {
    std::vector<int> params;
    for (int n = 1; n <= Slots; ++n) {
        if (!SlotInUse(n)) continue;
        const int i = FindSymbol(2, CaptionOf(lblPar(n)));
        if (i > 0 && std::find(params.begin(), params.end(), i) == params.end()) params.push_back(i);
    }
    return params;
}

std::optional<fit::Observations> TPnCalibrate::ObservationsForFit() {
    if (const fit::Observations* shown = FmDisplayData ? FmDisplayData->LoadedObservations() : nullptr) return *shown;
    const std::optional<std::string> file = ChooseFile(DlgOpenObservations(""));
    if (!file) return std::nullopt;
    try {
        return fit::ReadObservations(*file);
    } catch (const fit::EObservationError& e) {
        Notify(MsgKind::Error, MsgButtons::Ok, e.what());
        return std::nullopt;
    }
}

void TPnCalibrate::BtnFitCalibrateClick() {
    if (SlotParameters().empty()) {
        Notify(MsgKind::Information, MsgButtons::Ok, "Choose the parameters to fit in the slots above first");
        return;
    }
    std::optional<fit::Observations> observations = ObservationsForFit();
    if (!observations) return;
    // Every run of the fit starts where "Run" would start.
    ReloadParamFile();
    refreshMeParCalibrate();
    std::vector<fit::FitParameter> params;
    for (const int i : SlotParameters()) {
        fit::FitParameter p;
        p.Index = i;
        p.Symbol = Params[i].Symbol;
        p.Start = Params[i].Value;
        // A start of 0 has no bounds of its own: the user gives them.
        try {
            fit::DefaultBounds(p);
        } catch (const fit::EFitError&) {
            p.Low = -1;
            p.High = 1;
        }
        params.push_back(p);
    }
    TDlgFitBounds bounds(window());
    if (!bounds.Ask(params)) return;

    TFmFitProgress progress(window());
    fit::FitHooks hooks;
    hooks.PumpEvents = [] { QApplication::processEvents(); };
    hooks.CancelRequested = [&progress] { return progress.Cancelled(); };
    std::string what;
    for (const fit::FitParameter& p : params) what += (what.empty() ? "" : ", ") + p.Symbol;
    progress.Start(QString::fromStdString("Fitting " + what + " to " + observations->FileName));
    fit::FitResult result;
    std::string summary;
    try {
        fit::ModelEvaluator evaluator(*observations, params, hooks);
        result = fit::Fit(evaluator, {}, [&progress](const fit::FitProgress& p) { progress.SetProgress(p); });
        summary = fit::FitSummary(evaluator, result);
    } catch (const fit::EFitError& e) {
        progress.Finish();
        Notify(MsgKind::Error, MsgButtons::Ok, e.what());
        return;
    }
    progress.Finish();
    // The fitted values go in as typed values do.
    for (std::size_t j = 0; j < params.size(); ++j) {
        if (Params[params[j].Index].Value != result.Fitted[j]) ParamsModified = true;
        Params[params[j].Index].Value = result.Fitted[j];
    }
    refreshMeParCalibrate();
    Notify(MsgKind::Information, MsgButtons::Ok, summary);
    // The chart shows the run at the fitted values.
    if (!OutputFileName.empty()) {
        RunModel();
        if (!FmDisplayData->isVisible()) FmDisplayData->LoadOutputFile();
        FmDisplayData->BtnUpdateChartClick();
    }
}
