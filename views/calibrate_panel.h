// The calibration panel in the chart's lower right corner: up to four
// parameters picked by symbol, their values typed in, and "Run", which
// reloads from the parameter file as far as "Parameters" and "States" say,
// runs the model and reads the new output into the display's table.
#pragma once

#include <QFrame>

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
    // The picker's choice for slot n.
    void SetSlot(int n, const QString& symbol, double value);

    QPushButton* BtnRunCalibrate;
    QCheckBox* cbParams;
    QCheckBox* cbState;

private:
    ClickLabel* lblPar_[Slots];
    QLineEdit* mePar_[Slots];
};
