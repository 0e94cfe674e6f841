#include "views/series_form.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/error_report.h"
#include "views/view_windows.h"
#include "views/column_list.h"
#include "views/display.h"

TFmSeries::TFmSeries(QWidget* owner) : QDialog(owner) {
    setObjectName("FmSeries");
    setWindowTitle("Series");
    LbxChooseSeries = new ColumnList(this);
    LbxChooseSeries->setObjectName("LbxChooseSeries");
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    BtnClearSelection = new QPushButton("Clear Selection", this);
    BtnClearSelection->setObjectName("BtnClearSelection");
    BtnClearSelection->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnClearSelection);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LbxChooseSeries, 1);
    layout->addLayout(buttons);
    resize(820, 520);

    connect(OKBtn, &QPushButton::clicked, this, [this] {
        accept();  // the dialog closes with OK even when its action fails
        Guarded([this] { OKBtnClick(); });
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnClearSelection, &QPushButton::clicked, this, [this] { Guarded([this] { BtnClearSelectionClick(); }); });
}

void TFmSeries::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TFmSeries::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFmSeries::FormShow() {
    FillListBox(*LbxChooseSeries);
    if (FmDisplayData->IsXAxis) {
        setWindowTitle("Independent Axis - Choose one series.");
        LbxChooseSeries->setSelectionMode(QAbstractItemView::SingleSelection);
        BtnClearSelection->setEnabled(false);
        BtnClearSelection->setVisible(false);
        LbxChooseSeries->SelectText(FmDisplayData->GetXSeries());
    } else {
        setWindowTitle("Dependent Axis - Choose series.");
        LbxChooseSeries->setSelectionMode(QAbstractItemView::MultiSelection);
        BtnClearSelection->setEnabled(true);
        BtnClearSelection->setVisible(true);
        LbxChooseSeries->SetSelectedRows(FmDisplayData->LbxSeries->SelectedRows());
    }
    for (int i = 0; i < LbxChooseSeries->count(); ++i)
        if (LbxChooseSeries->item(i)->isSelected()) {
            LbxChooseSeries->scrollToItem(LbxChooseSeries->item(i));
            break;
        }
}

void TFmSeries::OKBtnClick() {
    if (FmDisplayData->IsXAxis) {
        const auto chosen = LbxChooseSeries->SelectedTexts();
        if (!chosen.empty()) FmDisplayData->SetXSeries(chosen.front());
    } else {
        // The dialog's choice becomes the display's; the chart shows it at
        // the next update.
        FmDisplayData->LbxSeries->SetSelectedRows(LbxChooseSeries->SelectedRows());
    }
}

void TFmSeries::BtnClearSelectionClick() { FmDisplayData->ClearSelection(*LbxChooseSeries); }

void TFmSeries::FormResize() {
    if (FmDisplayData) FmDisplayData->SetListColumns(*LbxChooseSeries);
}
