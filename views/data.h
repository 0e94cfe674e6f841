// The state grid and the process list: one window, one grid, two uses. As
// the state grid (modal) it edits every state's initial value and its
// HoldConstant and Reset flags; as the process list (beside the parameter
// editor) it shows the value of every entry of the process table.
#pragma once

#include <QDialog>

#include "core/stypes.h"

class QPushButton;
class TDataGridModel;
class TDataGridView;

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
    // Copies the grid's values into the state table. Every value text must be
    // a number (see BtnOKClick).
    void SaveStates();
    // Every cell empty, three rows with the header row.
    void ClearGrid();

    void BtnOKClick();
    void BtnCancelClick();

    statearray StateBackup;         // the states when the window was opened
    bool ShowingProcesses = false;  // in its process-list use

    QPushButton* BtnOK;
    QPushButton* BtnCancel;
    TDataGridView* AdvStringGrid1;
    TDataGridModel* Grid;

public slots:
    void reject() override;  // Escape and the title bar's close button: Cancel

private:
    // Columns and rows to their contents, the window to the grid.
    void SizeToContents();
    // Makes `owner` the window this one belongs to.
    void BelongTo(QWidget* owner);
};
