// The run and output options dialog.
#pragma once

#include <QDialog>

class QRadioButton;

class TFmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFmOptions(QWidget* owner);

    // Brings every control up to date from RunOptions.
    void UpdateFmRunOptions();
    // RbNormalRun or RbSpecialRun clicked.
    void RbNormalRunClick();

    QRadioButton* RbNormalRun;
    QRadioButton* RbSpecialRun;
};
