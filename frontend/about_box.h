// The about window: who makes the workbench, the model and its version, and
// how to reach the makers.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner);

    QLabel* ProgramIcon;
    QLabel* LblMaker;
    QLabel* ProductName;
    QLabel* Version;
    QPlainTextEdit* MmContact;
    QPlainTextEdit* MmFunding;
    QPushButton* OKButton;

protected:
    // The column right of the picture, where variants add their own texts.
    QVBoxLayout* TextColumn;
};
