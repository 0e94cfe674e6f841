#include "views/data_grid_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

TDataGridView::TDataGridView(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new TDataGridDelegate(this));
    setShowGrid(false);  // the delegate outlines the cells
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
}

QRect TDataGridView::CheckRect(const QRect& cell, const QWidget* widget) {
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget);
    return QRect(cell.center().x() - w / 2, cell.center().y() - h / 2, w, h);
}

void TDataGridView::CommitEdit() {
    if (state() != QAbstractItemView::EditingState) return;
    QWidget* editor = viewport()->focusWidget();  // the editor has the focus within the grid
    if (!editor || editor->parentWidget() != viewport()) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QModelIndex TDataGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // The cursor moves up and down the one column whose cells can be selected;
    // where none can, it does not move.
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid()) return target;
    for (int column = 0; column < model()->columnCount(); ++column) {
        const QModelIndex cell = model()->index(target.row(), column);
        if (model()->flags(cell) & Qt::ItemIsSelectable) return cell;
    }
    return currentIndex();
}

bool TDataGridView::ClickUnselectable(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || (model()->flags(index) & Qt::ItemIsSelectable)) return false;
    if ((model()->flags(index) & Qt::ItemIsUserCheckable) && event->button() == Qt::LeftButton &&
        event->type() == QEvent::MouseButtonPress &&
        CheckRect(visualRect(index), this).adjusted(-3, -3, 3, 3).contains(event->position().toPoint())) {
        const bool ticked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model()->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    event->accept();
    return true;
}

void TDataGridView::mousePressEvent(QMouseEvent* event) {
    if (!ClickUnselectable(event)) QTableView::mousePressEvent(event);
}

void TDataGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!ClickUnselectable(event)) QTableView::mouseDoubleClickEvent(event);
}

void TDataGridView::keyPressEvent(QKeyEvent* event) {
    // Without a cell to move to, the keys of movement scroll the grid.
    if (!currentIndex().isValid()) {
        QScrollBar* bar = verticalScrollBar();
        switch (event->key()) {
            case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
            case Qt::Key_Down: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
            case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); return;
            case Qt::Key_PageDown: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
            case Qt::Key_Home: bar->triggerAction(QAbstractSlider::SliderToMinimum); return;
            case Qt::Key_End: bar->triggerAction(QAbstractSlider::SliderToMaximum); return;
            default: break;
        }
    }
    QTableView::keyPressEvent(event);
}

void TDataGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant check = index.data(Qt::CheckStateRole);
    if (check.isValid()) {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
        QStyleOptionViewItem box = cell;
        box.rect = TDataGridView::CheckRect(option.rect, widget);
        box.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_HasFocus);
        box.state |= check.toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
    } else {
        QStyledItemDelegate::paint(painter, option, index);
    }
    // The outline: each cell draws its right and bottom edges, so neighbours
    // share one line.
    painter->save();
    painter->setPen(option.palette.color(QPalette::Dark));
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}
