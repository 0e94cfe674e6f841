#include "views/data.h"

TDataForm::TDataForm(QWidget* owner) : QDialog(owner) { setObjectName("DataForm"); }

int TDataForm::ShowStates() { return exec(); }

void TDataForm::ShowProcess() { show(); }

void TDataForm::UpdateProcess() {}
