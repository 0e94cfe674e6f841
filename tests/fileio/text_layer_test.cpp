#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <locale>
#include <random>
#include <string>

#include "core/stypes.h"
#include "fileio/number_text.h"
#include "fileio/text_reader.h"
#include "tests/fileio/file_test_support.h"

namespace {
using namespace fileio_test;
using fileio::ParseNumber;

std::string StandardReal(double v) {
    char out[fileio::StandardRealWidth];
    fileio::FormatStandardReal(v, out);
    return std::string(out, sizeof out);
}
std::string Scientific13(double v) {
    char out[fileio::MaxNumberText];
    return std::string(out, fileio::FormatScientific13(v, out));
}
std::string General15(double v) {
    char out[fileio::MaxNumberText];
    return std::string(out, fileio::FormatGeneral15(v, out));
}

TEST(NumberFormats, KnownValues) {
    EXPECT_EQ(StandardReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(StandardReal(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(StandardReal(1.0 / 500), " 2.00000000000000E-0003");
    EXPECT_EQ(StandardReal(-0.25), "-2.50000000000000E-0001");
    EXPECT_EQ(StandardReal(2.0 / 3), " 6.66666666666667E-0001");
    EXPECT_EQ(StandardReal(-HUGE_VAL), "-INF                   ");

    EXPECT_EQ(Scientific13(1), "1.000000000000E+000");
    EXPECT_EQ(Scientific13(-0.25), "-2.500000000000E-001");
    EXPECT_EQ(Scientific13(2.0 / 3), "6.666666666667E-001");
    EXPECT_EQ(Scientific13(1e-310), "1.000000000000E-310");
    EXPECT_EQ(Scientific13(std::nan("")), "NAN");

    // Plain decimals from 0.0001 up to below 1E15, scientific outside.
    EXPECT_EQ(General15(2), "2");
    EXPECT_EQ(General15(0.5), "0.5");
    EXPECT_EQ(General15(0.0005), "0.0005");
    EXPECT_EQ(General15(0.0001), "0.0001");
    EXPECT_EQ(General15(0.00005), "5E-5");
    EXPECT_EQ(General15(-1.25e-7), "-1.25E-7");
    EXPECT_EQ(General15(999999999999999), "999999999999999");
    EXPECT_EQ(General15(1e15), "1E15");
    EXPECT_EQ(General15(1.0 / 3), "0.333333333333333");
}

// The 13-digit format as to_chars rounds it, with an upper-case E and at least
// three exponent digits.
std::string Scientific13Reference(double v) {
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, 12);
    std::string s(text, r.ptr);
    const std::size_t e = s.find('e');
    std::string exponent = s.substr(e + 2);
    while (exponent.size() < 3) exponent = "0" + exponent;
    return s.substr(0, e) + "E" + s[e + 1] + exponent;
}

TEST(NumberFormats, ThirteenDigitsRoundExactlyAtEveryMagnitude) {
    // Exact ties go to the even digit; values next to a tie, and values that
    // round up to the next power of ten, round as the exact value says.
    const double tie = 8796093022208.5;  // 2^43 + 0.5
    const double cases[] = {tie, tie + 1, std::nextafter(tie, 0.0), std::nextafter(tie, 1e20), 0.5, 1.0000000000005,
                            9.9999999999999996, 9.99999999999949e-5, 1e-15, 1e-16, 1e39, 1e40, -123.456, 5e-324,
                            DBL_MAX, -0.0, 0.0};
    for (const double v : cases) EXPECT_EQ(Scientific13(v), Scientific13Reference(v)) << v;
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    for (int exponent = -320; exponent <= 308; ++exponent)
        for (int i = 0; i < 200; ++i) {
            const double v = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, exponent);
            if (!std::isfinite(v)) continue;
            ASSERT_EQ(Scientific13(v), Scientific13Reference(v)) << v;
        }
}

TEST(NumberSyntax, AcceptsDecimalNotationAndTheWordsTheWritersUse) {
    EXPECT_EQ(ParseNumber("+3"), 3);
    EXPECT_EQ(ParseNumber("5."), 5);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("2.5e-3"), 0.0025);
    EXPECT_EQ(ParseNumber("-2.500000000000E-001"), -0.25);
    EXPECT_EQ(ParseNumber("1e-400"), 0);  // below the smallest double
    // The words of values that are not finite only where they are asked for.
    EXPECT_EQ(ParseNumber("-INF", fileio::NonFiniteWords::Read), -HUGE_VAL);
    EXPECT_EQ(ParseNumber("Infinity", fileio::NonFiniteWords::Read), HUGE_VAL);
    EXPECT_TRUE(std::isnan(ParseNumber("NaN", fileio::NonFiniteWords::Read)));
    for (const char* word : {"-INF", "inf", "NaN", "infinity"})
        EXPECT_EQ(MessageOf<EInOutError>([&] { ParseNumber(word); }), "Invalid numeric input") << word;
    // The largest double, as the parameter file writes it, rounds up past it.
    EXPECT_EQ(StandardReal(-DBL_MAX), "-1.79769313486232E+0308");
    EXPECT_EQ(ParseNumber("-1.79769313486232E+0308"), -DBL_MAX);

    for (const char* text : {"1.2.3", "1e", "e5", "-", ".", ".e1", "1,5", "0x10", "--1", "1d0", "infinit", "1e400",
                             "1.8e308"})
        EXPECT_EQ(MessageOf<EInOutError>([&] { ParseNumber(text); }), "Invalid numeric input") << text;
}

TEST(NumberSyntax, NumbersOfAnyLengthAreReadCorrectlyRounded) {
    EXPECT_EQ(ParseNumber("1" + std::string(1'000'000, '0') + "e-1000000"), 1.0);
    EXPECT_EQ(ParseNumber("0." + std::string(1'000'000, '0') + "5"), 0.0);
    // Exactly halfway between 1 and the next double rounds to even (1); a
    // non-zero digit far beyond the digits kept tips it upwards.
    const std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(ParseNumber(halfway), 1.0);
    EXPECT_EQ(ParseNumber(halfway + std::string(2000, '0') + "1"), std::nextafter(1.0, 2.0));
}

// The one-pass reading of plain numbers gives the scanner's correctly
// rounded double bit for bit, at the edges of its exact fast way too.
TEST(NumberSyntax, PlainNumbersReadInOnePassAsTheScannerReadsThem) {
    const auto same = [](const std::string& text) {
        double quick = 12345;
        const std::string ended = text + "\t";
        if (fileio::ReadPlainNumber(ended.data(), ended.data() + ended.size(), quick) != ended.data() + text.size())
            return;
        const double scanned = ParseNumber(text);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(quick), std::bit_cast<std::uint64_t>(scanned)) << text;
    };
    for (const char* text : {"9007199254740993", "9007199254740993e-5", "9007199254740992", "1e22", "1e23", "1.5e-22",
                             "3e-23", "123456789012345678901", "12345678901234567890e-3", "-0", "+0.000e99999", "-0.0",
                             "4.9406564584124654e-324", "1e-400", "0.1", "+7.", ".5", "1.7976931348623157e308"})
        same(text);
    double value;
    for (const char* text : {" ", "+ ", "- ", ". ", "e5 ", "1e ", "1e+ ", "1.2.3 ", "1,5 ", "nan ", "inf ", "1e400 ",
                             "0x10 ", "1", "12345"})
        EXPECT_EQ(fileio::ReadPlainNumber(text, text + std::strlen(text), value), nullptr) << text;

