// ostrel-fit as a user runs it: the sample model fitted to observations made
// from its own run with three parameters changed, and the command line's
// refusals.
#include <gtest/gtest.h>

#include <csignal>

#include "fileio/file_access.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/fit/fit_support.h"
#include "tests/run/test_model.h"

namespace {

class FitCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteDrivers(drivers, {"0 1"});
        WriteTestModelParams(paramFile);
        WriteBytes(obsFile, "time,Cf\n1,3\n2,6\n3,9\n");
    }
    // ostrel-fit on the test model.
    static FitRunResult Fit(std::vector<std::string> args) { return FitCommand(std::move(args), &TestModel); }
    // The message of a command line refused with exit status 2.
    std::string Usage(std::vector<std::string> fitOptions) {
        fitOptions.insert(fitOptions.end(), {"--stop", "4", paramFile, drivers, obsFile});
        const FitRunResult r = Fit(fitOptions);
        EXPECT_EQ(r.status, 2) << r.err;
        return r.err;
    }

    TempFolder dir;
    std::string paramFile = dir / "p.par", drivers = dir / "d.drr", obsFile = dir / "obs.csv";
};

TEST_F(FitCommandTest, RecoversChangedSampleParametersAndFlagsOneTheObservationsIgnore) {
    const std::string samples = OSTREL_SAMPLES_DIR, par = samples + "/forest.par", drr = samples + "/weather.drr";
    const std::vector<std::string> times = {"--start", "0", "--stop", "365", "--output-every", "30"};
    std::vector<std::string> make = times;
    make.insert(make.end(), {"-q", "--format", "csv", "--columns", "LAI,NEP,Ws", "--set", "mF=48", "--set",
                             "alphas=0.72", "--set", "Q10D=2.4", par, drr, obsFile});
    ASSERT_EQ(Batch(make).status, 0);

    std::vector<std::string> args = times;
    const std::string fitted = dir / "fitted.par", report = dir / "report.txt";
    args.insert(args.end(), {"-q", "--fit", "mF", "--fit", "alphas=0.5..0.9", "--fit", "Q10D", "--fit", "deltaCa",
                             "--fit", "alphaQ", "-o", fitted, "--report", report, par, drr, obsFile});
    const FitRunResult r = FitCommand(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");

    paramarray params;
    statearray states, original;
    ASSERT_TRUE(ReadParamFile(fitted, ModelDef.NumParams, params, ModelDef.NumStates, states));
    ASSERT_TRUE(ReadParamFile(par, ModelDef.NumParams, Params, ModelDef.NumStates, original));
    const auto value = [&](const char* symbol) { return params[FindSymbol(2, symbol)].Value; };
    EXPECT_NEAR(value("mF"), 48, 48e-3);
    EXPECT_NEAR(value("alphas"), 0.72, 0.72e-3);
    EXPECT_NEAR(value("Q10D"), 2.4, 2.4e-3);
    EXPECT_GE(value("deltaCa"), -16);
    EXPECT_LE(value("deltaCa"), -4);
    // Everything else is the file's own.
    EXPECT_EQ(value("Tas"), Params[FindSymbol(2, "Tas")].Value);
    for (int i = 1; i <= ModelDef.NumStates; ++i) EXPECT_EQ(states[i].Value, original[i].Value);

    const std::string text = ReadBytes(report);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "Fit to observations file '" + obsFile + "': 36 observed values of 3 series at 12 times");
    EXPECT_NE(text.find("\nalphas        0.6           0.72"), std::string::npos) << text;
    EXPECT_NE(text.find("-16           -4            unidentifiable: the observations do not depend on it\n"),
              std::string::npos)
        << text;
    // What the model does with alphaQ does not reach these observations: its
    // differences are the runs' rounding, which a test for zero misses.
    EXPECT_NE(text.find("\nalphaQ        0.05          "), std::string::npos) << text;
    EXPECT_NE(
        text.find("inf           0.025         0.1           unidentifiable: the observations do not depend on it\n"),
        std::string::npos)
        << text;
}

// Runs that end on a new model year leave nothing to the run after them: the
// fit finds the value the observations were made with whichever day it stops.
TEST_F(FitCommandTest, RecoversAValueExactlyWhetherItsRunsEndBeforeOrOnTheNewYear) {
    const std::string samples = OSTREL_SAMPLES_DIR, par = samples + "/forest.par", drr = samples + "/weather.drr";
    ASSERT_EQ(Batch({"-q", "--start", "0", "--stop", "365", "--output-every", "30", "--set", "mF=44", "--format", "csv",
                     "--columns", "PST", par, drr, obsFile})
                  .status,
              0);
    for (const char* stop : {"365", "366"}) {
        const std::string fitted = dir / "fitted.par";
        const FitRunResult r = FitCommand({"-q", "--start", "0", "--stop", stop, "--output-every", "30", "--fit",
                                           "mF=20..80", "-o", fitted, par, drr, obsFile});
        ASSERT_EQ(r.status, 0) << r.err;
        paramarray params;
        statearray states;
        ASSERT_TRUE(ReadParamFile(fitted, ModelDef.NumParams, params, ModelDef.NumStates, states));
        EXPECT_NEAR(params[FindSymbol(2, "mF")].Value, 44, 1e-6) << "stop " << stop;
    }
}

