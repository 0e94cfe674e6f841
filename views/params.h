// The parameter editor: every parameter, page by page for each process that owns parameters.
#pragma once

#include <QDialog>

class TFmParameter : public QDialog {
    Q_OBJECT
public:
    explicit TFmParameter(QWidget* owner);
};
