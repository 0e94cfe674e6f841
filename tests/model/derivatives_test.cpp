#include <gtest/gtest.h>

#include "model/equations.h"
#include "model/new_year.h"
#include "tests/model/forest_stand.h"

namespace {

// The global tables hold a plausible stand; trial vectors start from its states.
class DerivativeFrame : public ::testing::Test {
protected:
    static constexpr double T = 180.0;
    valuearray y, dydx;
    statearray savedStates;
    processarray savedProcesses;
    double savedStartTime = StartTime;
    bool savedNewYear = NewYear;
    // The tables as the tests before left them, for the tests after.
    const statearray outerStates = States;
    const paramarray outerParams = Params;
    const driverarray outerDrivers = Drivers;
    const processarray outerProcesses = Processes;

    void SetUp() override {
        DefineModel();
        const ForestStand stand;
        for (int i = 1; i <= MaxStates; ++i) {
            States[i].Value = stand.states[i].Value;
            States[i].HoldConstant = States[i].Reset = false;
        }
        for (int i = 1; i <= MaxParams; ++i) Params[i].Value = stand.params[i].Value;
        for (int i = 1; i <= MaxDrivers; ++i) Drivers[i].Value = stand.drivers[i].Value;
        for (int i = 1; i <= MaxProcesses; ++i) Processes[i].Value = -7.0;
        StartTime = 0.0;
        NewYear = false;
        for (int i = 1; i <= MaxStates; ++i) y[i] = States[i].Value;
        savedStates = States;
        savedProcesses = Processes;
    }
    void TearDown() override {
        StartTime = savedStartTime;
        NewYear = savedNewYear;
        States = outerStates;
        Params = outerParams;
        Drivers = outerDrivers;
        Processes = outerProcesses;
    }
    void Derivatives(double t = T) { EvaluateDerivatives(Drivers, Params, y, t, dydx); }
};

TEST_F(DerivativeFrame, DerivativesAreThoseOfTheTrialValues) {
    dydx[56] = 12345.0;  // beyond the states: never written
    Derivatives();
    const valuearray atStand = dydx;
    EXPECT_NE(atStand[st::Cf], 0.0);
    EXPECT_EQ(dydx[56], 12345.0);

    // d qUnT/dt = (qUn - qUnT) / 365: a running mean drawn towards qUn.
    y[st::qUnT] += 365.0;
    Derivatives();
    EXPECT_NEAR(dydx[st::qUnT], atStand[st::qUnT] - 1.0, 1e-12);
    const valuearray atTrial = dydx;

    // Only the trial values count, not the values in the global table.
    for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Value *= 1.5;
    savedStates = States;
    Derivatives();
    EXPECT_TRUE(dydx == atTrial);

    EXPECT_TRUE(States == savedStates);
    EXPECT_TRUE(Processes == savedProcesses);
}

TEST_F(DerivativeFrame, HeldStatesOfTheGlobalTableGetZero) {
    for (int i : {st::Cf, st::Wr, st::EtT}) States[i].HoldConstant = true;
    savedStates = States;
    y[st::Cf] = 450;
    Derivatives();
    for (int i : {st::Cf, st::Wr, st::EtT}) EXPECT_EQ(dydx[i], 0.0) << i;
    EXPECT_NE(dydx[st::Csw], 0.0);

    States[st::Cf].HoldConstant = false;  // the flags in force at the call
    Derivatives();
    EXPECT_NE(dydx[st::Cf], 0.0);
    EXPECT_TRUE(Processes == savedProcesses);
}

TEST_F(DerivativeFrame, WritesOfTheEquationsStayInTheScratchCopy) {
    // At the start time, and in a new year, the equations zero the annual
    // totals and set the start days to 999 in their state table; a measured
    // soil ammonium replaces the state there. None of it reaches States.
    Drivers[dr::DNnh4].Value = 0.0;
    States[st::Jdfs].Value = 150.0;
    savedStates = States;
    StartTime = T;
    Derivatives();
    EXPECT_TRUE(States == savedStates);
    StartTime = 0.0;
    NewYear = true;
    Derivatives();
    EXPECT_TRUE(States == savedStates);
    EXPECT_TRUE(Processes == savedProcesses);
}

TEST_F(DerivativeFrame, FaultsPassThroughAndLeaveTheTables) {
    // No foliage, roots or their nitrogen: the first fault is the 0/0 of
    // light-limited photosynthesis without leaves or a CO2 gradient, an
    // invalid operation; the divisions by zero that follow do not count.
    y[st::Cf] = 0.0;
    y[st::Nf] = 0.0;
    y[st::Cr] = 0.0;
    y[st::Nr] = 0.0;
    try {
        Derivatives();
        ADD_FAILURE() << "no fault";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    EXPECT_TRUE(States == savedStates);
    EXPECT_TRUE(Processes == savedProcesses);
}

}  // namespace
