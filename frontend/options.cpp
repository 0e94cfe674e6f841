#include "frontend/options.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/notify.h"
#include "widgets/error_report.h"
#include "widgets/field_events.h"
#include "frontend/main_form.h"
#include "widgets/number_format.h"
#include "frontend/workbench.h"
#include "views/data.h"

namespace {

template <class Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(name);
    return control;
}

QLineEdit* Field(const char* name, QWidget* parent) {
    auto* field = Named(new QLineEdit(parent), name);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    return field;
}

QString TimeUnit() {
    return QString::fromUtf8(ModelDef.TimeUnit.data(), static_cast<qsizetype>(ModelDef.TimeUnit.size()));
}

// A special-run period field shows the period in force while its option is
// on, and the default period while it is off.
QString PeriodText(bool on, std::int32_t period, std::int32_t defaultPeriod) {
    return QString::number(on ? period : defaultPeriod);
}

}  // namespace

TFmOptions::TFmOptions(QWidget* owner) : QDialog(owner) {
    setObjectName("FmOptions");
    setWindowTitle("Run and Output Options");
    PageControl = Named(new QTabWidget(this), "PageControl");
    PageControl->addTab(BuildRunPage(), "Run Options");
    PageControl->addTab(BuildOutputPage(), "Output Options");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(BuildButtons());
    ConnectHandlers();

    LblTimeUnit1->setText(TimeUnit());
    LblTimeUnit2->setText(TimeUnit());
    LblTimeUnit3->setText(TimeUnit() + ", beginning on " + TimeUnit());
    RunOptions = StartRunOptions();
    DefaultOptions = RunOptions;
    SavedOptions = RunOptions;
    UpdateFmRunOptions();
}

QWidget* TFmOptions::BuildRunPage() {
    TsRunOptions = Named(new QWidget, "TsRunOptions");
    QWidget* page = TsRunOptions;
    RbNormalRun = Named(new QRadioButton("&Normal Run", page), "RbNormalRun");
    RbSpecialRun = Named(new QRadioButton("&Special Run (Select options below)", page), "RbSpecialRun");
    CbRepeatDrivers = Named(new QCheckBox("Repeat &drivers every ", page), "CbRepeatDrivers");
    EdRepeatDriveTime = Field("EdRepeatDriveTime", page);
    LblTimeUnit2 = Named(new QLabel(page), "LblTimeUnit2");
    CbResetStates = Named(new QCheckBox("&Reset selected state variables every ", page), "CbResetStates");
    EdResetStateTime = Field("EdResetStateTime", page);
    LblTimeUnit1 = Named(new QLabel(page), "LblTimeUnit1");
    BtnOpenStates = Named(new QPushButton("&Choose state variables to reset...", page), "BtnOpenStates");
    BtnOpenStates->setAutoDefault(false);
    CbRuntoSS = Named(new QCheckBox("Run to S&teady State.", page), "CbRuntoSS");
    LblSSCriteria = Named(new QLabel("&Percent error at steady state", page), "LblSSCriteria");
    EdSSCriteria = Field("EdSSCriteria", page);
    LblSSCriteria->setBuddy(EdSSCriteria);
    LblSSTime = Named(new QLabel("T&ime to check steady state", page), "LblSSTime");
    EdSSTime = Field("EdSSTime", page);
    LblSSTime->setBuddy(EdSSTime);

    // The special-run options stand indented under their radio button; the
    // fields line up in one column.
    auto* options = new QGridLayout;
    options->setContentsMargins(24, 4, 0, 0);
    options->setHorizontalSpacing(8);
    options->setVerticalSpacing(8);
    options->addWidget(CbRepeatDrivers, 0, 0, 1, 2);
    options->addWidget(EdRepeatDriveTime, 0, 2);
    options->addWidget(LblTimeUnit2, 0, 3);
    options->addWidget(CbResetStates, 1, 0, 1, 2);
    options->addWidget(EdResetStateTime, 1, 2);
    options->addWidget(LblTimeUnit1, 1, 3);
    options->addWidget(BtnOpenStates, 2, 1, 1, 1, Qt::AlignLeft);
    options->addItem(new QSpacerItem(0, 8), 3, 0);
    options->addWidget(CbRuntoSS, 4, 0, 1, 2);
    options->addWidget(LblSSCriteria, 5, 1);
    options->addWidget(EdSSCriteria, 5, 2);
    options->addWidget(LblSSTime, 6, 1);
    options->addWidget(EdSSTime, 6, 2);
    options->setColumnMinimumWidth(0, 20);
    options->setColumnStretch(4, 1);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->addWidget(RbNormalRun);
    layout->addWidget(RbSpecialRun);
    layout->addLayout(options);
    layout->addStretch(1);
    return page;
}

