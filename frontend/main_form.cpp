#include "frontend/main_form.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStatusBar>

#include "core/notify.h"
#include "fileio/file_access.h"
#include "fileio/fileio.h"
#include "frontend/about_box.h"
#include "frontend/import_weather.h"
#include "widgets/error_report.h"
#include "widgets/field_events.h"
#include "widgets/file_dialogs.h"
#include "widgets/number_format.h"
#include "frontend/options.h"
#include "widgets/panels.h"
#include "frontend/reload_dlg.h"
#include "frontend/window_run.h"
#include "frontend/workbench.h"
#include "run/run_options.h"
#include "run/session.h"
#include "views/data.h"
#include "views/display.h"
#include "views/note.h"
#include "views/params.h"

namespace {

// Every state and parameter value 0: what a parameter file that could not be
// used leaves behind.
void ZeroAllValues() {
    for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Value = 0.0;
    for (int i = 1; i <= ModelDef.NumParams; ++i) Params[i].Value = 0.0;
}

std::string TextOf(const QLineEdit* field) { return field->text().toStdString(); }

QLineEdit* TimeField(const char* name, const QString& text, int length, bool digitsOnly, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setMaxLength(length);
    if (digitsOnly)
        field->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("\\d{0,%1}").arg(length)), field));
    return field;
}

