#include "views/calibrate_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/notify.h"
#include "core/stypes.h"
#include "frontend/error_report.h"
#include "frontend/field_events.h"
#include "frontend/main_form.h"
#include "frontend/number_format.h"
#include "frontend/panels.h"
#include "frontend/reload_dlg.h"
#include "frontend/workbench.h"
#include "run/run_options.h"
#include "views/display.h"
#include "views/param_list.h"

namespace {

std::string CaptionOf(const ClickLabel* label) { return label->text().toStdString(); }

}  // namespace

TPnCalibrate::TPnCalibrate(QWidget* parent) : QFrame(parent) {
    setObjectName("pnCalibrate");
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setVerticalSpacing(3);
    for (int n = 1; n <= Slots; ++n) {
        auto* label = new ClickLabel(QString("Parameter %1").arg(n), this);
        label->setObjectName(QString("lblPar%1").arg(n));
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip("Click to choose a parameter");
        auto* box = new QLineEdit(this);
        box->setObjectName(QString("mePar%1").arg(n));
        box->setEnabled(false);
        box->setFixedWidth(90);
        lblPar_[n - 1] = label;
        mePar_[n - 1] = box;
        grid->addWidget(label, n - 1, 0);
        grid->addWidget(box, n - 1, 1);
        connect(label, &ClickLabel::clicked, this, [this, n] { Guarded([this, n] { lblParClick(n); }); });
        OnLeave(box, [this, n] { meParExit(n); });
    }
    BtnRunCalibrate = new QPushButton("Run", this);
    BtnRunCalibrate->setObjectName("BtnRunCalibrate");
    BtnRunCalibrate->setAutoDefault(false);
    cbParams = new QCheckBox("Parameters", this);
    cbParams->setObjectName("cbParams");
    cbParams->setChecked(true);
    cbState = new QCheckBox("States", this);
    cbState->setObjectName("cbState");
    cbState->setChecked(true);
    grid->addWidget(BtnRunCalibrate, Slots, 0, 1, 2);
    grid->addWidget(cbParams, Slots + 1, 0);
    grid->addWidget(cbState, Slots + 1, 1);
    connect(BtnRunCalibrate, &QPushButton::clicked, this, [this] { Guarded([this] { BtnRunCalibrateClick(); }); });
    adjustSize();
}

TPnCalibrate::~TPnCalibrate() {
    // A value box losing the focus runs its handler, which needs the whole panel.
    for (QLineEdit* box : mePar_)
        if (window()->focusWidget() == box) box->clearFocus();
}

bool TPnCalibrate::SlotInUse(int n) const { return !lblPar(n)->text().contains("Parameter"); }

void TPnCalibrate::lblParClick(int n) {
    FmParamList->Slot = n;
    FmParamList->SelectPosition(FindSymbol(2, CaptionOf(lblPar(n))) - 1);
    FmParamList->exec();
}

void TPnCalibrate::SetSlot(int n, const QString& symbol, double value) {
    lblPar(n)->setText(symbol);
    mePar(n)->setText(ShortestText(value));
    mePar(n)->setEnabled(true);
}

void TPnCalibrate::meParExit(int n) {
    QLineEdit* box = mePar(n);
    const int i = FindSymbol(2, CaptionOf(lblPar(n)));
    if (box->isModified()) {
        try {
            const double value = TextToFloat(box->text().toStdString());
            if (i > 0) Params[i].Value = value;
        } catch (const EConvertError&) {
            Notify(MsgKind::Warning, MsgButtons::Ok, "Please choose a number");
            // Back into the box once the focus has settled where the user sent it.
            QTimer::singleShot(0, box, [box] { box->setFocus(Qt::OtherFocusReason); });
        }
    }
    refreshMeParCalibrate();
}

void TPnCalibrate::refreshMeParCalibrate() {
    for (int n = 1; n <= Slots; ++n) {
        if (!SlotInUse(n)) continue;
        const int i = FindSymbol(2, CaptionOf(lblPar(n)));
        if (i > 0) mePar(n)->setText(ShortestText(Params[i].Value));
    }
}

void TPnCalibrate::BtnRunCalibrateClick() {
    DlgReload->OKBtnClick();
    MainForm->BtnRunClick();
    FmDisplayData->LoadOutputFile();
}