QWidget* TFmOptions::BuildOutputPage() {
    TsOutputOptions = Named(new QWidget, "TsOutputOptions");
    QWidget* page = TsOutputOptions;
    RbOutputIntervals = Named(new QRadioButton("O&utput every ", page), "RbOutputIntervals");
    EdOutputTimeStep = Field("EdOutputTimeStep", page);
    LblTimeUnit3 = Named(new QLabel(page), "LblTimeUnit3");
    EdOutputOffset = Field("EdOutputOffset", page);
    RbOutEndofRunOnly = Named(new QRadioButton("Output &end of run only", page), "RbOutEndofRunOnly");
    CbAppendOutput = Named(new QCheckBox("&Append subsequent runs to output file", page), "CbAppendOutput");
    CbAppendOutput->setEnabled(false);

    auto* interval = new QHBoxLayout;
    interval->setSpacing(8);
    interval->addWidget(RbOutputIntervals);
    interval->addWidget(EdOutputTimeStep);
    interval->addWidget(LblTimeUnit3);
    interval->addWidget(EdOutputOffset);
    interval->addStretch(1);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(12);
    layout->addLayout(interval);
    layout->addWidget(RbOutEndofRunOnly);
    layout->addSpacing(8);
    layout->addWidget(CbAppendOutput);
    layout->addStretch(1);
    return page;
}

QWidget* TFmOptions::BuildButtons() {
    auto* strip = new QWidget(this);
    BtnOK = Named(new QPushButton("&OK", strip), "BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = Named(new QPushButton("&Cancel", strip), "BtnCancel");
    BtnCancel->setAutoDefault(false);
    BtnDefaults = Named(new QPushButton("De&faults", strip), "BtnDefaults");
    BtnDefaults->setAutoDefault(false);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BtnDefaults);
    layout->addStretch(1);
    layout->addWidget(BtnOK);
    layout->addWidget(BtnCancel);
    return strip;
}

void TFmOptions::ConnectHandlers() {
    // UpdateFmRunOptions checks and unchecks controls itself; the guard keeps
    // those changes, and a field that loses the focus because the update
    // disables it, from being taken as the user's.
    auto click = [this](QAbstractButton* button, void (TFmOptions::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, [this, handler] {
            if (!loading_) Guarded([this, handler] { (this->*handler)(); });
        });
    };
    // Check boxes and radio buttons answer their change of state, whether a
    // mouse, a key or an assistive tool's toggle made it; a radio button
    // answers once, when it becomes the checked one of its pair.
    auto toggle = [this](QAbstractButton* button, void (TFmOptions::*handler)()) {
        const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
        connect(button, &QAbstractButton::toggled, this, [this, handler, radio](bool checked) {
            if (!loading_ && (checked || !radio)) Guarded([this, handler] { (this->*handler)(); });
        });
    };
    toggle(RbNormalRun, &TFmOptions::RbNormalRunClick);
    toggle(RbSpecialRun, &TFmOptions::RbNormalRunClick);
    toggle(CbRepeatDrivers, &TFmOptions::CbRepeatDriversClick);
    toggle(CbResetStates, &TFmOptions::CbResetStatesClick);
    toggle(CbRuntoSS, &TFmOptions::CbRuntoSSClick);
    toggle(RbOutputIntervals, &TFmOptions::RbOutputIntervalsClick);
    toggle(RbOutEndofRunOnly, &TFmOptions::RbOutputIntervalsClick);
    click(BtnOpenStates, &TFmOptions::BtnOpenStatesClick);
    click(BtnOK, &TFmOptions::BtnOKClick);
    click(BtnCancel, &TFmOptions::BtnCancelClick);
    click(BtnDefaults, &TFmOptions::BtnDefaultsClick);
    CbRuntoSS->installEventFilter(this);  // any key pressed on it

    auto leave = [this](QLineEdit* field, void (TFmOptions::*handler)()) {
        OnLeave(field, [this, handler] {
            if (!loading_) (this->*handler)();
        });
    };
    leave(EdRepeatDriveTime, &TFmOptions::EdRepeatDriveTimeExit);
    leave(EdResetStateTime, &TFmOptions::EdResetStateTimeExit);
    leave(EdSSCriteria, &TFmOptions::EdSSCriteriaExit);
    leave(EdSSTime, &TFmOptions::EdSSTimeExit);
    leave(EdOutputTimeStep, &TFmOptions::EdOutputTimeStepExit);
    leave(EdOutputOffset, &TFmOptions::EdOutputOffsetExit);
}

bool TFmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CbRuntoSS && event->type() == QEvent::KeyPress && !loading_)
        Guarded([this] { CbRuntoSSClick(); });
    return QDialog::eventFilter(watched, event);
}

