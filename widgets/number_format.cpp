#include "widgets/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "fileio/number_text.h"

QString ShortestText(double value) {
    char text[fileio::MaxNumberText];
    const std::size_t n = fileio::FormatGeneral15(value, text);
    return QString::fromLatin1(text, static_cast<qsizetype>(n));
}

QString GeneralText(double value, int digits) {
    if (!std::isfinite(value) || value == 0 || digits >= 15) return ShortestText(value);
    // d.ddddE±x, rounded to `digits` significant digits.
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, digits - 1);
    *r.ptr = '\0';
    char* mark = std::strchr(text, 'e');
    const int exponent = std::atoi(mark + 1);
    double rounded = 0;
    std::from_chars(text, r.ptr, rounded);
    if (exponent >= -4 && exponent < digits) return ShortestText(rounded);
    // Scientific, as the general form writes it: no trailing zeros, no
    // exponent sign for positive exponents, no leading exponent zeros.
    char* end = mark;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    return QString::fromLatin1(text, end - text) + "E" + QString::number(exponent);
}
