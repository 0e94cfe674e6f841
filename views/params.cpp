#include "views/params.h"

TFmParameter::TFmParameter(QWidget* owner) : QDialog(owner) {
    setObjectName("FmParameter");
    setWindowTitle("Parameters - File: ");
}
