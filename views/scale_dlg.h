// The axis dialog: fixed or automatic, linear or logarithmic scale of one
// axis of the display's chart.
#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TDlgScale : public QDialog {
    Q_OBJECT
public:
    explicit TDlgScale(QWidget* owner);
    ~TDlgScale() override;

    void FormShow();
    void OKBtnClick();
    void EditExit(QLineEdit* edit);
    void RGAxisTypeExit();

    QGroupBox* RGAxisType;
    QButtonGroup* RGAxisTypeItems;  // 0 "Li&near", 1 "Lo&garithmic"
    QLineEdit* EdMinValue;
    QLineEdit* EdMaxValue;
    QLineEdit* EdIncrem;
    QLabel* LblIncrem;
    QCheckBox* CBAuto;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

protected:
    void showEvent(QShowEvent* event) override;
};
