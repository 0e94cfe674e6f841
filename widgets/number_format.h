// Numbers as the windows show them. Locale-free: the decimal mark is a point.
#pragma once

#include <QString>

// Shortest general form with up to 15 significant digits (1, 0.5, 365, 5E-5).
QString ShortestText(double value);
// General form with at most `digits` significant digits (12345.6 -> 12346 for 5).
QString GeneralText(double value, int digits);
