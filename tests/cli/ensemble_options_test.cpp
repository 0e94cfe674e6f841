// modelbatch as a member of an ensemble: values set on the command line,
// metrics of the records, the shared results file and runs without output.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

class EnsembleOptionsTest : public ::testing::Test {
protected:
    static BatchResult Batch(std::vector<std::string> args) { return ::Batch(std::move(args), &TestModel); }

    void SetUp() override {
        WriteDrivers(drivers, {"0 1"});
        WriteTestModelParams(paramFile);
    }

    // A five-step run of the test model without an output file: state Cf
    // grows by 1 a time unit from its starting value.
    BatchResult Member(std::vector<std::string> options) {
        std::vector<std::string> args{"--start", "0", "--stop", "5", "--no-output", "-q"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {paramFile, drivers});
        return Batch(args);
    }

    TempFolder dir;
    std::string paramFile = dir / "p.par", drivers = dir / "d.drr", results = dir / "r.csv";
};

}  // namespace

TEST_F(EnsembleOptionsTest, SetValuesAndMetricsWithoutAnOutputFile) {
    const BatchResult r = Member({"--set", "Cf=10", "--metric", "last(Cf)", "--metric", "mean(Cf)@2..3",
                                  "--metric", "integral(Cf)"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "last(Cf) = 15\nmean(Cf)@2..3 = 12.5\nintegral(Cf) = 52\n");
    EXPECT_EQ(dir.Entries(), 2u);  // no output file was made
}

TEST_F(EnsembleOptionsTest, MembersShareOneResultsFileAndFailuresGetTheirRow) {
    const std::vector<std::string> metrics{"--metrics-out", results, "--metric", "max(Cf)", "--metric", "first(Cf)@1..3"};
    const auto member = [&](std::vector<std::string> options) {
        options.insert(options.end(), metrics.begin(), metrics.end());
        return Member(options);
    };
    ASSERT_EQ(member({"--member", "m1"}).status, 0);
    // A run without records in the window of a metric: its row says so.
    const BatchResult shorter = member({"--member", "m2", "--offset", "4"});
    EXPECT_EQ(shorter.status, 1);
    EXPECT_EQ(shorter.err, "modelbatch: metric 'first(Cf)@1..3' has no record in its time window\n");
    ASSERT_EQ(member({"--member", "m3", "--set", "Cf=1.5"}).status, 0);
    EXPECT_EQ(ReadBytes(results), "member,status,max(Cf),first(Cf)@1..3\r\nm1,ok,5,1\r\n"
                                  "m2,metric 'first(Cf)@1..3' has no record in its time window,,\r\n"
                                  "m3,ok,6.5,2.5\r\n");
    // Another set of metrics goes to a file of its own.
    const BatchResult other = Member({"--member", "m4", "--metrics-out", results, "--metric", "min(Cf)"});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "modelbatch: results file '" + results +
                             "': its header is not the one of this run's metrics (member,status,min(Cf)); use "
                             "another results file\n");
}

TEST_F(EnsembleOptionsTest, MistakesAreRefusedBeforeTheRun) {
    const auto refusal = [this](std::vector<std::string> options) {
        const BatchResult r = Member(std::move(options));
        EXPECT_EQ(r.status, 2);
        return r.err;
    };
    EXPECT_EQ(refusal({"--set", "Cff=1", "--metric", "max(Cf)"}),
              "modelbatch: --set Cff=1: unknown symbol 'Cff' (symbols are case-sensitive); did you mean Cf or Cfe?\n");
    EXPECT_EQ(refusal({"--set", "Cf=x", "--metric", "max(Cf)"}), "modelbatch: --set Cf=x: the value must be a number\n");
    EXPECT_EQ(refusal({"--set", "Cf", "--metric", "max(Cf)"}), "modelbatch: --set Cf: must be SYM=VALUE\n");
    EXPECT_EQ(refusal({"--metric", "avg(Cf)"}),
              "modelbatch: --metric 'avg(Cf)': unknown kind 'avg'; the kinds are mean, min, max, first, last, "
              "integral\n");
    EXPECT_EQ(refusal({"--metrics-out", results}), "modelbatch: --metrics-out needs --metric METRIC, the results to record\n");
    const BatchResult withOutput =
        Batch({"--no-output", "--metric", "max(Cf)", paramFile, drivers, dir / "o.out"});
    EXPECT_EQ(withOutput.status, 2);
    EXPECT_EQ(withOutput.err, "modelbatch: --no-output writes no output file: leave OUTPUTFILE '" + (dir / "o.out") +
                                  "' out\n");
    EXPECT_FALSE(std::filesystem::exists(results));
}
