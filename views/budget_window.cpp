#include "views/budget_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <filesystem>
#include <stdexcept>

#include "budget/report.h"
#include "core/notify.h"
#include "widgets/error_report.h"
#include "views/budget_table_model.h"

TFmBudget::TFmBudget(QWidget* owner) : QDialog(owner), model_(new BudgetTableModel(this)) {
    setObjectName("FmBudget");
    setWindowTitle("Budget");
    resize(1100, 640);

    LblBudgetNotes = new QLabel(this);
    LblBudgetNotes->setObjectName("LblBudgetNotes");
    LblBudgetNotes->setWordWrap(true);
    SgBudget = new QTableView(this);
    SgBudget->setObjectName("SgBudget");
    SgBudget->setModel(model_);
    SgBudget->verticalHeader()->hide();
    SgBudget->verticalHeader()->setDefaultSectionSize(SgBudget->fontMetrics().height() + 6);
    SgBudget->horizontalHeader()->setStretchLastSection(true);
    SgBudget->setSelectionBehavior(QAbstractItemView::SelectRows);
    SgBudget->setAlternatingRowColors(true);

    BtnSaveBudget = new QPushButton("Save &CSV...", this);
    BtnSaveBudget->setObjectName("BtnSaveBudget");
    BtnCloseBudget = new QPushButton("&Close", this);
    BtnCloseBudget->setObjectName("BtnCloseBudget");
    BtnSaveBudget->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnSaveBudget);
    buttons->addWidget(BtnCloseBudget);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblBudgetNotes);
    layout->addWidget(SgBudget, 1);
    layout->addLayout(buttons);

    connect(BtnSaveBudget, &QPushButton::clicked, this, [this] { Guarded([this] { BtnSaveBudgetClick(); }); });
    connect(BtnCloseBudget, &QPushButton::clicked, this, &QDialog::close);
}

void TFmBudget::ShowBudgetOf(const std::string& outputFile) {
    budget::Budget b;
    try {
        b = budget::BudgetOfFile(outputFile);
    } catch (const std::exception& e) {
        throw std::runtime_error(outputFile + ": " + e.what());
    }
    budget_ = std::move(b);
    file_ = outputFile;
    model_->SetBudget(budget_);
    std::string header = "Budget of " + outputFile + ": " + std::to_string(budget_.Records) +
                         (budget_.Records == 1 ? " record" : " records");
    if (!budget_.Periods.empty())
        header += ", " + std::to_string(budget_.Years) + (budget_.Years == 1 ? " model year" : " model years");
    QString notes = QString::fromStdString(header);
    for (const std::string& note : budget_.Notes) notes += "\n" + QString::fromStdString(note);
    notes += "\n" + QString::fromStdString(budget::BooksExplanation());
    LblBudgetNotes->setText(notes);
    setWindowTitle(QString::fromStdString("Budget - File: " + outputFile));
    SgBudget->clearSpans();
    for (int row = 0; row < model_->rowCount(); ++row)
        if (model_->IsTitleRow(row)) SgBudget->setSpan(row, 0, 1, BudgetTableModel::ColumnCount);
    SgBudget->resizeColumnsToContents();
    SgBudget->horizontalHeader()->setStretchLastSection(true);
    BtnSaveBudget->setEnabled(!budget_.Periods.empty());
}

void TFmBudget::BtnSaveBudgetClick() {
    FileDialogRequest request;
    request.Name = "DlgSaveBudget";
    request.Title = "Save Budget As";
    request.Filter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";
    request.DefaultExt = "csv";
    request.Mode = FileDialogMode::Save;
    request.ConfirmOverwrite = true;
    request.StartName = file_.empty() ? std::string("budget.csv")
                                      : std::filesystem::path(file_).replace_extension("").string() + "-budget.csv";
    const auto chosen = ChooseFile(request);
    if (!chosen) return;
    try {
        budget::SaveReportCsv(budget_, *chosen);
    } catch (const std::exception& e) {
        throw std::runtime_error(*chosen + ": " + e.what());
    }
}
