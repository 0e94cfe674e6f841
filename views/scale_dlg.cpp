#include "views/scale_dlg.h"

TDlgScale::TDlgScale(QWidget* owner) : QDialog(owner) {
    setObjectName("DlgScale");
    setWindowTitle("Axis Scale");
}
