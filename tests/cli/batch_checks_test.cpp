// What modelbatch catches that would otherwise pass without a word: parameter
// lines out of place, drivers that do not cover the run, a second run on one
// output file, a destination of --save-params that would fail after the run;
// and what it tells about the run and its variables.
#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/model_batch.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

class BatchChecksTest : public ::testing::Test {
protected:
    static BatchResult Batch(std::vector<std::string> args) { return ::Batch(std::move(args), &TestModel); }

    void SetUp() override {
        WriteDrivers(drivers, {"0 1"});
        WriteTestModelParams(paramFile);
    }

    // The lines of the parameter file, without their line ends.
    std::vector<std::string> ParamLines() const {
        std::vector<std::string> lines;
        std::ifstream in(paramFile, std::ios::binary);
        for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
        return lines;
    }
    void WriteParamLines(const std::vector<std::string>& lines) const {
        std::ofstream out(paramFile, std::ios::binary);
        for (const std::string& line : lines) out << line << "\r\n";
    }

    TempFolder dir;
    std::string paramFile = dir / "p.par", drivers = dir / "d.drr", output = dir / "o.out";
};

TEST_F(BatchChecksTest, ParameterLinesOutOfPlaceAreNamedAndStrictRefusesThem) {
    std::vector<std::string> lines = ParamLines();
    std::swap(lines[1], lines[2]);  // the first two states
    WriteParamLines(lines);
    const std::string warnings =
        "parameter file '" + paramFile +
        "' line 2: 'C: sapwood' where the model has 'C: foliar'; values are read by position\n"
        "modelbatch: warning: parameter file '" + paramFile +
        "' line 3: 'C: foliar' where the model has 'C: sapwood'; values are read by position\n";
    BatchResult result = Batch({"--stop", "3", paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "modelbatch: warning: " + warnings);

    std::filesystem::remove(output);
    result = Batch({"--strict", "--stop", "3", paramFile, drivers, output});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: " + std::string(warnings).replace(warnings.find("warning: "), 9, ""));
    EXPECT_FALSE(std::filesystem::exists(output));

    // A file that ends after the states and two parameters.
    lines.resize(1 + 55 + 2);
    std::swap(lines[1], lines[2]);
    WriteParamLines(lines);
    result = Batch({"--stop", "3", paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "modelbatch: warning: parameter file '" + paramFile +
                              "' holds 57 values where the model has 169: the other 112 read as 0\n");
}

TEST_F(BatchChecksTest, DriversThatDoNotCoverTheRunAreWarnedAbout) {
    WriteDrivers(drivers, {"3 1", "5 1", "4 1", "6 1", "-7 2"});
    const std::string subject = "driver file '" + drivers + "'";
    BatchResult result = Batch({"--stop", "10", paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "modelbatch: warning: " + subject + " starts at time 3, after the start time 1: the first record's "
              "values apply before it\n"
              "modelbatch: warning: " + subject + " line 5: the time 4 is before the time 5 of the record before it; "
              "records are read in the order of the file and must not go back in time\n"
              "modelbatch: warning: the run goes past the last record of " + subject + ", at time 7: its values hold "
              "to the end of the run (--repeat-drivers repeats the file)\n");

    // Records that cover the run: the last one lasts as long as the spacing before it.
    WriteDrivers(drivers, {"1 1", "2 1", "3 1", "4 1", "5 1", "6 1", "7 1", "8 1"});
    EXPECT_EQ(Batch({"--stop", "9", paramFile, drivers, output}).err, "");
    EXPECT_EQ(Batch({"--stop", "9", "--repeat-drivers", "9", paramFile, drivers, output}).err,
              "modelbatch: warning: --repeat-drivers 9 lies beyond the last record of " + subject +
                  ", at time 8: its values hold until the drivers repeat\n");
    EXPECT_EQ(Batch({"--stop", "10", paramFile, drivers, output}).err,
              "modelbatch: warning: the run goes past the last record of " + subject +
                  ", at time 8: its values hold to the end of the run (--repeat-drivers repeats the file)\n");
}

TEST_F(BatchChecksTest, ASecondRunOnTheSameOutputFileIsRefusedAndLeavesItAlone) {
    std::ofstream(output, std::ios::binary) << "records of the first run\r\n";
    const int fd = ::open(output.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);  // as the first run holds it
    const BatchResult result = Batch({"--stop", "3", paramFile, drivers, output});
    ::close(fd);
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: output file '" + output + "' is being written by another run\n");
    EXPECT_EQ(ReadBytes(output), "records of the first run\r\n");
    EXPECT_EQ(Batch({"-q", "--stop", "3", paramFile, drivers, output}).status, 0);  // once it is done
}

TEST_F(BatchChecksTest, SaveParamsIsCheckedBeforeTheRunAndMayReplaceTheParameterFileRead) {
    const std::string nowhere = dir / "nowhere/end.par";
    BatchResult result = Batch({"--stop", "3", "--save-params", nowhere, paramFile, drivers, output});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: --save-params '" + nowhere + "': folder '" + dir / "nowhere" +
                              "' does not exist; nothing was run\n");
    EXPECT_FALSE(std::filesystem::exists(output));

    // The parameter file was read whole before the run: it can take the end states.
    result = Batch({"-q", "--stop", "3", "--save-params", paramFile, paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    paramarray params;
    statearray states;
    ASSERT_TRUE(ReadParamFile(paramFile, ModelDef.NumParams, params, ModelDef.NumStates, states));
    EXPECT_EQ(states[1].Value, 2);
}

TEST_F(BatchChecksTest, TheSummaryTellsHowTheSteadyStateCameOut) {
    // States 1 and 2 grow by 1 a day from 0: at the check of day 16 they have
    // grown by a third since the check of day 11.
    BatchResult result = Batch({"--stop", "20", "--steady-state", "1", "--ss-time", "5", paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    const std::string notReached = "modelbatch: 19 steps, time reached 20, 19 records written to '" + output +
                                   "', no steady state: at the last check (time 16) Cf changed by 33.3 % (more than "
                                   "1 %), ";
    EXPECT_EQ(result.out.substr(0, notReached.size()), notReached);

    // Nothing grows: steady at the first check.
    WriteTestModelParams(paramFile, {{1, 0}});
    WriteDrivers(drivers, {"0 0.5", "1 0"});
    result = Batch({"--stop", "20", "--steady-state", "1", "--ss-time", "5", paramFile, drivers, output});
    const std::string reached =
        "modelbatch: 5 steps, time reached 6, 5 records written to '" + output + "', steady state reached at time 6, ";
    EXPECT_EQ(result.out.substr(0, reached.size()), reached);
}

}  // namespace
