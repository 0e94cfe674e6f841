// Numbers as they stand in the model files: the fixed formats the files are
// written in, and the one number syntax they are read with. Nothing here
// depends on the process locale: the decimal mark is always a point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fileio {

// Longest text any of the Format functions below produces.
inline constexpr std::size_t MaxNumberText = 32;

// The 23-character real of the parameter file: a sign position (blank or "-"),
// one digit, a point, 14 digits, "E", the exponent's sign and 4 exponent
// digits, rounded to 15 significant digits (1.5 -> " 1.50000000000000E+0000").
// Writes exactly 23 characters to `out`.
inline constexpr std::size_t StandardRealWidth = 23;
void FormatStandardReal(double value, char* out);

// Scientific notation with 13 significant digits, upper-case "E" and at least
// 3 exponent digits, unpadded (1 -> "1.000000000000E+000"). Returns the length.
std::size_t FormatScientific13(double value, char* out);

// The general format with up to 15 significant digits: plain decimals for 0
// and for magnitudes from 0.0001 up to below 1E15, scientific otherwise
// (0.00005 -> "5E-5"); no trailing zeros, no unneeded point. Unpadded;
// returns the length.
std::size_t FormatGeneral15(double value, char* out);

// Values that are not finite are written as "NAN", "INF" and "-INF" by all
// three formats. Only the output file reads them back: in the files people
// write (parameters, drivers) such a word is no number.
enum class NonFiniteWords : std::uint8_t {
    Refused,  // "nan", "inf", "infinity" are "Invalid numeric input"
    Read,     // NAN, INF and INFINITY (any letter case, optional sign) read as such
};

// Reads one number character by character, in bounded memory whatever the
// length of the text: optional sign, digits with an optional point, optional
// exponent with "E" or "e"; with NonFiniteWords::Read also the words above.
// Digits beyond those that can change the rounded result are summarised, so
// a number of any length is read exactly rounded.
class NumberScanner {
public:
    void Reset() noexcept { *this = NumberScanner(); }
    void Feed(char c) noexcept;
    // The number fed so far; throws EInOutError "Invalid numeric input" when
    // the text is not a number or its magnitude is too large for a double.
    // Magnitudes too small for a double read as 0.
    double Value(NonFiniteWords words) const;

private:
    // 767 significant digits decide the rounding of any double; one more
    // non-zero digit stands for everything cut off after them.
    static constexpr int MaxDigits = 780;
    static constexpr std::int64_t ExponentCap = 1'000'000'000;

    enum class State : std::uint8_t { Start, Sign, Integer, Point, Fraction, ExpMark, ExpSign, ExpDigits, Word, Bad };

    State state_ = State::Start;
    bool negative_ = false;
    bool expNegative_ = false;
    bool dropped_ = false;  // a non-zero digit beyond MaxDigits was cut off
    bool anyDigit_ = false;
    int count_ = 0;         // significant digits kept
    int wordLength_ = 0;
    std::int64_t pointShift_ = 0;  // value = 0.digits x 10^(pointShift_ + exponent)
    std::int64_t exponent_ = 0;
    char digits_[MaxDigits + 1] = {};
    char word_[9] = {};
};

// The whole text as one number, as NumberScanner reads it.
double ParseNumber(std::string_view text, NonFiniteWords words = NonFiniteWords::Refused);

// The usual case of a number in plain notation (no words) at `first`, ended
// by a blank, tab or line end before `limit`: read in one pass to the same
// correctly rounded double as NumberScanner, returning where the number
// ends. Null for anything else (a word, a magnitude beyond a double's range,
// a text that is no number, no end before `limit`), which the scanner then
// decides on.
const char* ReadPlainNumber(const char* first, const char* limit, double& value) noexcept;

}  // namespace fileio
