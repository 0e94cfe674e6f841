// The number texts: what the formats write reads back to the digits they
// keep; every text the reader accepts reads as the C library's correctly
// rounded conversion does; and the words NAN and INF read only where asked for.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/stypes.h"
#include "fileio/number_text.h"

namespace {

// b is a rounded to `digits` significant digits and read back: within half a
// unit of the last digit, plus the rounding of the reading to a double.
bool Close(double a, double b, double digits) {
    if (std::isnan(a)) return std::isnan(b);
    if (std::isinf(a)) return a == b;
    return std::fabs(a - b) <= std::fabs(a) * (std::pow(10.0, 1 - digits) * 0.5 + 0x1p-52) + 1e-320;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

double Read(std::string_view text) { return fileio::ParseNumber(text, fileio::NonFiniteWords::Read); }

void CheckFormats(double v) {
    char text[fileio::MaxNumberText];
    fileio::FormatStandardReal(v, text);
    if (!Close(v, Read(Trimmed(std::string_view(text, fileio::StandardRealWidth))), 15)) std::abort();
    std::size_t n = fileio::FormatScientific13(v, text);
    if (!Close(v, Read(std::string_view(text, n)), 13)) std::abort();
    n = fileio::FormatGeneral15(v, text);
    if (!Close(v, Read(std::string_view(text, n)), 15)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double v;
        std::memcpy(&v, data, sizeof v);
        CheckFormats(v);
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    bool words = false;
    double wordValue = 0;
    try {
        wordValue = Read(text);
        words = true;
    } catch (const EInOutError&) {
    }
    double value;
    try {
        value = fileio::ParseNumber(text);
    } catch (const EInOutError&) {
        // Refused without the words: a word, or refused with them too.
        if (words && std::isfinite(wordValue)) std::abort();
        return 0;
    }
    if (!words || !(wordValue == value || (value == 0 && wordValue == 0))) std::abort();
    // The one-pass reading of plain numbers, where it takes the text, agrees
    // with the scanner bit for bit.
    const std::string ended = text + " ";
    double plain;
    if (fileio::ReadPlainNumber(ended.data(), ended.data() + ended.size(), plain) == ended.data() + text.size() &&
        std::memcmp(&plain, &value, sizeof plain) != 0)
        std::abort();
    if (!std::isfinite(value)) std::abort();  // a word or an overflow got through
    // Magnitudes the reader turns to 0 aside, it agrees with strtod.
    if (text.find('\0') != std::string::npos) std::abort();  // a NUL is no part of a number
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) std::abort();  // accepted a text that is no number
    if (std::isinf(expected)) return 0;  // rounded up past the largest double, read as the largest
    if (expected != value && !(std::fabs(expected) < 1e-300 && value == 0)) std::abort();
    return 0;
}
