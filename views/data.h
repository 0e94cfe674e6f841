// The state grid and the process list.
#pragma once

#include <QDialog>

class TDataForm : public QDialog {
    Q_OBJECT
public:
    explicit TDataForm(QWidget* owner);

    // The state grid, modally; the dialog's result.
    int ShowStates();
    // The process list, beside the caller.
    void ShowProcess();
    // Rewrites the process list's values from the process table.
    void UpdateProcess();
};
