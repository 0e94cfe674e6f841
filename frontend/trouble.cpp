#include "frontend/trouble.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/notify.h"
#include "widgets/error_report.h"

TFmTrouble::TFmTrouble(QWidget* owner) : TAboutBox(owner) {
    setObjectName("FmTrouble");
    setWindowTitle("Error");
    // The about window's maker, model and version are not this window's.
    for (QWidget* w : {static_cast<QWidget*>(LblMaker), static_cast<QWidget*>(ProductName),
                       static_cast<QWidget*>(Version), static_cast<QWidget*>(MmContact)})
        w->hide();
    LblTrouble = new QLabel("Having trouble \nparameterizing?\nClick the icon on the left.", this);
    LblTrouble->setObjectName("LblTrouble");
    MmError = new QPlainTextEdit(this);
    MmError->setObjectName("MmError");
    MmError->setReadOnly(true);
    MmError->setMinimumSize(320, 72);
    TextColumn->insertWidget(0, LblTrouble);
    TextColumn->insertWidget(1, MmError);
    ProgramIcon->setCursor(Qt::PointingHandCursor);
    ProgramIcon->installEventFilter(this);
}

void TFmTrouble::ShowError(const QString& message) {
    MmError->clear();
    MmError->appendPlainText(message);
    MmFunding->hide();
    MmFunding->setEnabled(false);
    exec();
}

void TFmTrouble::ProgramIconClick() { Notify(MsgKind::Confirmation, MsgButtons::Ok, "Got milk?"); }

bool TFmTrouble::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ProgramIcon && event->type() == QEvent::MouseButtonRelease) {
        Guarded([this] { ProgramIconClick(); });
        return true;
    }
    return TAboutBox::eventFilter(watched, event);
}
