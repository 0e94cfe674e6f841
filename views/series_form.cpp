#include "views/series_form.h"

TFmSeries::TFmSeries(QWidget* owner) : QDialog(owner) {
    setObjectName("FmSeries");
    setWindowTitle("Series");
}
