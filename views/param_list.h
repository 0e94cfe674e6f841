// The parameter picker of the calibration panel: every parameter's symbol in
// table order; "Select" (or a double click) puts the chosen one into the
// panel's slot the picker was opened for.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

class TFmParamList : public QDialog {
    Q_OBJECT
public:
    explicit TFmParamList(QWidget* owner);

    // The panel's slot (1..4) the picker chooses for.
    int Slot = 0;

    // Selects the item at `position` (from 0); none when it is out of range.
    void SelectPosition(int position);

    void btnSelectClick();
    void btnCancelClick();

    QListWidget* lbParamList;
    QPushButton* btnSelect;
    QPushButton* btnCancel;
};
