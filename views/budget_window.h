// The budget of the output file the display shows: its carbon, nitrogen and
// water books per model year and for the whole run, as a table.
#pragma once

#include <QDialog>
#include <string>

#include "budget/books.h"

class BudgetTableModel;
class QLabel;
class QPushButton;
class QTableView;

class TFmBudget : public QDialog {
    Q_OBJECT
public:
    explicit TFmBudget(QWidget* owner);

    // Reads the output file and shows its budget. Throws the reader's errors,
    // with the file's name before them.
    void ShowBudgetOf(const std::string& outputFile);

    // Handlers.
    void BtnSaveBudgetClick();

    QLabel* LblBudgetNotes;
    QTableView* SgBudget;
    QPushButton* BtnSaveBudget;
    QPushButton* BtnCloseBudget;

    const budget::Budget& Shown() const { return budget_; }
    const BudgetTableModel& Model() const { return *model_; }

private:
    BudgetTableModel* model_;
    budget::Budget budget_;
    std::string file_;
};
