// The error window: the about window's picture beside the message of the
// failure that ended a run.
#pragma once

#include "frontend/about_box.h"

class QLabel;
class QPlainTextEdit;

class TFmTrouble : public TAboutBox {
    Q_OBJECT
public:
    explicit TFmTrouble(QWidget* owner);

    // Shows `message` as the memo's only line, modally.
    void ShowError(const QString& message);
    // A click on the picture.
    void ProgramIconClick();

    QLabel* LblTrouble;
    QPlainTextEdit* MmError;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
