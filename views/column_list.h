// A list of series names shown in columns: the items run down a column and
// on into the next, each column an equal share of the list's width, with a
// sideways scroll bar when they do not fit.
#pragma once

#include <QListWidget>
#include <string>
#include <vector>

class ColumnList : public QListWidget {
    Q_OBJECT
public:
    explicit ColumnList(QWidget* parent = nullptr);

    void SetColumns(int columns);
    int Columns() const { return columns_; }

    // The texts of the selected items, in list order.
    std::vector<std::string> SelectedTexts() const;
    // Selects the first item whose text is `text`.
    void SelectText(const std::string& text);
    // Item i selected exactly when `selected[i]` is.
    void SetSelectedRows(const std::vector<bool>& selected);
    std::vector<bool> SelectedRows() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void UpdateGrid();
    int columns_ = 1;
};

// The series names: "Time", the drivers, the states and the process
// variables, sorted as the series lists show them.
std::vector<std::string> SeriesListNames();
// Empties `list` and fills it with SeriesListNames().
void FillListBox(ColumnList& list);
