// The rows of a budget as a table: a title row for each period, then one row
// per line of the report, the element named on the first row of its lines.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "budget/report.h"

class BudgetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { Element, Line, Symbols, Amount, Note, ColumnCount };

    void SetBudget(const budget::Budget& b);
    // The period's title stands in the first column of these rows, which the
    // view spans over all columns.
    bool IsTitleRow(int row) const { return !rows_[static_cast<std::size_t>(row)].period.isEmpty(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        QString period, element;
        budget::ReportLine line;
        bool closure = false;  // a closure or dropped line: what the books come to
        bool broken = false;   // its books cannot close
    };
    std::vector<Row> rows_;
};
