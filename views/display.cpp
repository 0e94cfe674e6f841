#include "views/display.h"

#include <QCheckBox>
#include <QVBoxLayout>

TFmDisplayData::TFmDisplayData(QWidget* owner) : QDialog(owner) {
    setObjectName("FmDisplayData");
    setWindowTitle("Model Output Display");
    cbParams = new QCheckBox("Parameters", this);
    cbParams->setObjectName("cbParams");
    cbParams->setChecked(true);
    cbState = new QCheckBox("States", this);
    cbState->setObjectName("cbState");
    cbState->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cbParams);
    layout->addWidget(cbState);
}
