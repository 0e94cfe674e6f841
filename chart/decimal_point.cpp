#include "chart/decimal_point.h"

#include <QLocale>
#include <clocale>

void KeepDecimalPoint() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    QLocale::setDefault(c);
}
