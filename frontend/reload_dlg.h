// The reload dialog: puts the parameter file's values back into the model.
#pragma once

#include <QDialog>

class QCheckBox;

class TDlgReload : public QDialog {
    Q_OBJECT
public:
    explicit TDlgReload(QWidget* owner);

    // The reload itself: run by OK, and called directly by the calibration panel.
    void OKBtnClick();

    QCheckBox* CbParams;
    QCheckBox* CbState;
};
