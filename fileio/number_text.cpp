#include "fileio/number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

#include "core/stypes.h"

namespace fileio {
namespace {

// Writes NAN, INF or -INF; returns the length.
std::size_t FormatNonFinite(double value, char* out) {
    const char* text = std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF";
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return n;
}

// A finite value in scientific notation with `fraction` digits after the
// point, split into its parts: out holds "[-]d.ddd", the decimal exponent is
// returned through `exponent`. Returns the length of the mantissa text.
std::size_t Mantissa(double value, int fraction, char* out, int& exponent) {
    char text[MaxNumberText + 16];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, fraction);
    const char* e = static_cast<const char*>(std::memchr(text, 'e', static_cast<std::size_t>(r.ptr - text)));
    const std::size_t length = static_cast<std::size_t>(e - text);
    std::memcpy(out, text, length);
    int x = 0;
    for (const char* p = e + 2; p < r.ptr; ++p) x = x * 10 + (*p - '0');
    exponent = e[1] == '-' ? -x : x;
    return length;
}

// "E", the exponent's sign when `alwaysSign` or the exponent is negative, and
// its digits padded with zeros to `minDigits`. Returns the length.
std::size_t Exponent(int exponent, int minDigits, bool alwaysSign, char* out) {
    std::size_t n = 0;
    out[n++] = 'E';
    if (exponent < 0) out[n++] = '-';
    else if (alwaysSign) out[n++] = '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    char digits[8];
    int count = 0;
    for (int m = magnitude; m > 0 || count == 0; m /= 10) digits[count++] = static_cast<char>('0' + m % 10);
    for (int i = count; i < minDigits; ++i) out[n++] = '0';
    while (count > 0) out[n++] = digits[--count];
    return n;
}

// Drops trailing zeros after a point, and the point when nothing follows it.
std::size_t TrimFraction(const char* text, std::size_t length) {
    if (std::memchr(text, '.', length) == nullptr) return length;
    while (text[length - 1] == '0') --length;
    if (text[length - 1] == '.') --length;
    return length;
}

// 10^k for k = 0..27, each exact in the 64-bit mantissa of a long double
// (5^27 < 2^63).
constexpr int ExactPowers = 27;
const long double PowersOfTen[ExactPowers + 1] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
    1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L,
};

// 10^p (0 <= p <= 350) from the exact powers: at most 13 roundings, each
// within 2^-64 of the product.
long double PowerOfTen(int p) {
    long double power = PowersOfTen[p % ExactPowers];
    for (int i = p / ExactPowers; i > 0; --i) power *= PowersOfTen[ExactPowers];
    return power;
}

// floor(log10(magnitude)), or one less, for a finite magnitude above 0.
int DecimalExponentEstimate(double magnitude) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const int binary = biased != 0 ? biased - 1023 : std::ilogb(magnitude);  // subnormals
    const double estimate = binary * 0.30102999566398119521;
    const int k = static_cast<int>(estimate);
    return k > estimate ? k - 1 : k;
}

// The 13 significant digits of a finite magnitude above 0 as a whole number
// from 10^12 to 10^13 - 1, and its decimal exponent, rounded exactly as
// to_chars rounds. The magnitude is scaled by a power of ten in the 64-bit
// mantissa of a long double (whose range holds every scaled double), with an
// error below 10^-5 of the last digit's unit; where the discarded fraction
// lies within 2^-16 of one half (a tie above all), this gives up and returns
// false.
bool Digits13(double magnitude, std::uint64_t& digits, int& exponent) {
    // The digits are read from the 80-bit layout of the x86 long double.
    constexpr bool Extended = std::numeric_limits<long double>::digits == 64 && std::endian::native == std::endian::little;
    if constexpr (!Extended) return false;
    int k = DecimalExponentEstimate(magnitude);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int p = 12 - k;
        const long double x = p >= 0 ? static_cast<long double>(magnitude) * PowerOfTen(p)
                                     : static_cast<long double>(magnitude) / PowerOfTen(-p);
        if (x >= 1e13L) {
            ++k;
            continue;
        }
        if (x < 1e12L) return false;  // only where the scaling's error straddles 10^12
        // Adding 2^63 leaves the nearest whole number in the 64-bit mantissa,
        // whose integer value is then 2^63 + that number.
        constexpr long double Shift = 9223372036854775808.0L;
        const long double shifted = x + Shift;
        const long double fraction = x - (shifted - Shift);  // from -1/2 to 1/2, exact
        constexpr long double Margin = 1.0L / 65536;
        if (std::fabs(fraction) >= 0.5L - Margin) return false;
        std::uint64_t mantissa = 0;
        std::memcpy(&mantissa, &shifted, sizeof mantissa);
        digits = mantissa - (std::uint64_t{1} << 63);
        exponent = k;
        if (digits == 10'000'000'000'000) {
            digits = 1'000'000'000'000;
            ++exponent;
        }
        return true;
    }
    return false;
}

