// The progress window of a run: the start and stop times on either side of a
// bar, and the only way to stop a run early.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TFmProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFmProgress(QWidget* owner);

    // Shown without waiting when a run starts, hidden when it ends.
    void Start();
    void SetPosition(int percent);
    void Finish();

    // "&Cancel": asks, then asks the run to stop after its step.
    void BtnCancelClick();

    QLabel* LblBegin;
    QProgressBar* runProgressBar;
    QLabel* LblEnd;
    QPushButton* BtnCancel;

protected:
    // Escape and the window's closing mean Cancel, never a silent hide.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
};
