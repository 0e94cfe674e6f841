#include "views/scale_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "widgets/error_report.h"
#include "widgets/field_events.h"
#include "widgets/number_format.h"
#include "views/view_windows.h"
#include "run/run_options.h"
#include "views/display.h"
#include "chart/output_chart.h"

TDlgScale::TDlgScale(QWidget* owner) : QDialog(owner) {
    setObjectName("DlgScale");
    setWindowTitle("Axis Parameters");
    auto* frame = new QGroupBox(this);
    frame->setObjectName("Frame");

    RGAxisType = new QGroupBox("Axis Type", frame);
    RGAxisType->setObjectName("RGAxisType");
    RGAxisTypeItems = new QButtonGroup(RGAxisType);
    auto* types = new QHBoxLayout(RGAxisType);
    const char* captions[] = {"Li&near", "Lo&garithmic"};
    for (int i = 0; i < 2; ++i) {
        auto* item = new QRadioButton(captions[i], RGAxisType);
        RGAxisTypeItems->addButton(item, i);
        types->addWidget(item);
    }

    auto edit = [this, frame](const char* name) {
        auto* e = new QLineEdit(frame);
        e->setObjectName(name);
        OnLeave(e, [this, e] { EditExit(e); });
        return e;
    };
    EdMinValue = edit("EdMinValue");
    EdMaxValue = edit("EdMaxValue");
    EdIncrem = edit("EdIncrem");
    auto* heading = new QLabel("<b>Scale</b>", frame);
    auto* fields = new QFormLayout;
    fields->addRow("&Minimum", EdMinValue);
    fields->addRow("Ma&ximum", EdMaxValue);
    LblIncrem = new QLabel("&Increment", frame);
    LblIncrem->setBuddy(EdIncrem);
    fields->addRow(LblIncrem, EdIncrem);
    // The increment is kept from the axis and handed back, not edited.
    LblIncrem->hide();
    EdIncrem->hide();
    CBAuto = new QCheckBox("&Auto Scale", frame);
    CBAuto->setObjectName("CBAuto");

    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(RGAxisType);
    inner->addWidget(heading);
    inner->addLayout(fields);
    inner->addWidget(CBAuto);

    OKBtn = new QPushButton("&OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("&Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    // The type applies as it changes, by mouse, key or an assistive tool's
    // toggle (the showing's own setting changes nothing).
    connect(RGAxisTypeItems, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) Guarded([this] { RGAxisTypeExit(); });
    });
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        accept();  // the dialog closes with OK even when its action fails
        Guarded([this] { OKBtnClick(); });
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TDlgScale::~TDlgScale() {
    // An edit losing the focus runs its handler; it must do so while the
    // dialog is still whole, not while its base is being taken apart.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

void TDlgScale::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Guarded([this] { FormShow(); });
}

void TDlgScale::FormShow() {
    const bool isX = FmDisplayData->IsXAxis;
    OutputChart* chart = FmDisplayData->ChOutput;
    setWindowTitle(isX ? "Independent Axis" : "Dependent Axis");
    RGAxisTypeItems->button(chart->Logarithmic(isX) ? 1 : 0)->setChecked(true);
    if (isX) chart->RescaleIndependent();
    const QCPRange range = chart->Axis(isX)->range();
    EdMinValue->setText(ShortestText(range.lower));
    EdMaxValue->setText(ShortestText(range.upper));
    EdIncrem->setText(ShortestText(chart->Increment(isX)));
    CBAuto->setChecked(chart->Automatic(isX));
    EdMinValue->setFocus();
}

void TDlgScale::EditExit(QLineEdit* edit) {
    if (edit->isModified()) CBAuto->setChecked(false);
}

void TDlgScale::RGAxisTypeExit() {
    FmDisplayData->SetAxisLogarithmic(FmDisplayData->IsXAxis, RGAxisTypeItems->checkedId() == 1);
}

void TDlgScale::OKBtnClick() {
    const bool isX = FmDisplayData->IsXAxis;
    if (CBAuto->isChecked()) {
        FmDisplayData->SetAxisScale(isX, true);
        return;
    }
    const double min = TextToFloat(EdMinValue->text().toStdString());
    const double max = TextToFloat(EdMaxValue->text().toStdString());
    const double increment = TextToFloat(EdIncrem->text().toStdString());
    FmDisplayData->SetAxisScale(isX, false, min, max, increment);
}
