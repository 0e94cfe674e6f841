#include "frontend/reload_dlg.h"

#include <QCheckBox>
#include <QVBoxLayout>

TDlgReload::TDlgReload(QWidget* owner) : QDialog(owner) {
    setObjectName("DlgReload");
    setWindowTitle("Dialog");
    CbParams = new QCheckBox("Parameters", this);
    CbParams->setObjectName("CbParams");
    CbParams->setChecked(true);
    CbState = new QCheckBox("State Variables", this);
    CbState->setObjectName("CbState");
    CbState->setChecked(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CbParams);
    layout->addWidget(CbState);
}

void TDlgReload::OKBtnClick() {}
