// The axis dialog: fixed or automatic, linear or logarithmic scale of one chart axis.
#pragma once

#include <QDialog>

class TDlgScale : public QDialog {
    Q_OBJECT
public:
    explicit TDlgScale(QWidget* owner);
};
