// The run and output options dialog: turns a plain run into a special run
// (repeated drivers, periodic state resets, a steady-state stop) and decides
// which records a run writes. Every entry is checked as the user leaves its
// field; a correction is explained in a warning.
#pragma once

#include <QDialog>

#include "run/run_options.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class TFmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFmOptions(QWidget* owner);

    // Brings every control up to date from RunOptions. A normal run switches
    // the special-run options off.
    void UpdateFmRunOptions();

    // Handlers, named for their control and event.
    void FormShow();
    void RbNormalRunClick();  // RbNormalRun or RbSpecialRun clicked
    void CbRepeatDriversClick();
    void CbResetStatesClick();
    void CbRuntoSSClick();
    void EdRepeatDriveTimeExit();
    void EdResetStateTimeExit();
    void EdSSCriteriaExit();
    void EdSSTimeExit();
    void RbOutputIntervalsClick();  // RbOutputIntervals or RbOutEndofRunOnly clicked
    void EdOutputTimeStepExit();
    void EdOutputOffsetExit();
    void BtnOpenStatesClick();
    void BtnOKClick();
    void BtnCancelClick();
    void BtnDefaultsClick();

    TRunOptions SavedOptions;    // the settings when the dialog was shown; Cancel restores them
    TRunOptions DefaultOptions;  // the settings at program start; "De&faults" restores them

    QTabWidget* PageControl;
    QWidget* TsRunOptions;
    QWidget* TsOutputOptions;

    QRadioButton* RbNormalRun;
    QRadioButton* RbSpecialRun;
    QCheckBox* CbRepeatDrivers;
    QLineEdit* EdRepeatDriveTime;
    QLabel* LblTimeUnit2;
    QCheckBox* CbResetStates;
    QLineEdit* EdResetStateTime;
    QLabel* LblTimeUnit1;
    QPushButton* BtnOpenStates;
    QCheckBox* CbRuntoSS;
    QLabel* LblSSCriteria;
    QLineEdit* EdSSCriteria;
    QLabel* LblSSTime;
    QLineEdit* EdSSTime;

    QRadioButton* RbOutputIntervals;
    QLineEdit* EdOutputTimeStep;
    QLabel* LblTimeUnit3;
    QLineEdit* EdOutputOffset;
    QRadioButton* RbOutEndofRunOnly;
    QCheckBox* CbAppendOutput;

    QPushButton* BtnOK;
    QPushButton* BtnCancel;
    QPushButton* BtnDefaults;

public slots:
    void reject() override;  // Escape and the title bar's close button: Cancel

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildRunPage();
    QWidget* BuildOutputPage();
    QWidget* BuildButtons();
    void ConnectHandlers();
    // A field's entry function applied to its text; its warning, if any, shown.
    void EnterField(QLineEdit* field, std::string (*enter)(TRunOptions&, std::string_view));

    bool loading_ = false;  // UpdateFmRunOptions is writing into the controls
};
