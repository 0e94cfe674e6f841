// The cells of the state grid and of the process list, read from the global
// tables as they are drawn. The state grid's check boxes write straight into
// States; its value texts are kept as typed until the window stores them.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

enum class GridUse { Cleared, States, Processes };

class TDataGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int HoldColumn = 0;
    static constexpr int ResetColumn = 1;
    static constexpr int ValueColumn = 4;
    static constexpr int Columns = 6;
    static constexpr int ClearedRows = 2;  // data rows of an emptied grid, under its header row

    using QAbstractTableModel::QAbstractTableModel;

    GridUse Use() const { return use_; }
    // A row for every state, its value text in the shortest general form.
    void ShowStates();
    // A row for every entry of the process table, derivatives first.
    void ShowProcesses();
    // The process values as the process table holds them now.
    void UpdateProcesses();
    // Every cell empty, two empty rows.
    void Clear();

    // The value text of the row of state `state` (counted from 1).
    const QString& ValueText(int state) const { return valueTexts_[static_cast<std::size_t>(state - 1)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant StateCell(int state, int column, int role) const;
    QVariant ProcessCell(int entry, int column) const;

    GridUse use_ = GridUse::Cleared;
    std::vector<QString> valueTexts_;     // state grid: the value column as shown or typed
    std::vector<double> processValues_;   // process list: the values of the last update
};
