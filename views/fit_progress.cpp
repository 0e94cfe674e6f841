#include "views/fit_progress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "fit/fit_report.h"

TFmFitProgress::TFmFitProgress(QWidget* owner) : QDialog(owner) {
    setObjectName("FmFitProgress");
    setWindowTitle("Fitting");
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    LblFitWhat = new QLabel(this);
    LblFitWhat->setObjectName("LblFitWhat");
    layout->addWidget(LblFitWhat);
    LblFitRuns = new QLabel(this);
    LblFitRuns->setObjectName("LblFitRuns");
    LblFitBest = new QLabel(this);
    LblFitBest->setObjectName("LblFitBest");
    LblFitBest->setMinimumWidth(280);
    layout->addWidget(LblFitRuns);
    layout->addWidget(LblFitBest);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnCancelFit = new QPushButton("&Cancel", this);
    BtnCancelFit->setObjectName("BtnCancelFit");
    buttons->addWidget(BtnCancelFit);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(BtnCancelFit, &QPushButton::clicked, this, [this] { BtnCancelFitClick(); });
}

void TFmFitProgress::Start(const QString& what) {
    cancelled_ = false;
    LblFitWhat->setText(what);
    BtnCancelFit->setEnabled(true);
    SetProgress({});
    LblFitBest->setText("Best objective: -");
    adjustSize();
    show();
}

void TFmFitProgress::SetProgress(const fit::FitProgress& progress) {
    LblFitRuns->setText(QString("Runs: %1").arg(progress.Runs));
    LblFitBest->setText(QString("Best objective: %1").arg(QString::fromStdString(fit::ReportNumber(progress.Best))));
}

void TFmFitProgress::Finish() { hide(); }

void TFmFitProgress::BtnCancelFitClick() {
    cancelled_ = true;
    BtnCancelFit->setEnabled(false);
    LblFitRuns->setText(LblFitRuns->text() + " - cancelling");
}

void TFmFitProgress::reject() { BtnCancelFitClick(); }

void TFmFitProgress::closeEvent(QCloseEvent* event) {
    event->ignore();
    BtnCancelFitClick();
}
