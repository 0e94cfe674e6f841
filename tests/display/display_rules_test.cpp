// The display's arithmetic and texts, without a window: layout sums, list
// columns, list order, axis ranges, "Plot as", axis label patterns, the
// table's number texts and its CSV.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "display/display_rules.h"
#include "display/output_table.h"
#include "fit/fit_report.h"
#include "model/equations.h"

namespace {

class DisplayRules : public ::testing::Test {
protected:
    void SetUp() override { DefineModel(); }
};

TEST_F(DisplayRules, LayoutSumsTruncateTowardsZero) {
    const int buttons[3] = {25, 25, 25};
    const DisplayLayout chart = LayOutDisplay(false, 1000, buttons);
    EXPECT_EQ(chart.BottomHeight, 333);  // H div 2 = 166, a = 55
    EXPECT_EQ(chart.ButtonTops[0], 180);
    EXPECT_EQ(chart.ButtonTops[1], 235);
    EXPECT_EQ(chart.ButtonTops[2], 290);
    EXPECT_TRUE(chart.MoveAllButtons);
    // A low window: a = 8 is less than the button's height, and
    // (8 - 25) div 2 is -8, not -9.
    const DisplayLayout low = LayOutDisplay(false, 144, buttons);
    EXPECT_EQ(low.BottomHeight, 48);
    EXPECT_EQ(low.ButtonTops[0], 24 + (-8) - 1);
    EXPECT_EQ(low.ButtonTops[2], 24 + 16 - 8 - 1);

    const DisplayLayout table = LayOutDisplay(true, 1000, buttons);
    EXPECT_EQ(table.BottomHeight, 50);
    EXPECT_EQ(table.ButtonTops[2], 11);
    EXPECT_FALSE(table.MoveAllButtons);
    EXPECT_EQ(LayOutDisplay(true, 500, buttons).BottomHeight, 30);  // at least 30 pixels
    EXPECT_EQ(LayOutDisplay(true, 500, {25, 25, 31}).ButtonTops[2], -1);
    EXPECT_EQ(PlotAsHeight(333, 4), 162);
}

TEST_F(DisplayRules, ListColumnsRoundHalvesToEven) {
    EXPECT_EQ(ListColumns(650), 3);  // 3.25
    EXPECT_EQ(ListColumns(500), 2);  // 2.5
    EXPECT_EQ(ListColumns(700), 4);  // 3.5
    EXPECT_EQ(ListColumns(299), 1);
    EXPECT_EQ(ListColumns(120), 1);  // below 1 counts as 1
    EXPECT_EQ(ListColumns(-40), 1);
}

TEST_F(DisplayRules, SeriesListIsAlphabeticalWhateverTheCase) {
    EXPECT_TRUE(SeriesListBefore("Avg Soil Temp", "C: foliar"));
    EXPECT_TRUE(SeriesListBefore("C: Sapwood maximum", "C: total ecosystem"));
    EXPECT_TRUE(SeriesListBefore("degree days, air", "Driver: Fol Litter C"));
    EXPECT_FALSE(SeriesListBefore("Time", "Time"));
    EXPECT_TRUE(SeriesListBefore("ABC", "abc") != SeriesListBefore("abc", "ABC"));
}

TEST_F(DisplayRules, DependentAxisIncludesZeroUnlessDataReachBelow) {
    const AxisRange fiveToNine = DependentRange(5.0, 9.0, false);
    EXPECT_DOUBLE_EQ(fiveToNine.Min, 0.0);
    EXPECT_DOUBLE_EQ(fiveToNine.Max, 9.0);
    const AxisRange below = DependentRange(-3.0, 2.0, false);
    EXPECT_DOUBLE_EQ(below.Min, -3.0);
    EXPECT_DOUBLE_EQ(below.Max, 2.0);
    const AxisRange allNegative = DependentRange(-7.0, -2.0, false);
    EXPECT_DOUBLE_EQ(allNegative.Min, -7.0);
    EXPECT_DOUBLE_EQ(allNegative.Max, -2.0);
    // Ranges that could not be drawn get room.
    const AxisRange zeros = DependentRange(0.0, 0.0, false);
    EXPECT_DOUBLE_EQ(zeros.Min, 0.0);
    EXPECT_DOUBLE_EQ(zeros.Max, 1.0);
    EXPECT_DOUBLE_EQ(DependentRange(std::nullopt, std::nullopt, false).Max, 1.0);
    // A logarithmic axis runs over the positive values.
    const AxisRange log = DependentRange(0.5, 40.0, true);
    EXPECT_DOUBLE_EQ(log.Min, 0.5);
    EXPECT_DOUBLE_EQ(log.Max, 40.0);
    EXPECT_DOUBLE_EQ(DependentRange(std::nullopt, std::nullopt, true).Min, 1.0);
}

TEST_F(DisplayRules, PlotAsTransformsAndFailures) {
    EXPECT_DOUBLE_EQ(*PlotValue(0, 4.0, 2.0), 4.0);
    EXPECT_DOUBLE_EQ(*PlotValue(1, 4.0, 2.0), 2.0);
    EXPECT_DOUBLE_EQ(*PlotValue(2, 4.0, 2.0), 2.0);
    EXPECT_FALSE(PlotValue(1, 4.0, 0.0));
    EXPECT_FALSE(PlotValue(1, 0.0, 0.0));
    EXPECT_FALSE(PlotValue(1, 1e300, 1e-300));  // too large for a double
    EXPECT_DOUBLE_EQ(*PlotValue(2, 0.0, 0.0), 0.0);
}

TEST_F(DisplayRules, AxisPatterns) {
    EXPECT_EQ(FormatPattern(1234567.26, "#,##0.0"), std::string("1,234,567.3"));
    EXPECT_EQ(FormatPattern(0, "#,##0.0"), std::string("0.0"));
    EXPECT_EQ(FormatPattern(-1500, "#,##0.0"), std::string("-1,500.0"));
    EXPECT_EQ(FormatPattern(999.96, "#,##0.0"), std::string("1,000.0"));
    EXPECT_EQ(FormatPattern(0.123456, "####0.#####"), std::string("0.12346"));
    EXPECT_EQ(FormatPattern(123456, "####0.#####"), std::string("123456"));
    EXPECT_EQ(FormatPattern(-2.5, "####0.#####"), std::string("-2.5"));
    EXPECT_EQ(FormatPattern(-0.000001, "####0.#####"), std::string("0"));
    EXPECT_EQ(HiddenPointsNotice(3), std::string("3 values \u2264 0 not shown"));
    EXPECT_EQ(HiddenPointsNotice(1), std::string("1 value \u2264 0 not shown"));
}

// A comma-decimal desktop changes the C library's number texts, never ours.
TEST_F(DisplayRules, NumbersKeepThePointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            comma = name;
            break;
        }
    if (!comma) GTEST_SKIP() << "no comma-decimal locale (de_DE.UTF-8) is installed: nothing to check against";
    const std::string pointOfLocale = std::localeconv()->decimal_point;
    EXPECT_EQ(FormatPattern(0.5, "####0.#####"), "0.5");
    EXPECT_EQ(FormatPattern(20, "#,##0.0"), "20.0");
    EXPECT_EQ(FormatPattern(1234.26, "#,##0.0"), "1,234.3");
    EXPECT_EQ(fit::ReportNumber(0.25), "0.25");
    EXPECT_EQ(ValueText(-0.25), "-0.25");
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(pointOfLocale, ",");  // the locale did ask for a comma
}

