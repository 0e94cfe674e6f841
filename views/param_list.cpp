#include "views/param_list.h"

TFmParamList::TFmParamList(QWidget* owner) : QDialog(owner) {
    setObjectName("FmParamList");
    setWindowTitle("Model Parameters");
}
