#include "views/data.h"
#include "views/view_windows.h"

#include <QApplication>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/notify.h"
#include "widgets/error_report.h"
#include "run/run_options.h"
#include "views/data_grid_model.h"
#include "views/data_grid_view.h"

TDataForm::TDataForm(QWidget* owner) : QDialog(owner) {
    setObjectName("DataForm");
    BtnOK = new QPushButton("&OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("&Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setAutoDefault(false);
    AdvStringGrid1 = new TDataGridView(this);
    AdvStringGrid1->setObjectName("AdvStringGrid1");
    AdvStringGrid1->setTabKeyNavigation(false);
    Grid = new TDataGridModel(this);
    AdvStringGrid1->setModel(Grid);
    AdvStringGrid1->verticalHeader()->hide();
    AdvStringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    AdvStringGrid1->horizontalHeader()->setHighlightSections(false);

    auto* strip = new QHBoxLayout;
    strip->addWidget(BtnOK);
    strip->addWidget(BtnCancel);
    strip->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(strip);
    layout->addWidget(AdvStringGrid1, 1);

    connect(BtnOK, &QPushButton::clicked, this, [this] { Guarded([this] { BtnOKClick(); }); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { Guarded([this] { BtnCancelClick(); }); });
}

void TDataForm::BelongTo(QWidget* owner) {
    if (!owner || parentWidget() == owner) return;
    hide();
    setParent(owner, windowFlags());
}

int TDataForm::ShowStates() {
    BelongTo(WorkbenchOps.mainWindow);
    StateBackup = States;
    setWindowTitle("State Variables");
    ShowingProcesses = false;
    AdvStringGrid1->setColumnHidden(TDataGridModel::HoldColumn, false);
    AdvStringGrid1->setColumnHidden(TDataGridModel::ResetColumn, false);
    Grid->ShowStates();
    AdvStringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    // The cursor starts in the first row, in the one column that takes it.
    AdvStringGrid1->setCurrentIndex(Grid->index(0, TDataGridModel::ValueColumn));
    SizeToContents();
    BtnOK->show();
    BtnOK->setEnabled(true);
    BtnCancel->setText("&Cancel");
    AdvStringGrid1->setFocus(Qt::OtherFocusReason);
    return exec();
}

void TDataForm::ShowProcess() {
    // Beside a modal window (the parameter editor) the list must belong to
    // it, or the modal window would keep it from taking any input.
    QWidget* modal = QApplication::activeModalWidget();
    BelongTo(modal && modal != this ? modal : WorkbenchOps.mainWindow);
    StateBackup = States;
    setWindowTitle("Process Variables");
    ShowingProcesses = true;
    AdvStringGrid1->setColumnHidden(TDataGridModel::HoldColumn, true);
    AdvStringGrid1->setColumnHidden(TDataGridModel::ResetColumn, true);
    AdvStringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->ShowProcesses();
    UpdateProcess();
    SizeToContents();
    BtnOK->hide();
    BtnOK->setEnabled(false);
    BtnCancel->setText("&Close");
    show();
}

void TDataForm::UpdateProcess() { Grid->UpdateProcesses(); }

void TDataForm::SizeToContents() {
    QHeaderView* header = AdvStringGrid1->horizontalHeader();
    header->setMinimumHeight(0);
    header->setMaximumHeight(QWIDGETSIZE_MAX);
    AdvStringGrid1->resizeColumnsToContents();
    AdvStringGrid1->resizeRowsToContents();
    if (!ShowingProcesses && Grid->rowCount() > 0) header->setFixedHeight(AdvStringGrid1->rowHeight(0));

    // The window as wide as the grid's columns, as far as the screen allows.
    int width = 2 * AdvStringGrid1->frameWidth() + AdvStringGrid1->verticalScrollBar()->sizeHint().width() + 8;
    for (int column = 0; column < Grid->columnCount(); ++column)
        if (!AdvStringGrid1->isColumnHidden(column)) width += AdvStringGrid1->columnWidth(column);
    const QMargins margins = layout()->contentsMargins();
    width += margins.left() + margins.right();
    const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(std::min(width, screen.width() * 9 / 10), std::min(640, screen.height() * 8 / 10));
}

void TDataForm::SaveStates() {
    for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Value = TextToFloat(Grid->ValueText(i).toStdString());
    // The check boxes wrote their flags into States as they were clicked.
}

void TDataForm::ClearGrid() { Grid->Clear(); }

void TDataForm::BtnOKClick() {
    if (ShowingProcesses) return;
    AdvStringGrid1->CommitEdit();
    // Every value is checked before any is stored: a text that is not a
    // number keeps the window open with the cursor on it, and nothing typed
    // is lost.
    for (int i = 1; i <= ModelDef.NumStates; ++i) {
        try {
            TextToFloat(Grid->ValueText(i).toStdString());
        } catch (const EConvertError& e) {
            const QModelIndex cell = Grid->index(i - 1, TDataGridModel::ValueColumn);
            AdvStringGrid1->setCurrentIndex(cell);
            AdvStringGrid1->scrollTo(cell);
            AdvStringGrid1->setFocus(Qt::OtherFocusReason);
            Notify(MsgKind::Error, MsgButtons::Ok, e.what());
            return;
        }
    }
    accept();
    SaveStates();
    ClearGrid();
    ParamsModified = true;  // the states belong to the parameter file
    OutputAvailable = false;
}

void TDataForm::BtnCancelClick() { reject(); }

void TDataForm::reject() {
    States = StateBackup;  // also undoes the ticks made since the window opened
    ClearGrid();
    QDialog::reject();  // the process list, shown beside its caller, is hidden
}