TEST_F(DisplayRules, TableTextsAndShownNumbers) {
    EXPECT_EQ(ValueText(1e-5), std::string("1e-05"));
    EXPECT_EQ(ValueText(123456.7), std::string("123457"));
    EXPECT_EQ(ValueText(-0.25), std::string("-0.25"));
    EXPECT_EQ(ValueText(1234567), std::string("1.23457e+06"));
    EXPECT_EQ(ValueText(std::nan("")), std::string("NAN"));
    EXPECT_EQ(TimeText(0.00005), std::string("5E-5"));
    EXPECT_EQ(TimeText(3660), std::string("3660"));
    EXPECT_EQ(TimeText(0.1 + 0.2), std::string("0.3"));
    EXPECT_DOUBLE_EQ(ShownValue(2.0 / 3.0), 0.666667);
    EXPECT_DOUBLE_EQ(ShownValue(123456.7), 123457.0);

    OutputTable table;
    EXPECT_EQ(table.Columns(), 208);
    EXPECT_EQ(table.CellText(0, 1), std::string("Time"));
    EXPECT_EQ(table.CellText(0, 2), std::string("days"));
    EXPECT_EQ(table.CellText(207, 0), std::string("207"));
    EXPECT_EQ(table.FindColumn("Time"), 0);
    EXPECT_EQ(table.FindColumn("no such series"), -1);
    std::vector<double> values(207, 0.0);
    values[0] = 2.0 / 3.0;
    table.Append(0.1 + 0.2, values.data());
    EXPECT_EQ(table.CellText(1, 3), std::string("0.666667"));
    EXPECT_DOUBLE_EQ(*table.ShownNumber(0, 3), 0.3);
    EXPECT_DOUBLE_EQ(*table.ShownNumber(1, 3), 0.666667);
    EXPECT_FALSE(table.ShownNumber(-1, 3));  // a column that was not found
    EXPECT_EQ(table.CellText(-1, 3), std::string());
}

TEST_F(DisplayRules, CsvQuotesNamesAndKeepsFullValues) {
    OutputTable table;
    std::vector<double> values(207, 0.0);
    values[0] = 2.0 / 3.0;
    values[2] = std::nan("");
    values[3] = -HUGE_VAL;
    table.Append(1, values.data());
    const std::string csv = CsvText(table);
    EXPECT_TRUE(csv.starts_with("Time,"));
    // Names with commas are quoted; lines end with CR LF.
    EXPECT_TRUE(csv.find(",\"CO2, Atm\",") != std::string::npos || csv.find("\"CO2, Atm\"") != std::string::npos);
    EXPECT_TRUE(csv.find("\r\ndays,") != std::string::npos);
    EXPECT_TRUE(csv.find("\r\n1,0.666666666666667,0,NaN,-Inf,0,") != std::string::npos);
    EXPECT_TRUE(csv.ends_with("\r\n"));
}

}  // namespace
