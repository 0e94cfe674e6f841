// Fits on the test model, whose state 1 (Cf) grows by Params[1] (Deltad) per
// day from 0 and whose state 3 (Chw) by Params[2] (Tas): what is recovered,
// what the bounds and failing runs do, and what the statistics say.
#include <gtest/gtest.h>

#include <cmath>

#include "fileio/csv.h"
#include "fit/fitter.h"
#include "fit/fit_report.h"
#include "run/run_options.h"
#include "run/session.h"
#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

using fit::FitParameter;

// The test model, failing once its slope Params[1] passes 2.5.
void SteepFails(const driverarray& d, const paramarray& p, statearray& s, double t, processarray& pr, bool end) {
    if (p[1].Value > 2.5) throw EOverflow();
    TestModel(d, p, s, t, pr, end);
}

class FitTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteDrivers(drivers, {"0 1"});
        WriteTestModelParams(paramFile);
        StartSession(0, 10, 1);
        DriverFileName = drivers;
        ParamFileName = paramFile;
        OutputFileName = dir / "kept.out";
    }

    // Observations of Cf at the days 1..10: `slope` per day, and `noise` added
    // with alternating sign.
    fit::Observations Observed(double slope, double noise = 0.0) {
        std::string text = "time,Cf\n";
        for (int t = 1; t <= 10; ++t)
            text += std::to_string(t) + "," + fileio::ExactText(slope * t + (t % 2 ? noise : -noise)) + "\n";
        WriteBytes(obsFile, text);
        return fit::ReadObservations(obsFile);
    }

    static FitParameter Parameter(int index, double low, double high) {
        FitParameter p;
        p.Index = index;
        p.Symbol = Params[index].Symbol;
        p.Start = Params[index].Value;
        p.Low = low;
        p.High = high;
        return p;
    }

    TempFolder dir;
    std::string paramFile = dir / "p.par", drivers = dir / "d.drr", obsFile = dir / "obs.csv";
};

TEST_F(FitTest, RecoversTheSlopeWithItsStandardErrorAndLeavesTheTablesAsTheyWere) {
    const fit::Observations obs = Observed(3.0, 0.25);
    const statearray states = States;
    fit::ModelEvaluator evaluator(obs, {Parameter(1, 0, 10), Parameter(2, -1, 1)}, {}, &TestModel);
    const fit::FitResult result = fit::Fit(evaluator, {});

    // Least squares through the origin: the slope and its error as a
    // regression of the observations on the time gives them.
    double ty = 0, tt = 0;
    for (std::size_t i = 0; i < obs.Series[0].Times.size(); ++i) {
        ty += obs.Series[0].Times[i] * obs.Series[0].Values[i];
        tt += obs.Series[0].Times[i] * obs.Series[0].Times[i];
    }
    const double slope = ty / tt;
    double ssr = 0;
    for (std::size_t i = 0; i < obs.Series[0].Times.size(); ++i)
        ssr += std::pow(obs.Series[0].Values[i] - slope * obs.Series[0].Times[i], 2);
    EXPECT_NEAR(result.Fitted[0], slope, 1e-6);
    EXPECT_NEAR(result.Objective, ssr, 1e-9);
    ASSERT_TRUE(result.Errors.Available);
    EXPECT_TRUE(result.Errors.Identifiable[0]);
    EXPECT_NEAR(result.Errors.StandardError[0], std::sqrt(ssr / 8 / tt), 1e-6);  // 10 points, 2 parameters
    // Tas drives Chw only, which nobody observed.
    EXPECT_FALSE(result.Errors.Identifiable[1]);
    EXPECT_TRUE(std::isinf(result.Errors.StandardError[1]));
    EXPECT_EQ(result.Series[0].Points, 10u);
    EXPECT_NEAR(result.Series[0].Rmse, std::sqrt(ssr / 10), 1e-9);
    EXPECT_EQ(result.Runs, evaluator.Runs());

    // Every run started from the file's states; the fit leaves them and the
    // parameters as it found them, and the output file's name too.
    EXPECT_EQ(Params[1].Value, 1.0);
    EXPECT_EQ(Params[2].Value, 0.0);
    for (int i = 1; i <= ModelDef.NumStates; ++i) EXPECT_EQ(States[i].Value, states[i].Value);
    EXPECT_EQ(OutputFileName, dir / "kept.out");

    const std::string report = fit::FitReport(evaluator, result);
    EXPECT_NE(report.find("\nTas           0             "), std::string::npos) << report;
    EXPECT_NE(report.find("unidentifiable: the observations do not depend on it\n"), std::string::npos) << report;
}

