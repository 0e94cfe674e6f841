// The grid of a parameter page: rows of text cells under a header row, with
// one column the user edits in place. The editor is shown as soon as the
// cursor stands on an editable cell of the focused grid, and whatever is
// typed reaches the model at once, so a button pressed by its shortcut
// never reads a cell behind the text on screen.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <functional>
#include <vector>

class TvxGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    TvxGridModel(QStringList headers, QObject* parent);

    void SetRowCount(int rows);
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    // The column whose cells the user edits; -1 for none.
    void SetEditableColumn(int column) { editable_ = column; }
    int EditableColumn() const { return editable_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QStringList headers_;
    std::vector<QString> cells_;  // row by row
    int rows_ = 0;
    int editable_ = -1;
};

class TvxGrid : public QTableView {
    Q_OBJECT
public:
    TvxGrid(QStringList headers, QWidget* parent);

    TvxGridModel* Model() const { return model_; }
    // The selection test: whether the cursor may stand on the cell of
    // `column` and `row` (data rows counted from 0). Every cell by default.
    std::function<bool(int column, int row)> SelectCell;
    // Puts the cursor on a cell; the editor opens there when the grid has the focus.
    void SetCursor(int row, int column);
    // Takes the focus with the editor open at the cursor.
    void FocusCursor();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool MaySelect(const QModelIndex& index) const;
    void ShowEditor();

    TvxGridModel* model_;
};
