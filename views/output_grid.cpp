#include "views/output_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>
#include <utility>
#include <vector>

int OutputTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.Rows() - FirstModelRow);
}

int OutputTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.Columns(); }

QVariant OutputTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const std::int64_t row = index.row() + FirstModelRow;
    switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(table_.CellText(index.column(), row));
        case Qt::TextAlignmentRole:
            return row < FirstDataRow ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                      : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
    }
}

QVariant OutputTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= table_.Columns()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(table_.CellText(section, 0) + "\n" + table_.CellText(section, 1));
        case Qt::ToolTipRole:
            return QString::fromStdString(table_.Name(section) + " (" + table_.Units(section) + ")");
        default: return {};
    }
}

Qt::ItemFlags OutputTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void OutputTableModel::Reload() {
    beginResetModel();
    endResetModel();
}

namespace {

void SetUpView(QTableView* view) {
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setDefaultSectionSize(OutputGrid::DefaultColumnWidth);
    view->horizontalHeader()->setMinimumSectionSize(12);
    view->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setWordWrap(false);
}

}  // namespace

OutputGrid::OutputGrid(OutputTableModel* model, QWidget* parent) : QTableView(parent) {
    setObjectName("SgModelOutput");
    setModel(model);
    SetUpView(this);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setFixedHeight(2 * fontMetrics().height() + 8);

    frozen_ = new QTableView(this);
    frozen_->setObjectName("SgModelOutputTime");
    frozen_->setModel(model);
    SetUpView(frozen_);
    frozen_->setSelectionModel(selectionModel());
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setStyleSheet("QTableView { border: none; border-right: 1px solid palette(mid); }");
    viewport()->stackUnder(frozen_);

    auto hideOtherColumns = [this] {
        for (int c = 1; c < this->model()->columnCount(); ++c) frozen_->setColumnHidden(c, true);
        frozen_->setColumnWidth(0, columnWidth(0));
        UpdateFrozenGeometry();
    };
    FitColumnsToHeaders();
    connect(model, &QAbstractItemModel::modelReset, this, hideOtherColumns);
    hideOtherColumns();

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column == 0) {
            frozen_->setColumnWidth(0, width);
            UpdateFrozenGeometry();
        }
    });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
}

void OutputGrid::FitColumnsToHeaders() {
    // The header texts come from the catalogue and never change: each column
    // starts wide enough for its name and units, from the default width up
    // to a limit, and the user sizes it from there.
    const QFontMetrics header(horizontalHeader()->font());
    const QFontMetrics cells(font());
    for (int c = 0; c < model()->columnCount(); ++c) {
        const QString name = model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().section('\n', 1);
        const QString units = model()->index(0, c).data().toString();
        const int need = std::max(header.horizontalAdvance(name), cells.horizontalAdvance(units)) + 14;
        setColumnWidth(c, std::clamp(need, DefaultColumnWidth, MaxStartWidth));
    }
}

void OutputGrid::UpdateFrozenGeometry() {
    frozen_->setGeometry(frameWidth(), frameWidth(), columnWidth(0),
                         viewport()->height() + horizontalHeader()->height());
}

void OutputGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    UpdateFrozenGeometry();
}

QModelIndex OutputGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    // A cell moved to from the right must not end up under the time column.
    if (cursorAction == MoveLeft && current.column() > 0 &&
        visualRect(current).topLeft().x() < frozen_->columnWidth(0)) {
        const int offset = visualRect(current).topLeft().x() - frozen_->columnWidth(0);
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + offset);
    }
    return current;
}

void OutputGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The time column never scrolls sideways: reaching one of its cells
    // scrolls the rows only.
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0) horizontalScrollBar()->setValue(sideways);
}

void OutputGrid::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopySelection();
        return;
    }
    QTableView::keyPressEvent(event);
}

QString OutputGrid::SelectionText() const {
    // The rows and columns that hold selected cells, in grid order; a cell
    // inside them that is not selected stays empty.
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty()) return {};
    std::vector<std::pair<int, int>> rows;
    int firstColumn = model()->columnCount(), lastColumn = -1;
    for (const QItemSelectionRange& range : selection) {
        rows.emplace_back(range.top(), range.bottom());
        firstColumn = std::min(firstColumn, range.left());
        lastColumn = std::max(lastColumn, range.right());
    }
    std::sort(rows.begin(), rows.end());
    QString text;
    int next = 0;
    for (const auto& [top, bottom] : rows) {
        for (int r = std::max(top, next); r <= bottom; ++r) {
            for (int c = firstColumn; c <= lastColumn; ++c) {
                if (c > firstColumn) text += '\t';
                const QModelIndex cell = model()->index(r, c);
                if (selection.contains(cell)) text += cell.data().toString();
            }
            text += '\n';
        }
        next = std::max(next, bottom + 1);
    }
    return text;
}

void OutputGrid::CopySelection() const {
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(SelectionText());
}
