// Observation files: what they hold once read, and every refusal with the
// file, line and column it names.
#include <gtest/gtest.h>

#include "fit/observations.h"
#include "model/equations.h"
#include "tests/test_files.h"

namespace {

using fit::EObservationError;
using fit::ReadObservations;

class ObservationsTest : public ::testing::Test {
protected:
    void SetUp() override { DefineModel(); }

    // The message reading `text` as a file named obs.csv fails with.
    std::string Refusal(const std::string& text, const std::vector<fit::SeriesSd>& sds = {}) {
        WriteBytes(dir / "obs.csv", text);
        try {
            ReadObservations(dir / "obs.csv", sds);
        } catch (const EObservationError& e) {
            const std::string message = e.what(), prefix = "observations file '" + dir / "obs.csv";
            return message.starts_with(prefix) ? "obs" + message.substr(prefix.size()) : message;
        }
        return "read without complaint";
    }

    TempFolder dir;
};

TEST_F(ObservationsTest, SeriesKeepTheirObservedPointsWithStandardDeviations) {
    WriteBytes(dir / "obs.csv",
               "time,LAI,sd(NEP),NEP,\"Ts.driver4\"\r\n"
               "days,m2 m-2,g C,g C,oC\r\n"
               "30,1.5,0.25,2,NA\r\n"
               "\r\n"
               "61,,0.5,-1.25e1,3\n"
               "91.5, 2 ,NA,NA,\n");
    const fit::Observations obs = ReadObservations(dir / "obs.csv", {{"LAI", 0.1}});
    ASSERT_EQ(obs.Series.size(), 3u);
    EXPECT_EQ(obs.Series[0].Symbol, "LAI");
    EXPECT_EQ(obs.Series[0].Times, (std::vector<double>{30, 91.5}));
    EXPECT_EQ(obs.Series[0].Values, (std::vector<double>{1.5, 2}));
    EXPECT_EQ(obs.Series[0].Sd, (std::vector<double>{0.1, 0.1}));
    EXPECT_EQ(obs.Series[1].Symbol, "NEP");
    EXPECT_EQ(obs.Series[1].Values, (std::vector<double>{2, -12.5}));
    EXPECT_EQ(obs.Series[1].Sd, (std::vector<double>{0.25, 0.5}));
    EXPECT_EQ(obs.Series[2].Var, (Variable{VarKind::Driver, 4}));
    EXPECT_EQ(obs.Series[2].Sd, (std::vector<double>{1}));
    EXPECT_EQ(obs.Times, (std::vector<double>{30, 61, 91.5}));
    EXPECT_EQ(obs.Points(), 5u);
    // The observed column is found in a run's record where the output file holds it.
    EXPECT_EQ(obs.Series[2].Position, 3);

    WriteBytes(dir / "obs.tsv", "Time\tWs\r\n10\t4\r\n20\tNA\r\n");
    const fit::Observations tabs = ReadObservations(dir / "obs.tsv");
    ASSERT_EQ(tabs.Series.size(), 1u);
    EXPECT_EQ(tabs.Series[0].Values, (std::vector<double>{4}));
    EXPECT_EQ(tabs.Times, (std::vector<double>{10}));
}

TEST_F(ObservationsTest, EveryRefusalNamesTheFileLineAndColumn) {
    EXPECT_EQ(Refusal(""), "obs': the file is empty; its first line must name the columns, the time first");
    EXPECT_EQ(Refusal("day,LAI\n1,2\n"),
              "obs', line 1, column 1: the first column must be the time, headed 'time', not 'day'");
    EXPECT_EQ(Refusal("time,lai\n1,2\n"),
              "obs', line 1, column 2: unknown symbol 'lai' (symbols are case-sensitive); did you mean LAI?");
    EXPECT_EQ(Refusal("time,LAI,mF\n"),
              "obs', line 1, column 3: mF is a parameter; observations are of drivers, state variables and process "
              "variables");
    EXPECT_EQ(Refusal("time,LAI,,NEP\n"), "obs', line 1, column 3: the column has no symbol");
    EXPECT_EQ(Refusal("time,LAI,NEP,LAI\n"), "obs', line 1, column 4: LAI has a column already (column 2)");
    EXPECT_EQ(Refusal("time,sd(LAI)\n"), "obs', line 1: no column names an observed variable after the time");
    EXPECT_EQ(Refusal("time,LAI,sd(NEP)\n"), "obs', line 1, column 3: sd(NEP) has no column NEP to go with");
    EXPECT_EQ(Refusal("time,LAI,sd(LAI),sd(LAI)\n"),
              "obs', line 1, column 4: sd(LAI) has a column already (column 3)");
    EXPECT_EQ(Refusal("time,LAI\n1,2\n2\n"), "obs', line 3: 1 field where the first line names 2 columns");
    EXPECT_EQ(Refusal("time,LAI\n1,2\nNA,3\n"), "obs', line 3, column 1 (time): the time is missing");
    EXPECT_EQ(Refusal("time,LAI\n1,2\n1x,3\n"), "obs', line 3, column 1 (time): '1x' is not a time");
    EXPECT_EQ(Refusal("time,LAI\n5,2\n5,3\n"),
              "obs', line 3, column 1 (time): time 5 does not come after time 5 of line 2");
    EXPECT_EQ(Refusal("time,NEP,LAI\n1,2,\n2,3,one\n"),
              "obs', line 3, column 3 (LAI): 'one' is not a number (a missing value is an empty cell or NA)");
    EXPECT_EQ(Refusal("time,LAI,sd(LAI)\n1,2,NA\n"),
              "obs', line 2, column 3 (sd(LAI)): the standard deviation of the value in column 2 is missing");
    EXPECT_EQ(Refusal("time,LAI,sd(LAI)\n1,2,0\n"),
              "obs', line 2, column 3 (sd(LAI)): '0' is not a standard deviation (a number above 0)");
    EXPECT_EQ(Refusal("time,LAI,NEP\n1,NA,\n"), "obs': no observed value: every cell after the time is empty or NA");
    // A missing file is reported in the words of the other model files.
    try {
        ReadObservations(dir / "none.csv");
        FAIL();
    } catch (const EObservationError& e) {
        EXPECT_EQ(std::string(e.what()), "observations file '" + dir / "none.csv" + "': File not found");
    }
}

TEST_F(ObservationsTest, StandardDeviationOptionsMustMatchASeriesWithoutItsOwnColumn) {
    EXPECT_EQ(fit::ParseSd("LAI=0.5").Sd, 0.5);
    const auto message = [](const std::string& text) {
        try {
            fit::ParseSd(text);
        } catch (const EObservationError& e) {
            return std::string(e.what());
        }
        return std::string("taken");
    };
    EXPECT_EQ(message("LAI"), "--sd LAI: write SYMBOL=VALUE, the standard deviation of every observation of SYMBOL");
    EXPECT_EQ(message("LAI=-1"), "--sd LAI=-1: '-1' is not a standard deviation (a number above 0)");
    const std::string file = dir / "obs.csv";
    EXPECT_EQ(Refusal("time,LAI\n1,2\n", {{"NEP", 2}}),
              "--sd NEP=2: NEP is not a column of observations file '" + file + "'");
    EXPECT_EQ(Refusal("time,LAI,sd(LAI)\n1,2,1\n", {{"LAI", 2}}),
              "--sd LAI=2: observations file '" + file + "' gives sd(LAI) in column 3");
}

}  // namespace
