// The progress window of a fit: the runs done and the best objective so far,
// and "Cancel", which ends the fit after the run in progress and keeps the
// best values found.
#pragma once

#include <QDialog>

#include "fit/fitter.h"

class QLabel;
class QPushButton;

class TFmFitProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFmFitProgress(QWidget* owner);

    // Shown without waiting, over every other window of the program, with
    // what is fitted to what.
    void Start(const QString& what);
    void SetProgress(const fit::FitProgress& progress);
    void Finish();
    bool Cancelled() const { return cancelled_; }

    void BtnCancelFitClick();

    QLabel* LblFitWhat;
    QLabel* LblFitRuns;
    QLabel* LblFitBest;
    QPushButton* BtnCancelFit;

protected:
    // Escape and the window's closing mean Cancel.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool cancelled_ = false;
};
