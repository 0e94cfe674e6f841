#include "views/fit_bounds_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/notify.h"
#include "widgets/error_report.h"
#include "widgets/number_format.h"
#include "run/run_options.h"

TDlgFitBounds::TDlgFitBounds(QWidget* owner) : QDialog(owner) {
    setObjectName("DlgFitBounds");
    setWindowTitle("Fit Parameters");
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel("Each run starts from the states of the parameter file; the fit changes the parameters\n"
                            "below within their bounds to meet the observations.", this);
    layout->addWidget(note);
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(12);
    const char* heads[] = {"Parameter", "Start", "Lower bound", "Upper bound"};
    for (int c = 0; c < 4; ++c) {
        auto* head = new QLabel(QString("<b>%1</b>").arg(heads[c]), this);
        grid_->addWidget(head, 0, c);
    }
    layout->addLayout(grid_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    BtnFitBounds = new QPushButton("Fit", this);
    BtnFitBounds->setObjectName("BtnFitBounds");
    BtnFitBounds->setDefault(true);
    BtnCancelBounds = new QPushButton("Cancel", this);
    BtnCancelBounds->setObjectName("BtnCancelBounds");
    buttons->addWidget(BtnFitBounds);
    buttons->addWidget(BtnCancelBounds);
    layout->addLayout(buttons);
    connect(BtnFitBounds, &QPushButton::clicked, this, [this] { Guarded([this] { BtnFitBoundsClick(); }); });
    connect(BtnCancelBounds, &QPushButton::clicked, this, &QDialog::reject);
}

void TDlgFitBounds::Load() {
    for (QWidget* w : lines_) delete w;
    lines_.clear();
    low_.clear();
    high_.clear();
    for (std::size_t j = 0; j < params_.size(); ++j) {
        const fit::FitParameter& p = params_[j];
        const int row = static_cast<int>(j) + 1;
        auto* symbol = new QLabel(QString::fromStdString(p.Symbol), this);
        auto* start = new QLabel(ShortestText(p.Start), this);
        auto* low = new QLineEdit(ShortestText(p.Low), this);
        auto* high = new QLineEdit(ShortestText(p.High), this);
        low->setObjectName(QString("EdLow%1").arg(row));
        high->setObjectName(QString("EdHigh%1").arg(row));
        for (QLineEdit* box : {low, high}) box->setMinimumWidth(110);
        grid_->addWidget(symbol, row, 0);
        grid_->addWidget(start, row, 1);
        grid_->addWidget(low, row, 2);
        grid_->addWidget(high, row, 3);
        lines_.insert(lines_.end(), {symbol, start, low, high});
        low_.push_back(low);
        high_.push_back(high);
    }
    adjustSize();
}

bool TDlgFitBounds::Ask(std::vector<fit::FitParameter>& params) {
    params_ = params;
    Load();
    if (!low_.empty()) low_[0]->setFocus();
    if (exec() != QDialog::Accepted) return false;
    params = params_;
    return true;
}

void TDlgFitBounds::BtnFitBoundsClick() {
    std::vector<fit::FitParameter> typed = params_;
    for (std::size_t j = 0; j < typed.size(); ++j) {
        QLineEdit* box = low_[j];
        try {
            typed[j].Low = TextToFloat(box->text().toStdString());
            box = high_[j];
            typed[j].High = TextToFloat(box->text().toStdString());
            // The box to mend: the upper one only when the start lies above it.
            if (typed[j].Low < typed[j].High && typed[j].Start >= typed[j].Low) box = high_[j];
            else box = low_[j];
            fit::CheckBounds(typed[j], typed[j].Symbol);
        } catch (const std::exception& e) {
            Notify(MsgKind::Warning, MsgButtons::Ok, e.what());
            box->setFocus();
            return;
        }
    }
    params_ = typed;
    accept();
}
