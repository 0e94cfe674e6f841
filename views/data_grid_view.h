// The grid of the state and process window: a table whose cursor keeps to
// the cells that can be selected (the state grid's value column; none in the
// process list), with check boxes centred in their cells and every cell
// outlined.
#pragma once

#include <QStyledItemDelegate>
#include <QTableView>

class TDataGridView : public QTableView {
    Q_OBJECT
public:
    explicit TDataGridView(QWidget* parent);

    // Hands the text of an open cell editor to the model and closes the editor.
    void CommitEdit();
    // Where a cell's check box is drawn and answers clicks: centred in the cell.
    static QRect CheckRect(const QRect& cell, const QWidget* widget);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A click on a cell that cannot be selected: its check box, if it has one.
    bool ClickUnselectable(QMouseEvent* event);
};

// Paints centred check boxes and the outline of every cell.
class TDataGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
