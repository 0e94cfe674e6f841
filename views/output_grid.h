// The display's table SgModelOutput: the output table's cells, formatted when
// they are shown, never one item per cell. The column numbers and the names
// (grid rows 0 and 1) stand in the column headers, which stay in place and
// can be dragged to resize a column; the time column stays in place while
// the rest scrolls sideways. Nothing is editable.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "display/output_table.h"

class OutputTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OutputTableModel(const OutputTable& table, QObject* parent = nullptr)
        : QAbstractTableModel(parent), table_(table) {}

    // Model rows are the grid's rows from 2 (units) on.
    static constexpr int FirstModelRow = 2;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After the table's records changed.
    void Reload();

private:
    const OutputTable& table_;
};

class OutputGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int DefaultColumnWidth = 65;
    // The widest a column starts to show its header whole.
    static constexpr int MaxStartWidth = 180;

    OutputGrid(OutputTableModel* model, QWidget* parent);

    // The selected cells as tab-separated lines of their texts, as shown.
    QString SelectionText() const;
    // Puts the selection on the clipboard (Ctrl+C).
    void CopySelection() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateFrozenGeometry();
    void FitColumnsToHeaders();

    QTableView* frozen_;  // the time column, over the left edge
};
