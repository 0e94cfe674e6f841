#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <locale>
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

TEST(NumberFormats, StandardRealOnKnownValues) {
    EXPECT_EQ(StandardReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(StandardReal(0), " 0.00000000000000E+0000");
    EXPECT_EQ(StandardReal(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(StandardReal(1.0 / 500), " 2.00000000000000E-0003");
    EXPECT_EQ(StandardReal(-0.25), "-2.50000000000000E-0001");
    EXPECT_EQ(StandardReal(2), " 2.00000000000000E+0000");
    EXPECT_EQ(StandardReal(0.5), " 5.00000000000000E-0001");
    EXPECT_EQ(StandardReal(0.00005), " 5.00000000000000E-0005");
    EXPECT_EQ(StandardReal(2.0 / 3), " 6.66666666666667E-0001");  // rounded to 15 digits
    EXPECT_EQ(StandardReal(-1e300), "-1.00000000000000E+0300");
    EXPECT_EQ(StandardReal(9.999999999999999e-5), " 1.00000000000000E-0004");
}

TEST(NumberFormats, Scientific13OnKnownValues) {
    EXPECT_EQ(Scientific13(1), "1.000000000000E+000");
    EXPECT_EQ(Scientific13(-0.25), "-2.500000000000E-001");
    EXPECT_EQ(Scientific13(0), "0.000000000000E+000");
    EXPECT_EQ(Scientific13(1.0 / 500), "2.000000000000E-003");
    EXPECT_EQ(Scientific13(2.0 / 3), "6.666666666667E-001");
    EXPECT_EQ(Scientific13(1e300), "1.000000000000E+300");
    EXPECT_EQ(Scientific13(1e-310), "1.000000000000E-310");
}

TEST(NumberFormats, General15SwitchesToScientificOutsideItsRange) {
    EXPECT_EQ(General15(2), "2");
    EXPECT_EQ(General15(0.5), "0.5");
    EXPECT_EQ(General15(0), "0");
    EXPECT_EQ(General15(-0.25), "-0.25");
    EXPECT_EQ(General15(1.0 / 500), "0.002");
    EXPECT_EQ(General15(0.0005), "0.0005");
    EXPECT_EQ(General15(0.0001), "0.0001");
    EXPECT_EQ(General15(0.00005), "5E-5");
    EXPECT_EQ(General15(-1.25e-7), "-1.25E-7");
    EXPECT_EQ(General15(999999999999999), "999999999999999");
    EXPECT_EQ(General15(1e15), "1E15");
    EXPECT_EQ(General15(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(General15(0.1 + 0.2), "0.3");
    EXPECT_EQ(General15(365.25), "365.25");
}

TEST(NumberFormats, NonFiniteValuesAreWrittenAsWordsTheReaderAccepts) {
    EXPECT_EQ(StandardReal(-HUGE_VAL), "-INF                   ");
    EXPECT_EQ(Scientific13(std::nan("")), "NAN");
    EXPECT_EQ(General15(HUGE_VAL), "INF");
    EXPECT_EQ(ParseNumber("-INF"), -HUGE_VAL);
    EXPECT_EQ(ParseNumber("Infinity"), HUGE_VAL);
    EXPECT_TRUE(std::isnan(ParseNumber("NAN")));
}

TEST(NumberSyntax, AcceptsPlainDecimalNotation) {
    EXPECT_EQ(ParseNumber("1.5"), 1.5);
    EXPECT_EQ(ParseNumber("+3"), 3);
    EXPECT_EQ(ParseNumber("-0.25"), -0.25);
    EXPECT_EQ(ParseNumber("5."), 5);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("007"), 7);
    EXPECT_EQ(ParseNumber("1E5"), 1e5);
    EXPECT_EQ(ParseNumber("2.5e-3"), 0.0025);
    EXPECT_EQ(ParseNumber("1.000000000000E+000"), 1);
    EXPECT_EQ(ParseNumber("1e-400"), 0);  // below the smallest double
    EXPECT_TRUE(std::signbit(ParseNumber("-0")));
    // The largest double as the parameter file writes it rounds up past it.
    EXPECT_EQ(StandardReal(-DBL_MAX), "-1.79769313486232E+0308");
    EXPECT_EQ(ParseNumber("-1.79769313486232E+0308"), -DBL_MAX);
}

TEST(NumberSyntax, RejectsEverythingElseAsInvalidNumericInput) {
    for (const char* text : {"1.2.3", "1e", "1e+", "e5", "+", "-", ".", ".e1", "1,5", "0x10", "--1", "1d0", "nan1",
                             "infinit", "12abc", "1e400", "1.8e308", "1 "}) {
        EXPECT_EQ(MessageOf<EInOutError>([&] { ParseNumber(text); }), "Invalid numeric input") << text;
    }
}

TEST(NumberSyntax, ReadsNumbersOfAnyLengthCorrectlyRounded) {
    // A million digits scaled back to 1.
    EXPECT_EQ(ParseNumber("1" + std::string(1'000'000, '0') + "e-1000000"), 1.0);
    EXPECT_EQ(ParseNumber("0." + std::string(1'000'000, '0') + "5"), 0.0);
    // Exactly halfway between 1 and the next double rounds to even (1); any
    // non-zero digit far beyond the kept digits tips it upwards.
    const std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(ParseNumber(halfway), 1.0);
    EXPECT_EQ(ParseNumber(halfway + std::string(2000, '0') + "1"), std::nextafter(1.0, 2.0));
    EXPECT_EQ(MessageOf<EInOutError>([] { ParseNumber(std::string(400, '9')); }), "Invalid numeric input");
}

// A locale whose decimal mark is a comma must change nothing in the files.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(NumberFormats, IgnoreACommaLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    EXPECT_EQ(StandardReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(Scientific13(-0.25), "-2.500000000000E-001");
    EXPECT_EQ(General15(1234.5), "1234.5");
    EXPECT_EQ(ParseNumber("1234.5"), 1234.5);
    std::locale::global(previous);
}

// The C library's locale, when the system has one with a decimal comma.
TEST(NumberFormats, IgnoreACommaLocaleOfTheCLibrary) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    bool found = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
        if (std::setlocale(LC_ALL, name) != nullptr) {
            found = true;
            break;
        }
    if (found) {
        EXPECT_EQ(General15(1234.5), "1234.5");
        EXPECT_EQ(Scientific13(0.5), "5.000000000000E-001");
        EXPECT_EQ(ParseNumber("0.5"), 0.5);
    }
    std::setlocale(LC_ALL, before.c_str());
    if (!found) GTEST_SKIP() << "no locale with a decimal comma installed";
}

TEST(TextReader, EveryKindOfLineEndEndsALine) {
    TempFolder folder;
    const std::string name = folder.File("lines.txt");
    WriteBytes(name, "crlf\r\nlf\nlone cr\rlf then cr\n\rlast");
    fileio::TextReader in(name);
    EXPECT_EQ(in.ReadLine(100), "crlf");
    EXPECT_EQ(in.ReadLine(100), "lf");
    EXPECT_EQ(in.ReadLine(100), "lone cr");
    EXPECT_EQ(in.ReadLine(100), "lf then cr");
    EXPECT_EQ(in.ReadLine(100), "");
    EXPECT_EQ(in.ReadLine(3), "las");
    EXPECT_TRUE(in.AtEnd());
    in.Rewind();
    EXPECT_EQ(in.ReadLine(100), "crlf");
}

TEST(TextReader, NumbersSkipBlanksTabsAndLineEndsAndAreZeroAtTheEnd) {
    TempFolder folder;
    const std::string name = folder.File("numbers.txt");
    WriteBytes(name, " 1\t-2.5\r\n\r\n  3e2 \n\r4 x");
    fileio::TextReader in(name);
    EXPECT_EQ(in.ReadNumber(), 1);
    EXPECT_EQ(in.ReadNumber(), -2.5);
    EXPECT_EQ(in.ReadNumber(), 300);
    EXPECT_EQ(in.ReadNumber(), 4);
    EXPECT_EQ(MessageOf<EInOutError>([&] { in.ReadNumber(); }), "Invalid numeric input");
    EXPECT_EQ(in.ReadNumber(), 0);
    EXPECT_EQ(in.ReadNumber(), 0);
}

TEST(TextReader, FieldsStopAtTheLineEnd) {
    TempFolder folder;
    const std::string name = folder.File("fields.txt");
    WriteBytes(name, "short\n7\r\nname-longer-than-ten 8");
    fileio::TextReader in(name);
    in.SkipField(10);
    EXPECT_EQ(in.ReadNumber(), 7);  // the field stopped at the line end
    in.SkipLine();
    in.SkipField(10);
    EXPECT_EQ(MessageOf<EInOutError>([&] { in.ReadNumber(); }), "Invalid numeric input");  // "than-ten"
}

TEST(TextReader, TokensAndLineEndsAcrossBufferRefills) {
    // The reader's buffer holds 256 KiB: put a CR as its last character and
    // a number across the following refill.
    TempFolder folder;
    const std::string name = folder.File("long.txt");
    const std::size_t buffer = 256 * 1024;
    std::string text(buffer - 1, 'x');
    text += "\r\n";
    text += std::string(buffer - 4, ' ') + "12345.5 6";
    WriteBytes(name, text);
    fileio::TextReader in(name);
    EXPECT_EQ(in.ReadLine(2), "xx");
    EXPECT_EQ(in.ReadNumber(), 12345.5);
    EXPECT_EQ(in.ReadNumber(), 6);
    EXPECT_TRUE(in.AtEnd());
}

TEST(TextReader, OpenFailuresNameTheCause) {
    TempFolder folder;
    EXPECT_EQ(MessageOf<EInOutError>([&] { fileio::TextReader in(folder.File("absent.txt")); }), "File not found");
    EXPECT_EQ(MessageOf<EInOutError>([&] { fileio::TextReader in(folder.File("no-folder/absent.txt")); }),
              "Invalid filename");
    EXPECT_EQ(MessageOf<EInOutError>([&] { fileio::TextReader in(folder.File("")); }), "File access denied");
}

}  // namespace
