// The driver checks on lines and records in memory: the shape of record
// lines, the records put together as the reader does, and values no real site
// has.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "checks/driver_checks.h"
#include "checks/run_inputs.h"
#include "model/equations.h"
#include "tests/test_files.h"

namespace {

const std::string Subject = "driver file 'd.drr'";

// A plausible day: CO2, temperatures, rain, light and deposition of a
// temperate forest, the overrides missing.
std::vector<double> Day(double time, const std::map<int, double>& changes = {}) {
    std::vector<double> v{time, 400, 12, 3, 6, 1.5, 10, 0.001, 0.001};
    v.resize(19, -1.0);
    for (const auto& [driver, value] : changes) v[static_cast<std::size_t>(driver)] = value;
    return v;
}

class DriverChecksTest : public ::testing::Test {
protected:
    void SetUp() override { DefineModel(); }
};

TEST_F(DriverChecksTest, LinesOfAnotherCountAreNamedAndRecordsArePutTogetherAsTheReaderDoes) {
    DriverChecker checker(Subject, 18);
    checker.AddLine(3, Day(1));
    std::vector<double> short18 = Day(2);
    short18.pop_back();  // DNno3 missing: the reader takes the next line's time for it
    checker.AddLine(4, short18);
    checker.AddLine(5, Day(500));  // passed over after its time
    std::vector<double> long20 = Day(501);
    long20.push_back(3.5);
    checker.AddLine(6, long20);
    checker.AddLine(7, std::vector<double>{});  // a blank line holds no record
    checker.AddLine(8, std::vector<double>(19, 0.0));
    checker.AddLine(9, std::vector<double>{1, 2, 3});  // after the record of zeros: not data
    const DriverCheck check = checker.Finish();
    EXPECT_EQ(check.Refusal, "");
    EXPECT_EQ(check.Warnings,
              (std::vector<std::string>{
                  Subject + " line 4: 18 values where a record has 19 (time and 18 drivers); the record continues on "
                            "the next line",
                  Subject + " line 6: 20 values where a record has 19 (time and 18 drivers); the values after the "
                            "19th are not read",
                  Subject + ": DNno3 500 on line 4: outside the range of real sites, 0 to 50 g N m-2",
              }));

    // Beyond ten such lines the rest are counted.
    DriverChecker many(Subject, 18);
    many.AddLine(3, Day(1));
    for (int line = 4; line < 4 + 13; ++line) {
        std::vector<double> numbers = Day(line);
        numbers.push_back(1.0);
        many.AddLine(line, numbers);
    }
    const std::vector<std::string> warnings = many.Finish().Warnings;
    ASSERT_EQ(warnings.size(), 11u);
    EXPECT_EQ(warnings[9], Subject +
                               " line 13: 20 values where a record has 19 (time and 18 drivers); the values "
                               "after the 19th are not read");
    EXPECT_EQ(warnings[10], Subject + ": 3 more lines that do not hold 19 values");
}

TEST_F(DriverChecksTest, AFileWithoutOneWholeRecordLineIsRefusedWithItsCount) {
    DriverChecker eighteen(Subject, 18);
    std::vector<double> line = Day(1);
    line.pop_back();
    for (int i = 3; i < 8; ++i) eighteen.AddLine(i, line);
    DriverCheck check = eighteen.Finish();
    EXPECT_EQ(check.Refusal,
              Subject + ": every record line holds 18 values where a record has 19 (time and 18 drivers)");
    EXPECT_TRUE(check.Warnings.empty());

    DriverChecker mixed(Subject, 18);
    mixed.AddLine(3, line);
    mixed.AddLine(4, std::vector<double>(21, 1.0), 21);
    EXPECT_EQ(
        mixed.Finish().Refusal,
        Subject + ": no record line holds 19 values where a record has 19 (time and 18 drivers); line 3 holds 18");

    // A new driver file's one record of zeros holds no data and is no fault.
    DriverChecker zeros(Subject, 18);
    zeros.AddLine(3, std::vector<double>(19, 0.0));
    check = zeros.Finish();
    EXPECT_EQ(check.Refusal, "");
    EXPECT_TRUE(check.Warnings.empty());
}

TEST_F(DriverChecksTest, ValuesNoRealSiteHasNameTheLikelyUnit) {
    DriverChecker checker(Subject, 18);
    // Drivers by entry: 1 Ca, 2 Tamax, 3 Tamin, 4 Ts, 5 Ppt, 6 II, 7 DNH4, 9 DlambdaCF.
    checker.AddLine(3, Day(1, {{2, 285.2}, {3, 278.1}, {6, 180}}));
    checker.AddLine(4, Day(2, {{2, 290.0}, {4, 95}, {6, 21000}, {5, -3}, {1, 100}}));
    checker.AddLine(5, Day(3, {{2, 8.1}, {3, 12.5}, {7, 0.62}, {9, -2}}));
    checker.AddLine(6, Day(4, {{9, -1}, {9, 900}}));  // the missing marker, then a canopy's worth: both real
    const DriverCheck check = checker.Finish();
    EXPECT_EQ(check.Refusal, "");
    EXPECT_EQ(check.Warnings,
              (std::vector<std::string>{
                  Subject + ": Ca 100 on line 4: outside the range of real sites, 150 to 2000 ppm",
                  Subject + ": Tamax 285.2 on line 3: looks like kelvin; the model takes °C; also on 1 more line",
                  Subject + ": Tamin 278.1 on line 3: looks like kelvin; the model takes °C",
                  Subject + ": Ts 95 on line 4: looks like °F; the model takes °C",
                  Subject + ": Ppt -3 on line 4: negative precipitation",
                  Subject + ": II 180 on line 3: looks like W m-2; the model takes MJ m-2 day-1 (multiply by 0.0864); "
                            "also on 1 more line",
                  Subject + ": DNH4 0.62 on line 5: outside the range of real sites, 0 to 0.1 g N m-2 day-1",
                  Subject + ": DlambdaCF -2 on line 5: outside the range of real sites, 0 to 1000 g C m-2 day-1",
                  Subject + ": Tamin 12.5 above Tamax 8.1 on line 5",
              }));

    // Records read elsewhere (an editor's, a tool's) are checked the same;
    // without ranges only the shape counts.
    DriverChecker records(Subject, 18);
    const std::vector<double> hot = Day(1, {{2, 300}, {3, 301}});
    records.AddRecord(12, hot[0], std::span<const double>(hot).subspan(1));
    records.AddRecord(13, hot[0], std::span<const double>(hot).subspan(1));
    EXPECT_EQ(records.Finish().Warnings.back(),
              Subject + ": Tamin 301 above Tamax 300 on line 12; also on 1 more line");
    DriverChecker shapeOnly(Subject, 18, false);
    shapeOnly.AddLine(3, hot);
    EXPECT_TRUE(shapeOnly.Finish().Warnings.empty());
}

TEST_F(DriverChecksTest, AFileIsCheckedLineByLineAndATextThatIsNoNumberIsLeftToTheReader) {
    TempFolder dir;
    const std::string file = dir / "d.drr";
    std::string text = "Time x\r\ndays y\r\n";
    for (const double v : Day(1)) text += std::to_string(v) + "\t";
    text += "\n\r\n";  // a lone LF ends a line too; a blank line is passed over
    for (int i = 0; i < 18; ++i) text += "1 ";
    text += "\r\n1 2 three\r\n";
    WriteBytes(file, text);
    const DriverCheck check = CheckDriverFile(file, Subject, 18);
    EXPECT_EQ(check.Warnings.front(),
              Subject +
                  " line 5: 18 values where a record has 19 (time and 18 drivers); the record continues on the "
                  "next line");
    EXPECT_EQ(check.Refusal, "");
}

TEST(InputWarningsQuestionTest, ListsEightWarningsAsParagraphsThenCountsTheRest) {
    std::vector<std::string> warnings;
    for (int i = 1; i <= 10; ++i) warnings.push_back("w" + std::to_string(i));
    EXPECT_EQ(InputWarningsQuestion(warnings),
              "The input files may mislead this run:\n\nw1\n\nw2\n\nw3\n\nw4\n\nw5\n\n"
              "w6\n\nw7\n\nw8\n\n... and 2 more warnings\n\nRun anyway?");
    // Only failures in the model and the integrator come from values.
    EXPECT_EQ(LikelyCause({"a", "b", "c"}, RunStage::Integrate), "; likely at fault: a (and 2 more warnings)");
    EXPECT_EQ(LikelyCause({"a"}, RunStage::WriteOutput), "");
}

}  // namespace
