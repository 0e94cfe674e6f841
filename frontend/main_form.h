// The main window: the three file names, the three times, Run and Reload, and
// the menus that open every other window.
#pragma once

#include <QMainWindow>
#include <string>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class ClickLabel;
class GradientPanel;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Creating the main window starts the session: the integrator accuracy,
    // the times of the three fields, the model's catalogue and the quiet
    // modes, which `programPath` selects by its file name.
    explicit TMainForm(const std::string& programPath);

    bool BatchMode = false;        // started as "modelbatch": runs show nothing and pass their failures on
    bool SensitivityMode = false;  // started as "sensitivity": the same, and the parameter file is typed, not chosen
    QAction* OptionsPage = nullptr;  // the menu entry that last opened the options dialog

    // Handlers. `fromEdit` tells that the user left the edit field rather than
    // clicking the label or the menu entry.
    void ChooseParamFile(bool fromEdit);
    void ChooseDriver(bool fromEdit);
    void ChooseOutputFile(bool fromEdit);
    void MeStartTimeExit();
    void MeStopTimeExit();
    void MeTimeStepExit();
    void UpdateMainForm();
    void MISaveParamClick();
    void MISaveAsParamClick();
    void MIExitClick();
    void MIEditParamClick();
    void MIEditStatesClick();
    void MIEditDrvClick();
    void MIImportWeatherClick();
    void MINormalRunClick();
    void MISpecialRunClick(QAction* sender);
    void DisplayOutput(bool table);
    void MIViewOutFileClick();
    void MIAutoChartClick();
    void MIAboutClick();
    void BtnRunClick();
    void BtnReloadClick();

    // A run is under way (the window is disabled meanwhile).
    bool Running() const { return running_; }

    // Controls, named as the user sees them.
    ClickLabel* ParamLabel;
    QLineEdit* ParamBox;
    ClickLabel* DriverLabel;
    QLineEdit* DriverBox;
    ClickLabel* OutputLabel;
    QLineEdit* OutputBox;
    QLabel* StartLabel;
    QLineEdit* MEStartTime;
    QLabel* StopLabel;
    QLineEdit* MEStopTime;
    QLabel* StepLabel;
    QLineEdit* METimeStep;
    QPushButton* BtnRun;
    QLabel* PresentLabel;
    QLineEdit* PresentBox;
    QPushButton* BtnReload;
    GradientPanel* Background;

    QMenu* MIFiles;
    QAction* MIOpenParam;
    QAction* MISaveParam;
    QAction* MISaveAsParam;
    QAction* MIOpenDriver;
    QAction* MIEditDriver;
    QAction* MIImportWeather;
    QAction* MIOutputFile;
    QAction* MIExit;
    QAction* MIEditParam;
    QAction* MIEditStates;
    QAction* MIEditDrv;
    QMenu* MICalculate;
    QAction* MINormalRun;
    QAction* MISpecialRun;
    QAction* MIOutputOptions;
    QAction* MIChart;
    QAction* MITable;
    QAction* MIViewOutFile;
    QAction* MIAutoChart;
    QAction* MIAbout;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void CreateControls();
    void StyleLabels();
    void LayOutControls();
    void ConnectControls();
    void BuildMenus();
    // A menu entry whose choice runs `handler`, with a failure reported.
    QAction* MenuEntry(QMenu* menu, const char* name, const QString& text, void (TMainForm::*handler)());
    void BuildFilesMenu();
    void BuildEditMenus();
    void BuildOptionsMenu();
    void BuildOutputMenus();
    // Leaving a time field: its number, when the user changed a non-empty text.
    void TimeFieldExit(QLineEdit* field, double& time);
    // The program may end: asks to save modified values first. False: stay.
    bool MayClose();
    // Shows the Options menu's radio entries for a normal or a special run.
    void CheckRunKind(bool normal);
    void SaveParamsAs(const std::string& name);

    bool running_ = false;
    bool closeAfterRun_ = false;
    bool closing_ = false;
};