void TFmOptions::UpdateFmRunOptions() {
    loading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{loading_};

    KeepNormalRunInvariant(RunOptions);
    const TRunOptions& o = RunOptions;
    const bool special = !o.NormalRun;
    (special ? RbSpecialRun : RbNormalRun)->setChecked(true);
    for (QWidget* control : std::initializer_list<QWidget*>{
             CbRepeatDrivers, CbResetStates, CbRuntoSS, EdRepeatDriveTime, EdResetStateTime, EdSSCriteria, EdSSTime,
             LblSSCriteria, LblSSTime, BtnOpenStates})
        control->setEnabled(special);
    CbRepeatDrivers->setChecked(o.RepeatDrivers);
    CbResetStates->setChecked(o.ResetStates);
    CbRuntoSS->setChecked(o.RunToSS);
    if (special) {
        const TRunOptions& d = DefaultOptions;
        EdRepeatDriveTime->setText(PeriodText(o.RepeatDrivers, o.RepeatDriveTime, d.RepeatDriveTime));
        EdResetStateTime->setText(PeriodText(o.ResetStates, o.ResetStateTime, d.ResetStateTime));
        EdSSCriteria->setText(ShortestText((o.RunToSS ? o.SSCriteria : d.SSCriteria) * 100.0));
        EdSSTime->setText(PeriodText(o.RunToSS, o.SSTime, d.SSTime));
    } else {
        // The disabled fields show what is kept, the criterion as a fraction.
        EdRepeatDriveTime->setText(QString::number(o.RepeatDriveTime));
        EdResetStateTime->setText(QString::number(o.ResetStateTime));
        EdSSCriteria->setText(ShortestText(o.SSCriteria));
        EdSSTime->setText(QString::number(o.SSTime));
    }

    (o.OutputEndOfRunOnly ? RbOutEndofRunOnly : RbOutputIntervals)->setChecked(true);
    if (!o.OutputEndOfRunOnly) {
        EdOutputTimeStep->setText(ShortestText(o.OutputTimeStep));
        EdOutputOffset->setText(ShortestText(o.OutputOffset));
    }
    EdOutputTimeStep->setEnabled(!o.OutputEndOfRunOnly);
    EdOutputOffset->setEnabled(!o.OutputEndOfRunOnly);
    if (o.AppendOutput) CbAppendOutput->setChecked(true);
}

void TFmOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window restored from the task bar is no new showing: its Cancel
    // still returns to the settings of the showing.
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TFmOptions::FormShow() {
    const bool runPage = MainForm && MainForm->OptionsPage == MainForm->MISpecialRun;
    PageControl->setCurrentWidget(runPage ? TsRunOptions : TsOutputOptions);
    UpdateFmRunOptions();
    SavedOptions = RunOptions;
}

void TFmOptions::RbNormalRunClick() {
    RunOptions.NormalRun = RbNormalRun->isChecked();
    UpdateFmRunOptions();
}

void TFmOptions::CbRepeatDriversClick() {
    RunOptions.RepeatDrivers = CbRepeatDrivers->isChecked();
    UpdateFmRunOptions();
    if (RunOptions.RepeatDrivers) EdRepeatDriveTime->setFocus(Qt::OtherFocusReason);
}

void TFmOptions::CbResetStatesClick() {
    RunOptions.ResetStates = CbResetStates->isChecked();
    UpdateFmRunOptions();
    if (RunOptions.ResetStates) EdResetStateTime->setFocus(Qt::OtherFocusReason);
}

void TFmOptions::CbRuntoSSClick() {
    RunOptions.RunToSS = CbRuntoSS->isChecked();
    UpdateFmRunOptions();
}

void TFmOptions::EnterField(QLineEdit* field, std::string (*enter)(TRunOptions&, std::string_view)) {
    const std::string warning = enter(RunOptions, field->text().toStdString());
    if (!warning.empty()) Notify(MsgKind::Warning, MsgButtons::Ok, warning);
    UpdateFmRunOptions();
}

void TFmOptions::EdRepeatDriveTimeExit() { EnterField(EdRepeatDriveTime, EnterRepeatDriveTime); }

void TFmOptions::EdResetStateTimeExit() { EnterField(EdResetStateTime, EnterResetStateTime); }

void TFmOptions::EdSSCriteriaExit() {
    EnterField(EdSSCriteria, EnterSSCriteria);
    if (RunOptions.RunToSS) EdSSTime->setFocus(Qt::OtherFocusReason);
}

void TFmOptions::EdSSTimeExit() { EnterField(EdSSTime, EnterSSTime); }

void TFmOptions::RbOutputIntervalsClick() {
    RunOptions.OutputEndOfRunOnly = RbOutEndofRunOnly->isChecked();
    UpdateFmRunOptions();
    if (!RunOptions.OutputEndOfRunOnly) EdOutputTimeStep->setFocus(Qt::OtherFocusReason);
}

void TFmOptions::EdOutputTimeStepExit() {
    EnterField(EdOutputTimeStep, EnterOutputTimeStep);
    if (!RunOptions.OutputEndOfRunOnly) EdOutputOffset->setFocus(Qt::OtherFocusReason);
}

void TFmOptions::EdOutputOffsetExit() { EnterField(EdOutputOffset, EnterOutputOffset); }

void TFmOptions::BtnOpenStatesClick() { DataForm->ShowStates(); }

void TFmOptions::BtnOKClick() {
    accept();  // the dialog's result stands before the main window updates itself
    if (MainForm) MainForm->UpdateMainForm();
}

void TFmOptions::BtnCancelClick() { reject(); }

void TFmOptions::reject() {
    RunOptions = SavedOptions;
    QDialog::reject();
}

void TFmOptions::BtnDefaultsClick() { RunOptions = DefaultOptions; }
