#include "widgets/vx_grid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

// The cell editor hands every change to the model as it is typed.
class ImmediateDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            auto* self = const_cast<ImmediateDelegate*>(this);
            connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
        }
        return editor;
    }
};

}  // namespace

TvxGridModel::TvxGridModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void TvxGridModel::SetRowCount(int rows) {
    beginResetModel();
    rows_ = rows;
    cells_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(headers_.size()), QString());
    endResetModel();
}

QString TvxGridModel::Cell(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= headers_.size()) return {};
    return cells_[static_cast<std::size_t>(row * headers_.size() + column)];
}

void TvxGridModel::SetCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rows_ || column < 0 || column >= headers_.size()) return;
    QString& cell = cells_[static_cast<std::size_t>(row * headers_.size() + column)];
    if (cell == text) return;
    cell = text;
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
}

int TvxGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TvxGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TvxGridModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return Cell(index.row(), index.column());
}

bool TvxGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != editable_) return false;
    SetCell(index.row(), index.column(), value.toString());
    return true;
}

QVariant TvxGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return headers_[section];
}

Qt::ItemFlags TvxGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == editable_) return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    return Qt::ItemIsEnabled;
}

TvxGrid::TvxGrid(QStringList headers, QWidget* parent)
    : QTableView(parent), model_(new TvxGridModel(std::move(headers), this)) {
    setModel(model_);
    setItemDelegate(new ImmediateDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
}

bool TvxGrid::MaySelect(const QModelIndex& index) const {
    return index.isValid() && (!SelectCell || SelectCell(index.column(), index.row()));
}

void TvxGrid::SetCursor(int row, int column) {
    const QModelIndex at = model_->index(row, column);
    if (!MaySelect(at)) return;
    setCurrentIndex(at);
    if (hasFocus()) ShowEditor();
}

void TvxGrid::FocusCursor() {
    setFocus(Qt::TabFocusReason);
    ShowEditor();
}

void TvxGrid::ShowEditor() {
    const QModelIndex at = currentIndex();
    if (state() != EditingState && at.isValid() && (model_->flags(at) & Qt::ItemIsEditable)) edit(at);
}

QModelIndex TvxGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (!next.isValid() || MaySelect(next)) return next;
    // Up and down keep to the cursor's own column; sideways it stays put.
    const QModelIndex here = currentIndex();
    const QModelIndex sameColumn = model_->index(next.row(), here.column());
    return MaySelect(sameColumn) ? sameColumn : here;
}

void TvxGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && !MaySelect(at)) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TvxGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && !MaySelect(at)) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TvxGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // The focus the grid takes back from its own closing editor (after
    // Escape) leaves the editor closed until the next key or click.
    if (event->reason() != Qt::OtherFocusReason) ShowEditor();
}
