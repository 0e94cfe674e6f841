#include "views/budget_table_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void BudgetTableModel::SetBudget(const budget::Budget& b) {
    beginResetModel();
    rows_.clear();
    for (const budget::Period& p : b.Periods) {
        Row title;
        title.period = Text(budget::PeriodTitle(p));
        rows_.push_back(std::move(title));
        for (int k = 0; k < budget::ElementCount; ++k) {
            const auto element = static_cast<budget::Element>(k);
            bool firstOfElement = true;
            for (const budget::ReportLine& line : budget::ReportLines(p, element)) {
                Row row;
                if (firstOfElement)
                    row.element = QString("%1 (%2)").arg(budget::ElementName(element), budget::ElementUnits(element));
                row.line = line;
                row.closure = line.Label.rfind("closure", 0) == 0 || line.Label.rfind("dropped", 0) == 0;
                row.broken = line.Note.rfind("no closure", 0) == 0;
                rows_.push_back(std::move(row));
                firstOfElement = false;
            }
        }
    }
    endResetModel();
}

int BudgetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BudgetTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant BudgetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            if (!row.period.isEmpty()) return index.column() == 0 ? QVariant(row.period) : QVariant();
            switch (index.column()) {
                case Element:
                    return row.element;
                case Line:
                    return Text(row.line.Label);
                case Symbols:
                    return Text(row.line.Symbols);
                case Amount:
                    return Text(row.line.Amount);
                case Note:
                    return Text(row.line.Note);
                default:
                    return {};
            }
        case Qt::TextAlignmentRole:
            return index.column() == Amount ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                            : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::FontRole:
            if (row.closure || !row.period.isEmpty()) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::ForegroundRole:
            if (row.broken && index.column() == Note) return QBrush(QColor(160, 0, 0));
            return {};
        default:
            return {};
    }
}

QVariant BudgetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const char* const titles[] = {"Element", "Line", "Symbols", "Amount", "Note"};
    return section >= 0 && section < ColumnCount ? QVariant(titles[section]) : QVariant();
}
