#include "cli/model_batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sstream>

#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

constexpr std::size_t npos = std::string::npos;

class ModelBatchTest : public ::testing::Test {
protected:
    // modelbatch on the test model.
    static BatchResult Batch(std::vector<std::string> args) { return ::Batch(std::move(args), &TestModel); }

    void SetUp() override {
        WriteDrivers(drivers, {"0 1"});
        WriteTestModelParams(paramFile);
    }

    TempFolder dir;
    std::string paramFile = dir / "p.par", drivers = dir / "d.drr", output = dir / "o.out";
};

TEST_F(ModelBatchTest, RunsAndReportsWhatItDid) {
    const BatchResult result = Batch({"--stop", "10", "--stats", paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    const std::string summary = "modelbatch: 9 steps, time reached 10, 9 records written to '" + output + "', ";
    EXPECT_EQ(result.out.substr(0, summary.size()), summary);
    // Every step is kept at its first size: 1 + 10 evaluations per step in the
    // integrator, and the run's own, one per step and one at the start.
    EXPECT_NE(result.out.find(" s\nintegrator steps accepted   9\n"
                              "integrator steps shrunk     0\n"
                              "model evaluations           109\n"
                              "wall time integrating       "),
              std::string::npos)
        << result.out;
    EXPECT_EQ(ReadColumn(output, 0).times.size(), 9u);

    EXPECT_EQ(Batch({"--version"}).out, "Ostrel 6.4.2\n");
}

// The compiled-in model on the bundled sample files, with one state held.
TEST_F(ModelBatchTest, RunsTheModelOnTheSampleFiles) {
    const std::string samples = OSTREL_SAMPLES_DIR;
    std::vector<std::string> args = {"modelbatch", "-q",       "--start",  "0", "--stop", "30", "--hold", "Clfw",
                                     samples + "/forest.par", samples + "/weather.drr", output};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    std::ostringstream out, err;
    EXPECT_EQ(RunModelBatch(static_cast<int>(argv.size()), argv.data(), out, err), 0) << err.str();
    paramarray params;
    statearray start;
    ASSERT_TRUE(ReadParamFile(samples + "/forest.par", ModelDef.NumParams, params, ModelDef.NumStates, start));
    const int held = FindSymbol(1, "Clfw"), free = FindSymbol(1, "Clr");
    const OutputColumn heldValues = ReadColumn(output, StateColumn(held));
    ASSERT_EQ(heldValues.times.size(), 30u);
    for (double v : heldValues.values) EXPECT_NEAR(v, start[held].Value, 1e-12 * std::fabs(v));  // 13 digits in the file
    EXPECT_GT(std::fabs(ReadColumn(output, StateColumn(free)).values.back() - start[free].Value), 0.1);
}

TEST_F(ModelBatchTest, SavesTheEndStatesAndWarnsOfAnIncompleteLastStep) {
    const std::string saved = dir / "end.par";
    const BatchResult result = Batch({"--stop", "10.5", "--save-params", saved, paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err,
              "modelbatch: warning: the run length 9.5 is not a whole multiple of the time step 1: the run stops at 10\n");
    paramarray params;
    statearray states;
    ASSERT_TRUE(ReadParamFile(saved, ModelDef.NumParams, params, ModelDef.NumStates, states));
    EXPECT_EQ(states[1].Value, 9);
    EXPECT_EQ(params[1].Value, 1);

    EXPECT_EQ(Batch({"--quiet", "--stop", "10.5", paramFile, drivers, output}).out + Batch({"-q", paramFile, drivers, output}).err, "");
}

TEST_F(ModelBatchTest, SymbolsSetTheResetAndHoldFlags) {
    const std::string first(States[1].Symbol), second(States[2].Symbol), third(States[3].Symbol);
    const BatchResult result = Batch({"-q", "--start", "0", "--stop", "7", "--reset-states", "5", "--reset", first,
                                      "--hold", second + "," + third, paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(ReadColumn(output, StateColumn(1)).values, (std::vector<double>{1, 1, 2, 3, 4, 5, 1}));
    EXPECT_TRUE(States[1].Reset && States[2].HoldConstant && States[3].HoldConstant);
    EXPECT_FALSE(States[1].HoldConstant || States[2].Reset);
}

TEST_F(ModelBatchTest, WrongCommandLinesAreRefusedSayingWhatWouldBeRight) {
    struct Case {
        std::vector<std::string> options;
        std::string err;
    };
    const std::string help = "\nRun with --help for more information.";
    const Case cases[] = {
        {{"--start", "abc"}, "--start abc: must be a number"},
        {{"--step", "0"}, "--step 0: the time step must be greater than 0"},
        {{"--stop", "0"}, "--stop 0: the stop time is before the start time 1"},
        {{"--output-every", "0"}, "--output-every 0: must be at least the time step 1"},
        {{"--step", "2", "--stop", "11", "--output-every", "3"},
         "--output-every 3: must be a whole multiple of the time step 2"},
        {{"--stop", "100", "--output-every", "500"}, "--output-every 500: must not be longer than the run, 99"},
        {{"--stop", "1000", "--offset", "2000"}, "--offset 2000: must not be after the stop time 1000"},
        {{"--repeat-drivers", "x"}, "--repeat-drivers x: must be a whole number greater than 0"},
        {{"--start", "400", "--stop", "500", "--repeat-drivers", "365"},
         "--repeat-drivers 365: the drivers would repeat before the start time 400"},
        {{"--reset-states", "0", "--reset", "Cf"}, "--reset-states 0: must be a whole number greater than 0"},
        {{"--reset", "Cf,Cr"}, "--reset Cf,Cr needs --reset-states P, the period of the reset"},
        {{"--reset-states", "5"}, "--reset-states 5 needs --reset SYM[,SYM...], the states to reset"},
        {{"--steady-state", "1"}, "--steady-state 1 needs --ss-time N, the time between two checks"},
        {{"--ss-time", "5"}, "--ss-time 5 needs --steady-state PERCENT, the change allowed"},
        {{"--steady-state", "-1", "--ss-time", "5"}, "--steady-state -1: must be a percentage greater than 0"},
        {{"--hold", "Cf,cf"}, "--hold: unknown symbol 'cf' (symbols are case-sensitive); did you mean Cf, Cr or Nf?"},
        {{"--hold", "mF"}, "--hold: mF is a parameter; --hold takes state variables"},
        {{"--hold", "Ts"}, "--hold: Ts is a driver; --hold takes state variables"},
        {{"--columns", "Cf"},
         "--columns needs --format csv or --format tsv: the model's output file always holds all 208 columns"},
        {{"--format", "csv", "--columns", "Cf,Ts"}, "--columns: 'Ts' names several variables: write Ts.driver4 or Ts.process57"},
        {{"--format", "csv", "--columns", "Ts.state4"}, "--columns: unknown symbol 'Ts.state4' (symbols are case-sensitive)"},
        {{"--end-only", "--offset", "3"}, "--offset excludes --end-only" + help},
        {{"--stpo", "3"}, "unknown option '--stpo'; did you mean --stop?" + help},
        {{"--format", "xls"}, "--format: xls not in {model,csv,tsv}" + help},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {paramFile, drivers, output});
        const BatchResult result = Batch(args);
        EXPECT_EQ(result.status, ExitUsage);
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        EXPECT_FALSE(std::filesystem::exists(output)) << c.err;
    }
    EXPECT_EQ(Batch({paramFile, drivers}).err,
              "modelbatch: PARAMFILE, DRIVERFILE and OUTPUTFILE are required\nRun with --help for more information.\n");
    // A list of states is one argument: a second symbol after a blank is a file name.
    EXPECT_EQ(Batch({"--hold", "Cf", "Cr", paramFile, drivers, output}).err,
              "modelbatch: The following argument was not expected: " + output +
                  " (modelbatch takes three files, PARAMFILE DRIVERFILE OUTPUTFILE; --hold, --reset and --columns take "
                  "one comma-separated list each)\nRun with --help for more information.\n");
}

TEST_F(ModelBatchTest, FileAndRunFailuresNameTheFileAndKeepTheRecords) {
    const std::string other = dir / "other.par", broken = dir / "broken.par", failing = dir / "failing.par";
    std::ofstream(other) << "Other                     1.0\r\n";
    std::ofstream(broken) << "Ostrel                    6.4.2\r\n" << std::string(25, ' ') << " 12x\r\n";
    WriteTestModelParams(failing, {{4, 5.5}});  // the equations fail from time 5.5 on
    const std::string badDrivers = dir / "bad.drr";
    WriteDrivers(badDrivers, {"1 1", "2 1", "3 1", "4 1", "5 x"});
    const std::string missing = dir / "missing";

    struct Case {
        std::vector<std::string> files;
        std::string err;
        std::size_t records;  // left in the output file; npos: no output file
    };
    const Case cases[] = {
        {{missing, drivers, output}, "parameter file '" + missing + "': File not found", npos},
        {{other, drivers, output},
         "parameter file '" + other +
             "': The parameter file selected is not compatible with this model. No parameters read.",
         npos},
        {{broken, drivers, output}, "parameter file '" + broken + "' line 2, state 'Cf': Invalid numeric input", npos},
        {{paramFile, missing, output}, "driver file '" + missing + "': File not found", npos},
        {{paramFile, drivers, missing + "/o.out"},
         "output file '" + missing + "/o.out': folder '" + missing + "' does not exist", npos},
        {{paramFile, badDrivers, output},
         "driver file '" + badDrivers + "' line 7, value 2 of 19: Invalid numeric input", npos},
        {{failing, drivers, output}, "run failed at time 5: Invalid floating point operation", 4},
        {{paramFile, drivers, "/dev/full"}, "output file '/dev/full': Disk full", npos},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(output);
        std::vector<std::string> args = {"--quiet", "--stop", "10"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const BatchResult result = Batch(args);
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        if (c.records == npos)
            EXPECT_FALSE(std::filesystem::exists(output)) << c.err;
        else
            EXPECT_EQ(ReadColumn(output, 0).times.size(), c.records) << c.err;
    }
}

TEST_F(ModelBatchTest, CtrlCAndSigtermEndTheRunAfterTheStepAndKeepItsRecords) {
    struct Case {
        int param, status;
        const char* err;
        const char* summary;
    };
    const Case cases[] = {{5, 130, "modelbatch: interrupted at time 4\n", ", cancelled, "},
                          {6, 143, "modelbatch: stopped by SIGTERM at time 4\n", ", stopped by SIGTERM, "}};
    for (const Case& c : cases) {
        WriteTestModelParams(paramFile, {{c.param, 4}});  // the signal comes in the step that ends at 4
        const BatchResult quiet = Batch({"-q", "--stop", "10", paramFile, drivers, output});
        EXPECT_EQ(quiet.status, c.status);
        EXPECT_EQ(quiet.err, "");
        const BatchResult result = Batch({"--stop", "10", paramFile, drivers, output});
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.err, c.err);
        EXPECT_NE(result.out.find("3 records written to '" + output + "'" + c.summary), npos) << result.out;
        // The file is closed whole: every record ends with its line end.
        EXPECT_EQ(ReadColumn(output, 0).times, (std::vector<double>{2, 3, 4}));
        EXPECT_EQ(ReadBytes(output).substr(ReadBytes(output).size() - 2), "\r\n");
        for (const int signal : {SIGINT, SIGTERM}) {
            struct sigaction now {};
            sigaction(signal, nullptr, &now);
            EXPECT_EQ(now.sa_handler, SIG_DFL);  // the program's own handlers are gone again
        }
    }
}

}  // namespace
