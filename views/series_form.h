// The series dialog: chooses the independent or the dependent series of the chart.
#pragma once

#include <QDialog>

class TFmSeries : public QDialog {
    Q_OBJECT
public:
    explicit TFmSeries(QWidget* owner);
};