    std::mt19937_64 random(20261209);
    char text[64];
    for (int i = 0; i < 200'000; ++i) {
        // Values of every magnitude, as the file formats and people write them.
        const double v = std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                                    std::uniform_int_distribution<int>(-1080, 1030)(random));
        for (const char* format : {"%.12E", "%.13e", "%.14E", "%.15g", "%.17g", "%.3f"}) {
            std::snprintf(text, sizeof text, format, v);
            same(text);
        }
        // Digit strings around the fast way's limits of 2^53 and 1e22.
        std::string digits = std::to_string(random() >> std::uniform_int_distribution<int>(0, 63)(random));
        digits.insert(std::uniform_int_distribution<std::size_t>(0, digits.size())(random), ".");
        same(digits + "e" + std::to_string(std::uniform_int_distribution<int>(-40, 40)(random)));
    }
}

struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(NumberFormats, ACommaLocaleChangesNothing) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const std::string before = std::setlocale(LC_ALL, nullptr);
    // The C library's locale too, where the system has one with a comma.
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name) != nullptr) break;
    EXPECT_EQ(StandardReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(Scientific13(-0.25), "-2.500000000000E-001");
    EXPECT_EQ(General15(1234.5), "1234.5");
    EXPECT_EQ(ParseNumber("1234.5"), 1234.5);
    std::setlocale(LC_ALL, before.c_str());
    std::locale::global(previous);
}

TEST(TextReader, TokensAndLineEndsAcrossBufferRefills) {
    // The buffer holds 256 KiB: a CR is its last character, and a number
    // crosses the next refill.
    TempFolder folder;
    const std::size_t buffer = 256 * 1024;
    WriteBytes(folder.File("t"), std::string(buffer - 1, 'x') + "\r\n" + Blanks(buffer - 4) + "12345.5 6");
    fileio::TextReader in(folder.File("t"));
    EXPECT_EQ(in.ReadLine(2), "xx");
    EXPECT_EQ(in.ReadNumber(), 12345.5);
    EXPECT_EQ(in.ReadNumber(), 6);
    EXPECT_EQ(in.ReadNumber(), 0);  // at the end of the file
}

TEST(TextReader, CountsLinesWhateverTheirEndsAndNamesTheLineOfATextThatIsNoNumber) {
    TempFolder folder;
    // CR LF, a lone CR, a lone LF, blank lines between numbers, and a CR LF
    // across a buffer refill.
    const std::size_t buffer = 256 * 1024;
    WriteBytes(folder.File("t"), "title\r\n1\r2\n\r\n\n3 x\r\n" + std::string(buffer - 20, 'y') + "\r\nnan nan\r\n");
    fileio::TextReader in(folder.File("t"));
    EXPECT_EQ(in.ReadLine(0), "");
    EXPECT_EQ(in.ReadNumber(), 1);
    EXPECT_EQ(in.ReadNumber(), 2);
    EXPECT_EQ(in.Line(), 3);
    EXPECT_EQ(in.ReadNumber(), 3);
    EXPECT_EQ(in.Line(), 6);
    try {
        in.ReadNumber();
        ADD_FAILURE() << "x read as a number";
    } catch (const fileio::EInvalidNumber& e) {
        EXPECT_STREQ(e.what(), "Invalid numeric input");
        EXPECT_EQ(e.Line, 6);
        EXPECT_EQ(e.Field, "");
    }
    in.SkipLine();
    in.SkipLine();
    EXPECT_EQ(in.Line(), 8);
    EXPECT_EQ(MessageOf<fileio::EInvalidNumber>([&] { in.ReadNumber(); }), "Invalid numeric input");
    in.ReadNonFiniteWords();
    EXPECT_TRUE(std::isnan(in.ReadNumber()));
    in.Rewind();
    EXPECT_EQ(in.Line(), 1);
}

}  // namespace
