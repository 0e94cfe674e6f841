#include "frontend/progress_bar.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/notify.h"
#include "core/stypes.h"
#include "widgets/error_report.h"
#include "widgets/number_format.h"
#include "frontend/workbench.h"
#include "views/display.h"

TFmProgress::TFmProgress(QWidget* owner) : QDialog(owner) {
    setObjectName("FmProgress");
    // A fixed-size dialog without title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    LblBegin = new QLabel(this);
    LblBegin->setObjectName("LblBegin");
    runProgressBar = new QProgressBar(this);
    runProgressBar->setObjectName("runProgressBar");
    runProgressBar->setRange(0, 100);
    runProgressBar->setTextVisible(false);
    runProgressBar->setMinimumWidth(280);
    LblEnd = new QLabel(this);
    LblEnd->setObjectName("LblEnd");
    BtnCancel = new QPushButton("&Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setAutoDefault(false);

    auto* bar = new QHBoxLayout;
    bar->addWidget(LblBegin);
    bar->addWidget(runProgressBar, 1);
    bar->addWidget(LblEnd);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnCancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(14);
    layout->addLayout(bar);
    layout->addLayout(buttons);
    connect(BtnCancel, &QPushButton::clicked, this, [this] { Guarded([this] { BtnCancelClick(); }); });
}

void TFmProgress::Start() {
    setWindowTitle(QString::fromUtf8(ModelDef.Name.data(), static_cast<qsizetype>(ModelDef.Name.size())) +
                   " run progress");
    LblBegin->setText(ShortestText(StartTime));
    LblEnd->setText(ShortestText(StopTime));
    runProgressBar->setValue(0);
    adjustSize();
    setFixedSize(sizeHint());
    if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
    show();
}

void TFmProgress::SetPosition(int percent) {
    if (runProgressBar->value() != percent) runProgressBar->setValue(percent);
}

void TFmProgress::Finish() { hide(); }

void TFmProgress::BtnCancelClick() {
    if (Notify(MsgKind::Confirmation, MsgButtons::YesNo, "Are you sure you want to abort this run?") !=
        MsgResult::Yes)
        return;
    CancelRequested = true;
    FmDisplayData->AutoChart = false;  // a cancelled run opens no chart
}

void TFmProgress::reject() { Guarded([this] { BtnCancelClick(); }); }

void TFmProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}
