// The driver editor: the driver file as a text table.
#pragma once

#include <QDialog>

class TFmNote : public QDialog {
    Q_OBJECT
public:
    explicit TFmNote(QWidget* owner);
};
