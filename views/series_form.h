// The series dialog: chooses the independent series of the chart, or the
// dependent series, which its OK puts into the display's series list.
#pragma once

#include <QDialog>

class ColumnList;
class QPushButton;

class TFmSeries : public QDialog {
    Q_OBJECT
public:
    explicit TFmSeries(QWidget* owner);

    void FormShow();
    void OKBtnClick();
    void BtnClearSelectionClick();
    void FormResize();

    ColumnList* LbxChooseSeries;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* BtnClearSelection;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
