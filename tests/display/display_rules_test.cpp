// The display's arithmetic and texts, without a window: layout sums, list
// columns, list order, axis ranges, "Plot as", axis label patterns, the
// table's number texts and its CSV.
#include <QtTest>

#include "model/equations.h"
#include "views/display_rules.h"
#include "views/output_table.h"

class DisplayRulesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { DefineModel(); }

    void LayoutSumsTruncateTowardsZero() {
        const int buttons[3] = {25, 25, 25};
        const DisplayLayout chart = LayOutDisplay(false, 1000, buttons);
        QCOMPARE(chart.BottomHeight, 333);  // H div 2 = 166, a = 55
        QCOMPARE(chart.ButtonTops[0], 180);
        QCOMPARE(chart.ButtonTops[1], 235);
        QCOMPARE(chart.ButtonTops[2], 290);
        QVERIFY(chart.MoveAllButtons);
        // A low window: a = 8 is less than the button's height, and
        // (8 - 25) div 2 is -8, not -9.
        const DisplayLayout low = LayOutDisplay(false, 144, buttons);
        QCOMPARE(low.BottomHeight, 48);
        QCOMPARE(low.ButtonTops[0], 24 + (-8) - 1);
        QCOMPARE(low.ButtonTops[2], 24 + 16 - 8 - 1);

        const DisplayLayout table = LayOutDisplay(true, 1000, buttons);
        QCOMPARE(table.BottomHeight, 50);
        QCOMPARE(table.ButtonTops[2], 11);
        QVERIFY(!table.MoveAllButtons);
        QCOMPARE(LayOutDisplay(true, 500, buttons).BottomHeight, 30);  // at least 30 pixels
        QCOMPARE(LayOutDisplay(true, 500, {25, 25, 31}).ButtonTops[2], -1);
        QCOMPARE(PlotAsHeight(333, 4), 162);
    }

    void ListColumnsRoundHalvesToEven() {
        QCOMPARE(ListColumns(650), 3);  // 3.25
        QCOMPARE(ListColumns(500), 2);  // 2.5
        QCOMPARE(ListColumns(700), 4);  // 3.5
        QCOMPARE(ListColumns(299), 1);
        QCOMPARE(ListColumns(120), 1);  // below 1 counts as 1
        QCOMPARE(ListColumns(-40), 1);
    }

    void SeriesListIsAlphabeticalWhateverTheCase() {
        QVERIFY(SeriesListBefore("Avg Soil Temp", "C: foliar"));
        QVERIFY(SeriesListBefore("C: Sapwood maximum", "C: total ecosystem"));
        QVERIFY(SeriesListBefore("degree days, air", "Driver: Fol Litter C"));
        QVERIFY(!SeriesListBefore("Time", "Time"));
        QVERIFY(SeriesListBefore("ABC", "abc") != SeriesListBefore("abc", "ABC"));
    }

    void DependentAxisIncludesZeroUnlessDataReachBelow() {
        const AxisRange fiveToNine = DependentRange(5.0, 9.0, false);
        QCOMPARE(fiveToNine.Min, 0.0);
        QCOMPARE(fiveToNine.Max, 9.0);
        const AxisRange below = DependentRange(-3.0, 2.0, false);
        QCOMPARE(below.Min, -3.0);
        QCOMPARE(below.Max, 2.0);
        const AxisRange allNegative = DependentRange(-7.0, -2.0, false);
        QCOMPARE(allNegative.Min, -7.0);
        QCOMPARE(allNegative.Max, -2.0);
        // Ranges that could not be drawn get room.
        const AxisRange zeros = DependentRange(0.0, 0.0, false);
        QCOMPARE(zeros.Min, 0.0);
        QCOMPARE(zeros.Max, 1.0);
        QCOMPARE(DependentRange(std::nullopt, std::nullopt, false).Max, 1.0);
        // A logarithmic axis runs over the positive values.
        const AxisRange log = DependentRange(0.5, 40.0, true);
        QCOMPARE(log.Min, 0.5);
        QCOMPARE(log.Max, 40.0);
        QCOMPARE(DependentRange(std::nullopt, std::nullopt, true).Min, 1.0);
    }

    void PlotAsTransformsAndFailures() {
        QCOMPARE(*PlotValue(0, 4.0, 2.0), 4.0);
        QCOMPARE(*PlotValue(1, 4.0, 2.0), 2.0);
        QCOMPARE(*PlotValue(2, 4.0, 2.0), 2.0);
        QVERIFY(!PlotValue(1, 4.0, 0.0));
        QVERIFY(!PlotValue(1, 0.0, 0.0));
        QVERIFY(!PlotValue(1, 1e300, 1e-300));  // too large for a double
        QCOMPARE(*PlotValue(2, 0.0, 0.0), 0.0);
    }

    void AxisPatterns() {
        QCOMPARE(FormatPattern(1234567.26, "#,##0.0"), std::string("1,234,567.3"));
        QCOMPARE(FormatPattern(0, "#,##0.0"), std::string("0.0"));
        QCOMPARE(FormatPattern(-1500, "#,##0.0"), std::string("-1,500.0"));
        QCOMPARE(FormatPattern(999.96, "#,##0.0"), std::string("1,000.0"));
        QCOMPARE(FormatPattern(0.123456, "####0.#####"), std::string("0.12346"));
        QCOMPARE(FormatPattern(123456, "####0.#####"), std::string("123456"));
        QCOMPARE(FormatPattern(-2.5, "####0.#####"), std::string("-2.5"));
        QCOMPARE(FormatPattern(-0.000001, "####0.#####"), std::string("0"));
        QCOMPARE(HiddenPointsNotice(3), std::string("3 values \u2264 0 not shown"));
        QCOMPARE(HiddenPointsNotice(1), std::string("1 value \u2264 0 not shown"));
    }

    void TableTextsAndShownNumbers() {
        QCOMPARE(ValueText(1e-5), std::string("1e-05"));
        QCOMPARE(ValueText(123456.7), std::string("123457"));
        QCOMPARE(ValueText(-0.25), std::string("-0.25"));
        QCOMPARE(ValueText(1234567), std::string("1.23457e+06"));
        QCOMPARE(ValueText(std::nan("")), std::string("NAN"));
        QCOMPARE(TimeText(0.00005), std::string("5E-5"));
        QCOMPARE(TimeText(3660), std::string("3660"));
        QCOMPARE(TimeText(0.1 + 0.2), std::string("0.3"));
        QCOMPARE(ShownValue(2.0 / 3.0), 0.666667);
        QCOMPARE(ShownValue(123456.7), 123457.0);

        OutputTable table;
        QCOMPARE(table.Columns(), 208);
        QCOMPARE(table.CellText(0, 1), std::string("Time"));
        QCOMPARE(table.CellText(0, 2), std::string("days"));
        QCOMPARE(table.CellText(207, 0), std::string("207"));
        QCOMPARE(table.FindColumn("Time"), 0);
        QCOMPARE(table.FindColumn("no such series"), -1);
        std::vector<double> values(207, 0.0);
        values[0] = 2.0 / 3.0;
        table.Append(0.1 + 0.2, values.data());
        QCOMPARE(table.CellText(1, 3), std::string("0.666667"));
        QCOMPARE(*table.ShownNumber(0, 3), 0.3);
        QCOMPARE(*table.ShownNumber(1, 3), 0.666667);
        QVERIFY(!table.ShownNumber(-1, 3));  // a column that was not found
        QCOMPARE(table.CellText(-1, 3), std::string());
    }

    void CsvQuotesNamesAndKeepsFullValues() {
        OutputTable table;
        std::vector<double> values(207, 0.0);
        values[0] = 2.0 / 3.0;
        table.Append(1, values.data());
        const std::string csv = CsvText(table);
        QVERIFY(csv.starts_with("Time,"));
        // Names with commas are quoted; lines end with CR LF.
        QVERIFY(csv.find(",\"CO2, Atm\",") != std::string::npos || csv.find("\"CO2, Atm\"") != std::string::npos);
        QVERIFY(csv.find("\r\ndays,") != std::string::npos);
        QVERIFY(csv.find("\r\n1,0.666666666666667,0,") != std::string::npos);
        QVERIFY(csv.ends_with("\r\n"));
    }
};

QTEST_MAIN(DisplayRulesTest)
#include "display_rules_test.moc"
