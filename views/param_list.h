// The parameter picker of the calibration panel.
#pragma once

#include <QDialog>

class TFmParamList : public QDialog {
    Q_OBJECT
public:
    explicit TFmParamList(QWidget* owner);
};
