// The reload dialog: puts the parameter file's values back into the model
// (the parameters, the state variables or both), so that the next run starts
// again from the file instead of from where the last run ended.
#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TDlgReload : public QDialog {
    Q_OBJECT
public:
    explicit TDlgReload(QWidget* owner);

    // The reload itself: run by OK, and called directly by the calibration panel.
    void OKBtnClick();
    // The calibration panel's check boxes follow these.
    void CbParamsClick();
    void CbStateClick();

    QPlainTextEdit* MoDirections;
    QCheckBox* CbParams;
    QCheckBox* CbState;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};
