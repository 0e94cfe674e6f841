// The bounds of a fit from the calibration panel: one line a parameter with
// its starting value and editable lower and upper bounds. "Fit" takes them
// once every line holds two numbers around the start.
#pragma once

#include <QDialog>
#include <vector>

#include "fit/fit_parameters.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class TDlgFitBounds : public QDialog {
    Q_OBJECT
public:
    explicit TDlgFitBounds(QWidget* owner);

    // Shows the parameters with their bounds and waits; true with the
    // bounds typed in `params` after "Fit", false after "Cancel".
    bool Ask(std::vector<fit::FitParameter>& params);

    // "Fit": the bounds read and checked; a wrong one is named in a warning
    // and the dialog stays open with the focus in its box.
    void BtnFitBoundsClick();

    // Line n is 1.. in the order of the parameters.
    QLineEdit* EdLow(int n) const { return low_[static_cast<std::size_t>(n - 1)]; }
    QLineEdit* EdHigh(int n) const { return high_[static_cast<std::size_t>(n - 1)]; }
    QPushButton* BtnFitBounds;
    QPushButton* BtnCancelBounds;

private:
    void Load();

    std::vector<fit::FitParameter> params_;
    QGridLayout* grid_;
    std::vector<QWidget*> lines_;
    std::vector<QLineEdit*> low_, high_;
};
