#include "views/param_list.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "core/notify.h"
#include "core/stypes.h"
#include "widgets/error_report.h"
#include "views/view_windows.h"
#include "views/calibrate_panel.h"
#include "views/display.h"

TFmParamList::TFmParamList(QWidget* owner) : QDialog(owner) {
    setObjectName("FmParamList");
    setWindowTitle("Model Parameters");
    // No title-bar buttons: the picker closes through its own two buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    lbParamList = new QListWidget(this);
    lbParamList->setObjectName("lbParamList");
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        lbParamList->addItem(QString::fromUtf8(Params[i].Symbol.data(), static_cast<qsizetype>(Params[i].Symbol.size())));
    btnSelect = new QPushButton("Select", this);
    btnSelect->setObjectName("btnSelect");
    btnSelect->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSelect);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbParamList);
    layout->addLayout(buttons);
    resize(240, 420);

    connect(btnSelect, &QPushButton::clicked, this, [this] { Guarded([this] { btnSelectClick(); }); });
    connect(lbParamList, &QListWidget::itemDoubleClicked, this, [this] { Guarded([this] { btnSelectClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    SelectPosition(0);
}

void TFmParamList::SelectPosition(int position) {
    lbParamList->clearSelection();
    if (position >= 0 && position < lbParamList->count()) {
        lbParamList->setCurrentRow(position);
        lbParamList->scrollToItem(lbParamList->item(position));
    } else {
        lbParamList->setCurrentRow(-1);
    }
}

void TFmParamList::btnSelectClick() {
    const int row = lbParamList->currentRow();
    const QListWidgetItem* item = row >= 0 ? lbParamList->item(row) : nullptr;
    if (!item || !item->isSelected()) throw std::out_of_range("List index out of bounds (" + std::to_string(row) + ")");
    const QString symbol = item->text();
    const int i = FindSymbol(2, symbol.toStdString());
    if (Slot >= 1 && Slot <= TPnCalibrate::Slots && i > 0)
        FmDisplayData->pnCalibrate->SetSlot(Slot, symbol, Params[i].Value);
    else
        Notify(MsgKind::Information, MsgButtons::Ok, "There`s a problem with the selection of a parameter");
    accept();
}

void TFmParamList::btnCancelClick() { reject(); }