// Two decimal digits of each number 0..99.
constexpr char DigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The 6 digits of n (below 10^6) at out, with leading zeros.
void PutSixDigits(std::uint32_t n, char* out) {
    for (int i = 4; i >= 0; i -= 2) {
        std::memcpy(out + i, DigitPairs + 2 * (n % 100), 2);
        n /= 100;
    }
}

// The 12 digits of n (below 10^12) at out, with leading zeros; in two halves
// of 32 bits, whose divisions are cheaper.
void PutTwelveDigits(std::uint64_t n, char* out) {
    PutSixDigits(static_cast<std::uint32_t>(n / 1'000'000), out);
    PutSixDigits(static_cast<std::uint32_t>(n % 1'000'000), out + 6);
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool IsLetter(char c) noexcept { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void FormatStandardReal(double value, char* out) {
    std::memset(out, ' ', StandardRealWidth);
    if (!std::isfinite(value)) {
        if (!std::isnan(value) && value < 0) out[0] = '-';
        FormatNonFinite(std::fabs(value), out + 1);
        return;
    }
    if (value == 0) {  // -0 too: a blank sign for zero
        std::memcpy(out, " 0.00000000000000E+0000", StandardRealWidth);
        return;
    }
    out[0] = value < 0 ? '-' : ' ';
    int exponent = 0;
    const std::size_t length = Mantissa(std::fabs(value), 14, out + 1, exponent);
    Exponent(exponent, 4, true, out + 1 + length);
}

std::size_t FormatScientific13(double value, char* out) {
    if (!std::isfinite(value)) return FormatNonFinite(value, out);
    std::uint64_t digits = 0;
    int exponent = 0;
    if (value == 0 || Digits13(std::fabs(value), digits, exponent)) {
        std::size_t n = 0;
        if (std::signbit(value)) out[n++] = '-';
        constexpr std::uint64_t Fraction = 1'000'000'000'000;
        out[n++] = static_cast<char>('0' + digits / Fraction);
        out[n++] = '.';
        PutTwelveDigits(digits % Fraction, out + n);
        n += 12;
        const int magnitude = exponent < 0 ? -exponent : exponent;
        out[n++] = 'E';
        out[n++] = exponent < 0 ? '-' : '+';
        out[n++] = static_cast<char>('0' + magnitude / 100);
        out[n++] = static_cast<char>('0' + magnitude / 10 % 10);
        out[n++] = static_cast<char>('0' + magnitude % 10);
        return n;
    }
    const std::size_t length = Mantissa(value, 12, out, exponent);
    return length + Exponent(exponent, 3, true, out + length);
}

std::size_t FormatGeneral15(double value, char* out) {
    if (!std::isfinite(value)) return FormatNonFinite(value, out);
    if (value == 0) {
        std::size_t n = 0;
        if (std::signbit(value)) out[n++] = '-';
        out[n++] = '0';
        return n;
    }
    int exponent = 0;
    char mantissa[MaxNumberText];
    const std::size_t length = Mantissa(value, 14, mantissa, exponent);
    if (exponent < -4 || exponent >= 15) {
        const std::size_t kept = TrimFraction(mantissa, length);
        std::memcpy(out, mantissa, kept);
        return kept + Exponent(exponent, 1, false, out + kept);
    }
    // Plain decimals with the same 15 significant digits.
    const auto r = std::to_chars(out, out + MaxNumberText, value, std::chars_format::fixed, 14 - exponent);
    return TrimFraction(out, static_cast<std::size_t>(r.ptr - out));
}

void NumberScanner::Feed(char c) noexcept {
    switch (state_) {
        case State::Start:
            if (c == '+' || c == '-') {
                negative_ = c == '-';
                state_ = State::Sign;
                return;
            }
            [[fallthrough]];
        case State::Sign:
            if (IsDigit(c)) break;
            if (c == '.') {
                state_ = State::Point;
                return;
            }
            if (IsLetter(c)) {
                word_[wordLength_++] = Lower(c);
                state_ = State::Word;
                return;
            }
            state_ = State::Bad;
            return;
        case State::Integer:
            if (IsDigit(c)) break;
            if (c == '.') {
                state_ = State::Fraction;
                return;
            }
            state_ = (c == 'e' || c == 'E') ? State::ExpMark : State::Bad;
            return;
        case State::Point:
        case State::Fraction:
            if (IsDigit(c)) break;
            state_ = (anyDigit_ && (c == 'e' || c == 'E')) ? State::ExpMark : State::Bad;
            return;
        case State::ExpMark:
            if (c == '+' || c == '-') {
                expNegative_ = c == '-';
                state_ = State::ExpSign;
                return;
            }
            [[fallthrough]];
        case State::ExpSign:
        case State::ExpDigits:
            if (IsDigit(c)) {
                exponent_ = exponent_ * 10 + (c - '0');
                if (exponent_ > ExponentCap) exponent_ = ExponentCap;
                state_ = State::ExpDigits;
            } else {
                state_ = State::Bad;
            }
            return;
        case State::Word:
            if (IsLetter(c) && wordLength_ < 8) word_[wordLength_++] = Lower(c);
            else state_ = State::Bad;
            return;
        case State::Bad: return;
    }

    // A mantissa digit.
    anyDigit_ = true;
    const bool fraction = state_ == State::Point || state_ == State::Fraction;
    if (state_ == State::Start || state_ == State::Sign) state_ = State::Integer;
    if (state_ == State::Point) state_ = State::Fraction;
    if (count_ == 0 && c == '0') {
        if (fraction) --pointShift_;  // leading zeros after the point scale the value down
        return;
    }
    if (!fraction && pointShift_ < ExponentCap) ++pointShift_;
    if (count_ < MaxDigits) digits_[count_++] = c;
    else if (c != '0') dropped_ = true;
}

double NumberScanner::Value(NonFiniteWords words) const {
    switch (state_) {
        case State::Integer:
        case State::Fraction:
        case State::ExpDigits: break;
        case State::Word: {
            if (words == NonFiniteWords::Refused) throw InvalidNumericInput();
            const std::string_view word(word_, static_cast<std::size_t>(wordLength_));
            if (word == "nan") return std::nan("");
            if (word == "inf" || word == "infinity") return negative_ ? -HUGE_VAL : HUGE_VAL;
            throw InvalidNumericInput();
        }
        default: throw InvalidNumericInput();
    }
    if (!anyDigit_) throw InvalidNumericInput();
    if (count_ == 0) return negative_ ? -0.0 : 0.0;

    const std::int64_t scale = pointShift_ + (expNegative_ ? -exponent_ : exponent_);
    if (scale > 400) throw InvalidNumericInput();
    if (scale < -400) return negative_ ? -0.0 : 0.0;

    // digits x 10^(scale - count), with one more digit for what was cut off.
    char text[MaxDigits + 1 + 8];
    std::size_t n = static_cast<std::size_t>(count_);
    std::memcpy(text, digits_, n);
    std::int64_t power = scale - count_;
    if (dropped_) {
        text[n++] = '1';
        --power;
    }
    text[n++] = 'e';
    const auto r = std::to_chars(text + n, text + sizeof text, power);
    double value = 0;
    const auto parsed = std::from_chars(text, r.ptr, value);
    if (parsed.ec == std::errc::result_out_of_range) {
        // The largest doubles, written with 15 digits, round up past the
        // largest double: below 1.8E308 they read as the largest double.
        if (scale == 309 && digits_[0] == '1' && (count_ == 1 || digits_[1] <= '7'))
            value = std::numeric_limits<double>::max();
        else if (scale > 0)
            throw InvalidNumericInput();
        else
            value = 0;
    } else if (parsed.ec != std::errc()) {
        throw InvalidNumericInput();
    }
    return negative_ ? -value : value;
}

double ParseNumber(std::string_view text, NonFiniteWords words) {
    NumberScanner scanner;
    for (const char c : text) scanner.Feed(c);
    return scanner.Value(words);
}

namespace {

// Eight characters, first in the lowest byte, that are all digits.
bool EightDigits(std::uint64_t chunk) noexcept {
    return ((chunk & 0xF0F0F0F0F0F0F0F0) | (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) ==
           0x3333333333333333;
}

// The value of eight digits, the first the most significant: pairs of
// digits in every other byte, then fours in every other 16-bit lane, then
// the two fours.
std::uint64_t EightDigitsValue(std::uint64_t chunk) noexcept {
    chunk -= 0x3030303030303030;
    chunk = (chunk * 10 + (chunk >> 8)) & 0x00FF00FF00FF00FF;
    chunk = (chunk * (1 + (std::uint64_t{100} << 16)) >> 16) & 0x0000FFFF0000FFFF;
    return (chunk & 0xFFFFFFFF) * 10000 + (chunk >> 32);
}

// Adds the digits from p on to `mantissa`, counting them in `digits`, and
// returns the end of the digits; the mantissa is exact while the count is
// at most 19. (Locals, not the references, carry the loop: a character read
// could otherwise alias them.)
const char* TakeDigits(const char* p, const char* last, std::uint64_t& mantissaOut, int& digitsOut) noexcept {
    std::uint64_t mantissa = mantissaOut;
    int digits = digitsOut;
    if constexpr (std::endian::native == std::endian::little) {
        while (last - p >= 8 && digits <= 11) {
            std::uint64_t chunk;
            std::memcpy(&chunk, p, 8);
            if (!EightDigits(chunk)) break;
            mantissa = mantissa * 100000000 + EightDigitsValue(chunk);
            digits += 8;
            p += 8;
        }
    }
    for (; p < last && IsDigit(*p); ++p)
        if (++digits <= 19) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    mantissaOut = mantissa;
    digitsOut = digits;
    return p;
}

bool IsNumberEnd(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

const char* ReadPlainNumber(const char* first, const char* limit, double& value) noexcept {
    const char* p = first;
    const bool negative = p < limit && *p == '-';
    if (p < limit && (*p == '+' || *p == '-')) ++p;
    // The digits as one whole number and the power of ten of its last digit.
    std::uint64_t mantissa = 0;
    int digits = 0;
    p = TakeDigits(p, limit, mantissa, digits);
    int fraction = 0;
    if (p < limit && *p == '.') {
        const char* const point = ++p;
        p = TakeDigits(p, limit, mantissa, digits);
        fraction = static_cast<int>(p - point);
    }
    if (digits == 0) return nullptr;
    int exponent = 0;
    if (p < limit && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p < limit && *p == '-';
        if (p < limit && (*p == '+' || *p == '-')) ++p;
        const char* const exponentDigits = p;
        for (; p < limit && IsDigit(*p); ++p)
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
        if (p == exponentDigits) return nullptr;
        if (negativeExponent) exponent = -exponent;
    }
    if (p == limit || !IsNumberEnd(*p)) return nullptr;
    // A whole number up to 2^53 and a power of ten up to 1e22 are both exact
    // doubles, so one multiplication or division rounds the value correctly.
    static constexpr double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const int power = exponent - fraction;
    if (digits <= 19 && mantissa <= (std::uint64_t{1} << 53)) {
        if (mantissa == 0) {
            value = negative ? -0.0 : 0.0;
            return p;
        }
        if (power >= -22 && power <= 22) {
            const double m = static_cast<double>(mantissa);
            const double v = power < 0 ? m / powers[-power] : m * powers[power];
            value = negative ? -v : v;
            return p;
        }
    }
    // Otherwise the library's exact conversion, for magnitudes within range.
    const auto r = std::from_chars(negative || *first != '+' ? first : first + 1, p, value);
    return r.ec == std::errc() && r.ptr == p ? p : nullptr;
}

}  // namespace fileio