TEST_F(FitTest, BoundsHoldTheFitAndAreReportedWhenReached) {
    const fit::Observations obs = Observed(3.0);
    fit::ModelEvaluator evaluator(obs, {Parameter(1, 0.5, 2)}, {}, &TestModel);
    const fit::FitResult result = fit::Fit(evaluator, {fit::Algorithm::NelderMead});
    EXPECT_EQ(result.Fitted[0], 2.0);
    EXPECT_EQ(result.AtBound, std::vector<int>{1});
    const std::string report = fit::FitReport(evaluator, result);
    EXPECT_NE(report.find("  0.5           2             at the upper bound\n"), std::string::npos) << report;
}

TEST_F(FitTest, FailingRunsCountAsBadFitsAndAFailingStartIsReported) {
    const fit::Observations obs = Observed(3.0);
    fit::ModelEvaluator evaluator(obs, {Parameter(1, 0.5, 4)}, {}, &SteepFails);
    const fit::FitResult result = fit::Fit(evaluator, {fit::Algorithm::Sbplx});
    EXPECT_GT(result.FailedRuns, 0);
    EXPECT_LE(result.Fitted[0], 2.5);
    EXPECT_GT(result.Fitted[0], 2.4);
    EXPECT_TRUE(result.Best.Ok);

    Params[1].Value = 3.0;
    fit::ModelEvaluator failing(obs, {Parameter(1, 0.5, 4)}, {}, &SteepFails);
    try {
        fit::Fit(failing, {});
        FAIL();
    } catch (const fit::EFitError& e) {
        EXPECT_STREQ(e.what(), "the run from the starting values fails: Floating point overflow");
    }
}

TEST_F(FitTest, AnObservedTimeWithoutARecordIsNamed) {
    WriteBytes(obsFile, "time,Cf\n2,2\n2.5,2.5\n");
    const fit::Observations obs = fit::ReadObservations(obsFile);
    fit::ModelEvaluator evaluator(obs, {Parameter(1, 0.5, 4)}, {}, &TestModel);
    try {
        fit::Fit(evaluator, {});
        FAIL();
    } catch (const fit::EFitError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "the run from the starting values fails: the run writes no record at time 2.5, where observations "
                  "file '" + obsFile + "' has observations; choose the start, the step and the output interval so "
                  "that a record falls on every observed time");
    }
}

}  // namespace

// A parameter the model does not use still gets a column of finite-difference
// noise: it must be found by the size of its effect, not by a zero column,
// and must not take part in the others' errors.
TEST(FitUncertainty, ParametersWithoutEffectAreFoundAndLeftOutOfTheOthers) {
    std::vector<std::vector<double>> with, without;
    for (int i = 0; i < 40; ++i) {
        const double t = i / 4.0;
        const double noise = (i % 3 - 1) * 1e-9;  // what a run's rounding leaves
        with.push_back({t, std::sin(t), noise, 2e-3 * std::cos(t)});
        without.push_back({t, std::sin(t), 2e-3 * std::cos(t)});
    }
    const std::vector<double> spans{1, 1, 0.075, 1};
    const fit::Uncertainty u = fit::UncertaintyOf(with, 30.0, spans);
    const fit::Uncertainty v = fit::UncertaintyOf(without, 30.0, {1, 1, 1});
    EXPECT_EQ(u.NoEffect, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(u.Identifiable, (std::vector<bool>{true, true, false, true}));
    EXPECT_TRUE(std::isinf(u.StandardError[2]));
    EXPECT_TRUE(std::isnan(u.Correlation[0][2]));
    // The others' errors are what they are without it, bar the one degree
    // of freedom it takes.
    const double dof = std::sqrt(37.0 / 36.0);
    EXPECT_NEAR(u.StandardError[0], v.StandardError[0] * dof, 1e-12 * v.StandardError[0]);
    EXPECT_NEAR(u.StandardError[3], v.StandardError[2] * dof, 1e-9 * v.StandardError[2]);
    // A weak effect over a narrow span is no effect; over a wide one it is.
    EXPECT_TRUE(fit::UncertaintyOf(without, 30.0, {1, 1, 0.1}).NoEffect[2]);
    EXPECT_FALSE(fit::UncertaintyOf(without, 30.0, {1, 1, 10}).NoEffect[2]);
}