ClickLabel* FileLabel(const char* name, const QString& text, QLineEdit* buddy, QWidget* parent) {
    auto* label = new ClickLabel(text, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

}  // namespace

TMainForm::TMainForm(const std::string& programPath) {
    setObjectName("MainForm");
    BuildControls();
    BuildMenus();
    // FormCreate: the session starts from the numbers of the three time
    // fields; the catalogue is in place for every window made after this one.
    StartSession(TextToFloat(TextOf(MEStartTime)), TextToFloat(TextOf(MEStopTime)),
                 TextToFloat(TextOf(METimeStep)));
    setWindowTitle(QString::fromUtf8(ModelDef.Name.data(), static_cast<qsizetype>(ModelDef.Name.size())));
    const ProgramMode mode = ModeFromProgramPath(programPath);
    BatchMode = mode == ProgramMode::Batch;
    SensitivityMode = mode == ProgramMode::Sensitivity;

    // A fixed border, opened centred on the screen.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    adjustSize();
    setFixedSize(size());
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMainForm::BuildControls() {
    CreateControls();
    StyleLabels();
    LayOutControls();
    ConnectControls();
}

void TMainForm::CreateControls() {
    Background = new GradientPanel(QColor(128, 255, 255), QColor(64, 64, 255), this);
    Background->setObjectName("Background");
    setCentralWidget(Background);

    ParamBox = new QLineEdit(Background);
    ParamBox->setObjectName("ParamBox");
    DriverBox = new QLineEdit(Background);
    DriverBox->setObjectName("DriverBox");
    OutputBox = new QLineEdit(Background);
    OutputBox->setObjectName("OutputBox");
    for (QLineEdit* box : {ParamBox, DriverBox, OutputBox}) box->setMinimumWidth(360);
    ParamLabel = FileLabel("ParamLabel", "&Parameter File", ParamBox, Background);
    DriverLabel = FileLabel("DriverLabel", "&Driver File", DriverBox, Background);
    OutputLabel = FileLabel("OutputLabel", "O&utput File", OutputBox, Background);

    MEStartTime = TimeField("MEStartTime", "1", 5, true, Background);
    MEStopTime = TimeField("MEStopTime", "2", 7, true, Background);
    METimeStep = TimeField("METimeStep", "1", 5, false, Background);
    StartLabel = new QLabel("&Start Time", Background);
    StartLabel->setObjectName("StartLabel");
    StartLabel->setBuddy(MEStartTime);
    StopLabel = new QLabel("S&top Time", Background);
    StopLabel->setObjectName("StopLabel");
    StopLabel->setBuddy(MEStopTime);
    StepLabel = new QLabel("Ti&me Step", Background);
    StepLabel->setObjectName("StepLabel");
    StepLabel->setBuddy(METimeStep);

    BtnRun = new QPushButton("&Run", Background);
    BtnRun->setObjectName("BtnRun");
    BtnRun->setEnabled(false);
    PresentLabel = new QLabel("Present Time", Background);
    PresentLabel->setObjectName("PresentLabel");
    PresentBox = new QLineEdit("0", Background);
    PresentBox->setObjectName("PresentBox");
    PresentBox->setReadOnly(true);
    PresentBox->setFocusPolicy(Qt::NoFocus);
    PresentLabel->setBuddy(PresentBox);
    BtnReload = new QPushButton("Re&load", Background);
    BtnReload->setObjectName("BtnReload");
}

void TMainForm::StyleLabels() {
    // Light label texts read well on the dark end of the gradient.
    QPalette labels = Background->palette();
    labels.setColor(QPalette::WindowText, Qt::white);
    for (QLabel* label : {static_cast<QLabel*>(ParamLabel), static_cast<QLabel*>(DriverLabel),
                          static_cast<QLabel*>(OutputLabel), StartLabel, StopLabel, StepLabel, PresentLabel}) {
        label->setPalette(labels);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
}

void TMainForm::LayOutControls() {
    auto* grid = new QGridLayout(Background);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(ParamLabel, 0, 0);
    grid->addWidget(ParamBox, 0, 1, 1, 5);
    grid->addWidget(DriverLabel, 1, 0);
    grid->addWidget(DriverBox, 1, 1, 1, 5);
    grid->addWidget(OutputLabel, 2, 0);
    grid->addWidget(OutputBox, 2, 1, 1, 5);
    grid->setRowMinimumHeight(3, 8);
    for (QLineEdit* field : {MEStartTime, MEStopTime, METimeStep, PresentBox}) field->setFixedWidth(90);
    grid->addWidget(StartLabel, 4, 0);
    grid->addWidget(MEStartTime, 4, 1);
    grid->addWidget(StopLabel, 4, 2, Qt::AlignRight);
    grid->addWidget(MEStopTime, 4, 3);
    grid->addWidget(StepLabel, 5, 0);
    grid->addWidget(METimeStep, 5, 1);
    grid->addWidget(PresentLabel, 5, 2, Qt::AlignRight);
    grid->addWidget(PresentBox, 5, 3);
    grid->addWidget(BtnRun, 4, 5);
    grid->addWidget(BtnReload, 5, 5);
    grid->setColumnStretch(4, 1);
    for (QPushButton* button : {BtnRun, BtnReload}) button->setMinimumWidth(100);
}

void TMainForm::ConnectControls() {
    connect(ParamLabel, &ClickLabel::clicked, this, [this] { Guarded([this] { ChooseParamFile(false); }); });
    connect(DriverLabel, &ClickLabel::clicked, this, [this] { Guarded([this] { ChooseDriver(false); }); });
    connect(OutputLabel, &ClickLabel::clicked, this, [this] { Guarded([this] { ChooseOutputFile(false); }); });
    OnLeave(ParamBox, [this] { ChooseParamFile(true); });
    OnLeave(DriverBox, [this] { ChooseDriver(true); });
    OnLeave(OutputBox, [this] { ChooseOutputFile(true); });
    OnLeave(MEStartTime, [this] { MeStartTimeExit(); });
    OnLeave(MEStopTime, [this] { MeStopTimeExit(); });
    OnLeave(METimeStep, [this] { MeTimeStepExit(); });
    connect(BtnRun, &QPushButton::clicked, this, [this] { Guarded([this] { BtnRunClick(); }); });
    connect(BtnReload, &QPushButton::clicked, this, [this] { Guarded([this] { BtnReloadClick(); }); });
}

QAction* TMainForm::MenuEntry(QMenu* menu, const char* name, const QString& text, void (TMainForm::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    return action;
}

void TMainForm::BuildMenus() {
    BuildFilesMenu();
    BuildEditMenus();
    BuildOptionsMenu();
    BuildOutputMenus();
    statusBar()->setSizeGripEnabled(false);
}

void TMainForm::BuildFilesMenu() {
    MIFiles = menuBar()->addMenu("&Files");
    MIFiles->setObjectName("MIFiles");
    QMenu* paramMenu = MIFiles->addMenu("&Parameter File");
    paramMenu->setObjectName("MIParamFile");
    MIOpenParam = paramMenu->addAction("&Open...");
    MIOpenParam->setObjectName("MIOpenParam");
    connect(MIOpenParam, &QAction::triggered, this, [this] { Guarded([this] { ChooseParamFile(false); }); });
    MISaveParam = MenuEntry(paramMenu, "MISaveParam", "&Save...", &TMainForm::MISaveParamClick);
    MISaveParam->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    MISaveParam->setEnabled(false);
    MISaveAsParam = MenuEntry(paramMenu, "MISaveAsParam", "Save &As", &TMainForm::MISaveAsParamClick);
    QMenu* driverMenu = MIFiles->addMenu("&Driver File");
    driverMenu->setObjectName("MIDriverFile");
    MIOpenDriver = driverMenu->addAction("&Open...");
    MIOpenDriver->setObjectName("MIOpenDriver");
    connect(MIOpenDriver, &QAction::triggered, this, [this] { Guarded([this] { ChooseDriver(false); }); });
    MIEditDriver = MenuEntry(driverMenu, "MIEditDriver", "&Edit...", &TMainForm::MIEditDrvClick);
    MIImportWeather = MenuEntry(MIFiles, "MIImportWeather", "Import &Weather...", &TMainForm::MIImportWeatherClick);
    MIOutputFile = MIFiles->addAction("&Output File...");
    MIOutputFile->setObjectName("MIOutputFile");
    connect(MIOutputFile, &QAction::triggered, this, [this] { Guarded([this] { ChooseOutputFile(false); }); });
    MIFiles->addSeparator();
    MIExit = MenuEntry(MIFiles, "MIExit", "E&xit", &TMainForm::MIExitClick);
}

// Edit, and Calculate, which is shown but not yet offered.
void TMainForm::BuildEditMenus() {
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("MIEdit");
    MIEditParam = MenuEntry(edit, "MIEditParam", "&Parameters...", &TMainForm::MIEditParamClick);
    MIEditStates = MenuEntry(edit, "MIEditStates", "&State Variables...", &TMainForm::MIEditStatesClick);
    MIEditDrv = MenuEntry(edit, "MIEditDrv", "&Drivers...", &TMainForm::MIEditDrvClick);

    MICalculate = menuBar()->addMenu("&Calculate");
    MICalculate->setObjectName("MICalculate");
    MICalculate->addAction("&At Time...")->setObjectName("MICalcAtTime");
    MICalculate->addAction("&Steady State...")->setObjectName("MICalcSteadyState");
    MICalculate->setEnabled(false);
    MICalculate->menuAction()->setEnabled(false);
}

void TMainForm::BuildOptionsMenu() {
    QMenu* options = menuBar()->addMenu("O&ptions");
    options->setObjectName("MIOptions");
    auto* runKind = new QActionGroup(this);
    runKind->setExclusive(true);
    MINormalRun = MenuEntry(options, "MINormalRun", "&Normal Run", &TMainForm::MINormalRunClick);
    MISpecialRun = options->addAction("&Special Run ...");
    MISpecialRun->setObjectName("MISpecialRun");
    for (QAction* a : {MINormalRun, MISpecialRun}) {
        a->setCheckable(true);
        runKind->addAction(a);
    }
    MINormalRun->setChecked(true);
    options->addSeparator();
    MIOutputOptions = options->addAction("&Output Options ...");
    MIOutputOptions->setObjectName("MIOutputOptions");
    for (QAction* a : {MISpecialRun, MIOutputOptions})
        connect(a, &QAction::triggered, this, [this, a] { Guarded([this, a] { MISpecialRunClick(a); }); });
}

// Output, and Help.
void TMainForm::BuildOutputMenus() {
    QMenu* output = menuBar()->addMenu("&Output");
    output->setObjectName("MIOutput");
    MIChart = output->addAction("C&hart");
    MIChart->setObjectName("MIChart");
    connect(MIChart, &QAction::triggered, this, [this] { Guarded([this] { DisplayOutput(false); }); });
    MITable = output->addAction("Ta&ble");
    MITable->setObjectName("MITable");
    connect(MITable, &QAction::triggered, this, [this] { Guarded([this] { DisplayOutput(true); }); });
    MIChart->setEnabled(false);
    MITable->setEnabled(false);
    MIViewOutFile = MenuEntry(output, "MIViewOutFile", "From &File...", &TMainForm::MIViewOutFileClick);
    output->addSeparator();
    MIAutoChart = MenuEntry(output, "MIAutoChart", "&AutoChart", &TMainForm::MIAutoChartClick);
    MIAutoChart->setCheckable(true);
    const QString hint = "Check this to automatically show the chart after a run";
    MIAutoChart->setToolTip(hint);
    MIAutoChart->setStatusTip(hint);
    output->setToolTipsVisible(true);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("MIHelp");
    MIAbout = MenuEntry(help, "MIAbout", "&About", &TMainForm::MIAboutClick);
}

void TMainForm::CheckRunKind(bool normal) {
    MINormalRun->setChecked(normal);
    MISpecialRun->setChecked(!normal);
}

void TMainForm::ChooseParamFile(bool fromEdit) {
    const std::string previous = ParamFileName;
    if (fromEdit) {
        ParamFileName = TextOf(ParamBox);
    } else if (!SensitivityMode) {
        if (const auto chosen = ChooseFile(DlgOpenParam(ParamFileName))) ParamFileName = *chosen;
    }
    if (ParamFileName == previous && !SensitivityMode) {
        UpdateMainForm();
        return;
    }
    if (!ParamFileName.empty()) {
        try {
            if (fileio::IsExistingFile(ParamFileName)) {
                if (ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States)) {
                    NewParamFile = false;
                } else {
                    ZeroAllValues();
                    ParamFileName.clear();
                }
            } else {
                WriteParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States);
                NewParamFile = true;
                ZeroAllValues();
            }
        } catch (...) {
            // A file that could not be read or made is not the parameter file.
            ParamFileName = previous;
            ParamBox->setText(QString::fromStdString(previous));
            throw;
        }
    }
    OutputAvailable = false;
    RunReady = false;
    UpdateMainForm();
}

void TMainForm::ChooseDriver(bool fromEdit) {
    const std::string previous = DriverFileName;
    if (fromEdit) {
        DriverFileName = TextOf(DriverBox);
    } else if (const auto chosen = ChooseFile(DlgOpenDriver(DriverFileName))) {
        DriverFileName = *chosen;
    }
    if (DriverFileName != previous) {
        if (!DriverFileName.empty()) {
            if (fileio::IsExistingFile(DriverFileName)) {
                NewDriverFile = false;
            } else {
                NewDriverFile = true;
                for (int i = 1; i <= ModelDef.NumDrivers; ++i) Drivers[i].Value = 0.0;
                try {
                    // A new driver file: its titles and one record of zeros,
                    // which ends its data.
                    OpenDriverFile(DriverFileName, ModelDef.NumDrivers, Drivers, true);
                    WriteDriverRecord(CurrentTime, ModelDef.NumDrivers, Drivers);
                    CloseDriverFile();
                } catch (...) {
                    DriverFileName = previous;
                    DriverBox->setText(QString::fromStdString(previous));
                    throw;
                }
            }
        }
        RunReady = false;
        OutputAvailable = false;
    }
    UpdateMainForm();
}

void TMainForm::ChooseOutputFile(bool fromEdit) {
    if (fromEdit) {
        OutputFileName = TextOf(OutputBox);
    } else if (const auto chosen = ChooseFile(DlgSaveOutput(OutputFileName))) {
        OutputFileName = *chosen;
    }
    OutputAvailable = false;
    RunReady = false;
    UpdateMainForm();
}

void TMainForm::TimeFieldExit(QLineEdit* field, double& time) {
    if (!field->isModified() || field->text().isEmpty()) return;
    time = TextToFloat(TextOf(field));  // a text that is no number leaves the time as it was
    field->setModified(false);
    RunReady = false;
    OutputAvailable = false;
    UpdateMainForm();
}

void TMainForm::MeStartTimeExit() { TimeFieldExit(MEStartTime, StartTime); }
void TMainForm::MeStopTimeExit() { TimeFieldExit(MEStopTime, StopTime); }
void TMainForm::MeTimeStepExit() { TimeFieldExit(METimeStep, TimeStep); }

void TMainForm::UpdateMainForm() {
    if (!RunReady) {
        ParamBox->setText(QString::fromStdString(ParamFileName));
        if (!ParamFileName.empty()) MISaveParam->setEnabled(true);
        if (!DriverFileName.empty()) DriverBox->setText(QString::fromStdString(DriverFileName));
        if (!OutputFileName.empty()) OutputBox->setText(QString::fromStdString(OutputFileName));
        if (!DriverBox->text().isEmpty() && !ParamBox->text().isEmpty() && !OutputBox->text().isEmpty() &&
            StopTime > StartTime) {
            RunReady = true;
            BtnRun->setEnabled(true);
        }
    }
    if (OutputAvailable) {
        MIChart->setEnabled(true);
        MITable->setEnabled(true);
        PrevDriverTime = 0.0;
        NextDriverTime = 0.0;
    } else {
        MIChart->setEnabled(false);
        MITable->setEnabled(false);
        PresentBox->setText("0");
    }
    if (focusWidget() == ParamBox) Background->setFocus(Qt::OtherFocusReason);
    CheckRunKind(RunOptions.NormalRun);
}

void TMainForm::SaveParamsAs(const std::string& name) {
    WriteParamFile(name, ModelDef.NumParams, Params, ModelDef.NumStates, States);
    ParamFileName = name;
    NewParamFile = false;
}

void TMainForm::MISaveParamClick() {
    WriteParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States);
    OutputAvailable = false;
    NewParamFile = false;
    UpdateMainForm();
    QApplication::beep();
}

void TMainForm::MISaveAsParamClick() {
    const auto chosen = ChooseFile(DlgSaveParam(ParamFileName));
    if (!chosen) return;
    SaveParamsAs(*chosen);
    RunReady = false;
    OutputAvailable = false;
    UpdateMainForm();
}

bool TMainForm::MayClose() {
    if (!ParamsModified) return true;
    switch (Notify(MsgKind::Confirmation, MsgButtons::YesNoCancel, "Save parameter file before exiting?")) {
        case MsgResult::No: return true;
        case MsgResult::Yes: {
            const auto chosen = ChooseFile(DlgSaveParam(ParamFileName));
            if (!chosen) return false;
            SaveParamsAs(*chosen);
            RunReady = false;
            OutputAvailable = false;
            UpdateMainForm();
            return true;
        }
        default: return false;
    }
}

void TMainForm::MIExitClick() { close(); }

void TMainForm::closeEvent(QCloseEvent* event) {
    if (running_) {
        // The run ends after its step, with its files closed; the window
        // closes once it has.
        event->ignore();
        if (Notify(MsgKind::Confirmation, MsgButtons::YesNo, "Are you sure you want to abort this run?") ==
            MsgResult::Yes) {
            CancelRequested = true;
            closeAfterRun_ = true;
            if (FmDisplayData) FmDisplayData->AutoChart = false;
        }
        return;
    }
    if (closing_) {
        event->accept();
        return;
    }
    bool mayClose = false;
    Guarded([&] { mayClose = MayClose(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    closing_ = true;
    event->accept();
}

void TMainForm::MIEditParamClick() {
    if (FmParameter->exec() == QDialog::Accepted) {
        OutputAvailable = false;
        UpdateMainForm();
    }
}

void TMainForm::MIEditStatesClick() {
    DataForm->ShowStates();
    UpdateMainForm();
}

void TMainForm::MIEditDrvClick() {
    if (FmNote->exec() == QDialog::Accepted) {
        OutputAvailable = false;
        RunReady = false;
        UpdateMainForm();
    }
}

// A driver file made from station weather becomes the driver file of the
// runs when the user takes it.
void TMainForm::MIImportWeatherClick() {
    TDlgImportWeather dialog(this);
    if (dialog.exec() != QDialog::Accepted || dialog.ImportedFile().empty()) return;
    DriverBox->setText(QString::fromStdString(dialog.ImportedFile()));
    ChooseDriver(true);
    OutputAvailable = false;
    UpdateMainForm();
}

void TMainForm::MINormalRunClick() {
    FmOptions->RbNormalRun->setChecked(true);
    FmOptions->RbNormalRunClick();
    CheckRunKind(true);
    OutputAvailable = false;
    RunReady = false;
}

void TMainForm::MISpecialRunClick(QAction* sender) {
    // The menu shows the kind of run in force, not the entry last clicked.
    CheckRunKind(RunOptions.NormalRun);
    OptionsPage = sender;
    MeStopTimeExit();
    FmOptions->exec();
}

void TMainForm::DisplayOutput(bool table) {
    FmDisplayData->ShowTable = table;
    FmDisplayData->exec();
}

void TMainForm::MIViewOutFileClick() {
    const auto chosen = ChooseFile(DlgOpenOutput(FmDisplayData->DisplayFileName));
    if (!chosen) return;
    FmDisplayData->DisplayFileName = *chosen;
    FmDisplayData->ReloadOutput = true;
    OutputAvailable = true;
    UpdateMainForm();
}

void TMainForm::MIAutoChartClick() { FmDisplayData->AutoChart = MIAutoChart->isChecked(); }

void TMainForm::MIAboutClick() { AboutBox->exec(); }

void TMainForm::BtnRunClick() {
    running_ = true;
    try {
        RunFromWindow(*this);
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
}

void TMainForm::BtnReloadClick() {
    if (ParamFileName.empty()) {
        Notify(MsgKind::Warning, MsgButtons::Ok, "Invalid parameter file. No values reloaded.");
        return;
    }
    if (DlgReload->exec() == QDialog::Accepted) {
        OutputAvailable = false;
        UpdateMainForm();
    }
}