TEST_F(FitCommandTest, CtrlCAndSigtermKeepTheBestValuesFound) {
    WriteTestModelParams(paramFile, {{6, 2}});  // SIGTERM in the step that ends at 2
    const FitRunResult stopped = Fit({"--start", "0", "--stop", "4", "--fit", "Deltad", paramFile, drivers, obsFile});
    EXPECT_EQ(stopped.status, 143);
    EXPECT_EQ(stopped.err.substr(0, 62), "ostrel-fit: stopped by SIGTERM; the best values found are kept");

    WriteTestModelParams(paramFile, {{5, 2}});  // Ctrl+C in the step that ends at 2
    const std::string fitted = dir / "fitted.par";
    const FitRunResult r = Fit({"--start", "0", "--stop", "4", "--fit", "Deltad", "-o", fitted, paramFile, drivers, obsFile});
    EXPECT_EQ(r.status, 130);
    EXPECT_EQ(r.err.substr(0, 55), "ostrel-fit: interrupted; the best values found are kept");
    EXPECT_NE(r.out.find("\nObjective (sum of squared standardised residuals): start n/a, end n/a\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nThe fit was cancelled: no standard errors.\n"), std::string::npos) << r.out;
    EXPECT_TRUE(fileio::IsExistingFile(fitted));
}

TEST_F(FitCommandTest, RefusesWhatItCannotFit) {
    EXPECT_EQ(Usage({}), "ostrel-fit: name the parameters to fit with --fit SYM[=LOW..HIGH]\n");
    EXPECT_EQ(Usage({"--fit", "Cf"}), "ostrel-fit: --fit Cf: Cf is a state variable; --fit takes parameters\n");
    EXPECT_EQ(Usage({"--fit", "Tas"}),
              "ostrel-fit: --fit Tas: its starting value is 0, which gives no bounds of its own; write Tas=LOW..HIGH\n");
    EXPECT_EQ(Usage({"--fit", "Deltad=2..0.5"}),
              "ostrel-fit: --fit Deltad=2..0.5: the lower bound 2 must be below the upper bound 0.5\n");
    EXPECT_EQ(Usage({"--fit", "Deltad=2..5"}),
              "ostrel-fit: --fit Deltad=2..5: the starting value 1 of Deltad lies outside 2..5\n");
    EXPECT_EQ(Usage({"--fit", "Deltad=2"}), "ostrel-fit: --fit Deltad=2: write the bounds as LOW..HIGH, two numbers\n");
    EXPECT_EQ(Usage({"--fit", "Deltad", "--fit", "Deltad=0..3"}),
              "ostrel-fit: --fit Deltad=0..3: Deltad is fitted already\n");
    EXPECT_EQ(Usage({"--fit", "Deltad", "--algorithm", "newton"}),
              "ostrel-fit: --algorithm newton: the algorithms are bobyqa, neldermead and sbplx\n");
    EXPECT_EQ(Usage({"--fit", "Deltad", "--sd", "Cf"}),
              "ostrel-fit: --sd Cf: write SYMBOL=VALUE, the standard deviation of every observation of SYMBOL\n");
    EXPECT_EQ(Usage({"--fit", "Deltad", "--step", "0"}), "ostrel-fit: --step 0: " + std::string([] {
                  return Batch({"--step", "0", "a", "b", "c"}).err.substr(std::string("modelbatch: --step 0: ").size());
              }()));

    // Failures of the files and the fit: exit status 1.
    WriteBytes(obsFile, "time,Cf\n1,x\n");
    FitRunResult r = Fit({"--stop", "4", "--fit", "Deltad", paramFile, drivers, obsFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ostrel-fit: observations file '" + obsFile +
                         "', line 2, column 2 (Cf): 'x' is not a number (a missing value is an empty cell or NA)\n");
    WriteBytes(obsFile, "time,Cf\n1,3\n1.5,4\n");
    r = Fit({"--stop", "4", "--fit", "Deltad", "--report", dir / "none/r.txt", paramFile, drivers, obsFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ostrel-fit: --report '" + dir / "none/r.txt" + "': folder '" + dir / "none" +
                         "' does not exist; nothing was fitted\n");
    r = Fit({"--start", "0", "--stop", "4", "--fit", "Deltad", paramFile, drivers, obsFile});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ostrel-fit: the run from the starting values fails: the run writes no record at time 1.5, where "
                     "observations file '" + obsFile + "' has observations; choose the start, the step and the output "
                     "interval so that a record falls on every observed time\n");
    EXPECT_EQ(Usage({"--fit", "Deltad", "--plot", dir / "f.png"}),
              "ostrel-fit: --plot: this ostrel-fit was built without windows and draws no plots\n");
}

TEST(FitPlotFiles, OneFileAVariableWhenSeveralAreObserved) {
    fit::Observations obs;
    obs.Series.resize(1);
    obs.Series[0].Symbol = "LAI";
    EXPECT_EQ(PlotFiles("out/fit.png", obs), std::vector<std::string>{"out/fit.png"});
    obs.Series.resize(2);
    obs.Series[1].Symbol = "Ts.driver4";
    EXPECT_EQ(PlotFiles("out.d/fit.svg", obs), (std::vector<std::string>{"out.d/fit-LAI.svg", "out.d/fit-Ts.driver4.svg"}));
    EXPECT_EQ(PlotFiles("out.d/fit", obs), (std::vector<std::string>{"out.d/fit-LAI", "out.d/fit-Ts.driver4"}));
}

}  // namespace
