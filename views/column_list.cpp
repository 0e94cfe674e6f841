#include "views/column_list.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

#include "core/stypes.h"
#include "display/display_rules.h"

ColumnList::ColumnList(QWidget* parent) : QListWidget(parent) {
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ColumnList::SetColumns(int columns) {
    columns_ = std::max(columns, 1);
    UpdateGrid();
}

void ColumnList::UpdateGrid() {
    const int width = std::max(viewport()->width() / columns_, 20);
    setGridSize(QSize(width, fontMetrics().height() + 4));
}

void ColumnList::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    UpdateGrid();
}

std::vector<std::string> ColumnList::SelectedTexts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < count(); ++i)
        if (item(i)->isSelected()) texts.push_back(item(i)->text().toStdString());
    return texts;
}

void ColumnList::SelectText(const std::string& text) {
    const QString wanted = QString::fromStdString(text);
    for (int i = 0; i < count(); ++i)
        if (item(i)->text() == wanted) {
            item(i)->setSelected(true);
            return;
        }
}

void ColumnList::SetSelectedRows(const std::vector<bool>& selected) {
    for (int i = 0; i < count(); ++i)
        item(i)->setSelected(static_cast<std::size_t>(i) < selected.size() && selected[static_cast<std::size_t>(i)]);
}

std::vector<bool> ColumnList::SelectedRows() const {
    std::vector<bool> rows(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i) rows[static_cast<std::size_t>(i)] = item(i)->isSelected();
    return rows;
}

std::vector<std::string> SeriesListNames() {
    std::vector<std::string> names{"Time"};
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) names.emplace_back(Drivers[i].Name);
    for (int i = 1; i <= ModelDef.NumStates; ++i) names.emplace_back(States[i].Name);
    for (int i = ModelDef.NumStates + 1; i <= ModelDef.NumProcesses; ++i) names.emplace_back(Processes[i].Name);
    std::stable_sort(names.begin(), names.end(), SeriesListBefore);
    return names;
}

void FillListBox(ColumnList& list) {
    list.clear();
    for (const std::string& name : SeriesListNames()) list.addItem(QString::fromStdString(name));
}
