// The calibration panel in the chart's lower right corner: up to four
// parameters picked by symbol, their values typed in, and "Run", which
// reloads from the parameter file as far as "Parameters" and "States" say,
// runs the model and reads the new output into the display's table; "Fit..."
// fits the slots' parameters to observations.
#pragma once

#include <QFrame>
#include <optional>
#include <vector>

#include "fit/fitter.h"

class ClickLabel;
class QCheckBox;
class QLineEdit;
class QPushButton;

class TPnCalibrate : public QFrame {
    Q_OBJECT
public:
    static constexpr int Slots = 4;

    explicit TPnCalibrate(QWidget* parent);
    ~TPnCalibrate() override;

    // Slot n is 1..4.
    ClickLabel* lblPar(int n) const { return lblPar_[n - 1]; }
    QLineEdit* mePar(int n) const { return mePar_[n - 1]; }
    // A slot is in use once a parameter has been picked for it.
    bool SlotInUse(int n) const;

    void lblParClick(int n);
    void meParExit(int n);
    void refreshMeParCalibrate();
    void BtnRunCalibrateClick();
    // "Fit...": reloads as "Run" does, asks for the bounds of the slots'
    // parameters, fits them to the display's observations (or to a file the
    // user picks when it shows none) with a progress window, puts the fitted
    // values into Params as typed values are, and runs again for the chart.
    void BtnFitCalibrateClick();
    // The parameters of the slots in use, each once, in slot order.
    std::vector<int> SlotParameters() const;
    // The picker's choice for slot n.
    void SetSlot(int n, const QString& symbol, double value);

    QPushButton* BtnRunCalibrate;
    QPushButton* BtnFitCalibrate;
    QCheckBox* cbParams;
    QCheckBox* cbState;

private:
    // The observations to fit to; nothing when the user cancels the choice.
    std::optional<fit::Observations> ObservationsForFit();

    ClickLabel* lblPar_[Slots];
    QLineEdit* mePar_[Slots];
};
