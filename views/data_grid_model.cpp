#include "views/data_grid_model.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

#include "core/stypes.h"
#include "widgets/number_format.h"

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const char* const StateHeaders[TDataGridModel::Columns] = {
    "HoldConstant?", "Reset?", "State Symbol", "State Variable Name", "State Variable Value", "State Variable Units"};
const char* const ProcessHeaders[TDataGridModel::Columns] = {
    "", "", "Process Symbol", "Process Name", "Process Value", "Process Units"};

bool IsCheckColumn(int column) {
    return column == TDataGridModel::HoldColumn || column == TDataGridModel::ResetColumn;
}

}  // namespace

void TDataGridModel::ShowStates() {
    beginResetModel();
    use_ = GridUse::States;
    valueTexts_.clear();
    for (int i = 1; i <= ModelDef.NumStates; ++i) valueTexts_.push_back(ShortestText(States[i].Value));
    endResetModel();
}

void TDataGridModel::ShowProcesses() {
    beginResetModel();
    use_ = GridUse::Processes;
    processValues_.clear();
    for (int i = 1; i <= ModelDef.NumProcesses; ++i) processValues_.push_back(Processes[i].Value);
    endResetModel();
}

void TDataGridModel::UpdateProcesses() {
    if (use_ != GridUse::Processes) return;
    for (int i = 1; i <= ModelDef.NumProcesses; ++i) processValues_[static_cast<std::size_t>(i - 1)] = Processes[i].Value;
    emit dataChanged(index(0, ValueColumn), index(rowCount() - 1, ValueColumn), {Qt::DisplayRole});
}

void TDataGridModel::Clear() {
    beginResetModel();
    use_ = GridUse::Cleared;
    valueTexts_.clear();
    processValues_.clear();
    endResetModel();
}

int TDataGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    switch (use_) {
        case GridUse::States: return ModelDef.NumStates;
        case GridUse::Processes: return ModelDef.NumProcesses;
        case GridUse::Cleared: break;
    }
    return ClearedRows;
}

int TDataGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columns; }

QVariant TDataGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int column = index.column();
    if (role == Qt::BackgroundRole) {
        // The one editable column stands out in the window colour.
        const bool editable = use_ == GridUse::States && column == ValueColumn;
        return QApplication::palette().brush(editable ? QPalette::Base : QPalette::Button);
    }
    if (role == Qt::TextAlignmentRole && IsCheckColumn(column))
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (use_ == GridUse::States) return StateCell(index.row() + 1, column, role);
    if (use_ == GridUse::Processes && (role == Qt::DisplayRole || role == Qt::EditRole))
        return ProcessCell(index.row() + 1, column);
    return {};
}

QVariant TDataGridModel::StateCell(int state, int column, int role) const {
    const Tstatevariable& s = States[state];
    if (role == Qt::CheckStateRole && IsCheckColumn(column)) {
        const bool ticked = column == HoldColumn ? s.HoldConstant : s.Reset;
        return ticked ? Qt::Checked : Qt::Unchecked;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (column) {
        case 2: return Text(s.Symbol);
        case 3: return Text(s.Name);
        case ValueColumn: return ValueText(state);
        case 5: return Text(s.Units);
        default: return {};
    }
}

QVariant TDataGridModel::ProcessCell(int entry, int column) const {
    const Tprocessvariable& p = Processes[entry];
    switch (column) {
        case 2: return Text(p.Symbol);
        case 3: return Text(p.Name);
        case ValueColumn: return ShortestText(processValues_[static_cast<std::size_t>(entry - 1)]);
        case 5: return Text(p.Units);
        default: return {};
    }
}

bool TDataGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || use_ != GridUse::States) return false;
    const int state = index.row() + 1;
    if (role == Qt::CheckStateRole && IsCheckColumn(index.column())) {
        // A tick takes effect at once.
        const bool ticked = value.toInt() == Qt::Checked;
        (index.column() == HoldColumn ? States[state].HoldConstant : States[state].Reset) = ticked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    if (role == Qt::EditRole && index.column() == ValueColumn) {
        valueTexts_[static_cast<std::size_t>(state - 1)] = value.toString();
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        return true;
    }
    return false;
}

Qt::ItemFlags TDataGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (use_ != GridUse::States) return Qt::ItemIsEnabled;
    if (index.column() == ValueColumn) return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (IsCheckColumn(index.column())) return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
    return Qt::ItemIsEnabled;
}

QVariant TDataGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= Columns) return {};
    if (role == Qt::FontRole) {
        QFont bold = QApplication::font();
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole) return {};
    switch (use_) {
        case GridUse::States: return QString::fromLatin1(StateHeaders[section]);
        case GridUse::Processes: return QString::fromLatin1(ProcessHeaders[section]);
        case GridUse::Cleared: break;
    }
    return QString();
}
