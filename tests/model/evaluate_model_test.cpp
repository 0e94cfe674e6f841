// The evaluation frame: soil nitrogen overrides, the annual reset, held
// states, the derivative and output layout, and floating-point faults.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "model/derivative_frame.h"
#include "model/equations.h"
#include "model/new_year.h"
#include "tests/model/forest_stand.h"

namespace {

constexpr int AnnualTotals[] = {st::PptT,      st::PptIT,     st::EtT,       st::QgT,       st::QwT,     st::DnT,
                                st::PST,       st::NPPT,      st::tauNT,     st::RPT,       st::lambdaCfT, st::lambdaCwT,
                                st::lambdaCrT, st::lambdaNfT, st::lambdaNwT, st::lambdaNrT, st::lambdaCT, st::lambdaNT,
                                st::RST,       st::NepT,      st::UNT,       st::UnfixT,    st::NminT,   st::QNT};

class EvaluateModelTest : public ::testing::Test {
protected:
    ForestStand stand;
    processarray out{};

    void SetUp() override {
        NewYear = false;
        StartTime = 0;
        TimeStep = 1;
    }
    void TearDown() override { NewYear = false; }
    void Eval(double time = 180, bool endOfStep = false) {
        EvaluateModel(stand.drivers, stand.params, stand.states, time, out, endOfStep);
    }
    double Rate(int state) const { return out[state].Value; }
    double V(int entry) const { return out[entry].Value; }
};

TEST_F(EvaluateModelTest, SoilNitrogenDriversOverrideUnlessMissing) {
    Eval();
    EXPECT_EQ(stand.S(st::Nnh4), 1.0);
    EXPECT_EQ(stand.S(st::Nno3), 0.5);
    EXPECT_EQ(V(pr::NIT), 1.5);

    stand.D(dr::DNnh4) = 0;  // 0 is a measurement, not a missing value
    stand.D(dr::DNno3) = 0.25;
    Eval();
    EXPECT_EQ(stand.S(st::Nnh4), 0.0);
    EXPECT_EQ(stand.S(st::Nno3), 0.25);
    EXPECT_EQ(V(pr::NIT), 0.25);
    EXPECT_EQ(V(pr::Nnh4aq), 0.0);

    stand.D(dr::DNno3) = -0.5;  // only -1 marks a missing value
    Eval();
    EXPECT_EQ(stand.S(st::Nno3), -0.5);
}

TEST_F(EvaluateModelTest, HeldStatesHaveNoRate) {
    for (int i : {st::Cf, st::Wr, st::qUnT, st::EtT}) stand.states[i].HoldConstant = true;
    Eval();
    for (int i : {st::Cf, st::Wr, st::qUnT, st::EtT}) EXPECT_EQ(Rate(i), 0.0) << i;
    // The unheld neighbours still move.
    EXPECT_DOUBLE_EQ(Rate(st::Wg), V(pr::DR) - V(pr::Qg));
    EXPECT_DOUBLE_EQ(Rate(st::QwT), V(pr::ET) + V(pr::Qg));
    EXPECT_NE(Rate(st::Csw), 0.0);
}

TEST_F(EvaluateModelTest, WaterAndRunningMeanRates) {
    stand.S(st::Wr) = 260;  // draining
    Eval(180, true);
    EXPECT_DOUBLE_EQ(Rate(st::Wr), -V(pr::ET) - V(pr::DR));
    EXPECT_DOUBLE_EQ(Rate(st::Wg), V(pr::DR) - V(pr::Qg));
    EXPECT_DOUBLE_EQ(Rate(st::EtT), V(pr::ET));
    EXPECT_DOUBLE_EQ(Rate(st::QgT), V(pr::Qg));
    EXPECT_DOUBLE_EQ(Rate(st::qUnT), (V(pr::qUn) - 10) / 365);
    // Advanced only at the end of a step, never integrated.
    for (int i : {st::Ws, st::Laieos, st::Jday, st::DDa, st::DDs, st::PptT, st::PptIT, st::DnT, st::Jdfs, st::Jdws,
                  st::Jdrs})
        EXPECT_EQ(Rate(i), 0.0) << i;
}

// The annual totals accumulate the fluxes they are named for, so the totals
// of totals agree with their parts: litter by organ, NPP as GPP less plant
// respiration, NEP as NPP less soil respiration, uptake and net
// mineralization by ion.
TEST_F(EvaluateModelTest, AnnualTotalsAccumulateTheirFluxes) {
    for (int i : {st::Jdfs, st::Jdws, st::Jdrs}) stand.S(i) = 170;  // every litter window open
    stand.S(st::Wr) = 260;                                           // draining, so nitrogen leaches
    Eval();
    EXPECT_GT(V(pr::lambdaCSW) * V(pr::lambdaCHW) * V(pr::lambdaCR) * V(pr::Unfix) * V(pr::QNO3), 0.0);

    const double litterC = V(pr::lambdaCF) + V(pr::lambdaCSW) + V(pr::lambdaCHW) + V(pr::lambdaCR);
    const double litterN = V(pr::lambdaNF) + V(pr::lambdaNSW) + V(pr::lambdaNHW) + V(pr::lambdaNR);
    EXPECT_DOUBLE_EQ(Rate(st::lambdaCfT), V(pr::lambdaCF));
    EXPECT_DOUBLE_EQ(Rate(st::lambdaCwT), V(pr::lambdaCSW) + V(pr::lambdaCHW));
    EXPECT_DOUBLE_EQ(Rate(st::lambdaCrT), V(pr::lambdaCR));
    EXPECT_DOUBLE_EQ(Rate(st::lambdaCT), litterC);
    EXPECT_DOUBLE_EQ(Rate(st::lambdaNfT) + Rate(st::lambdaNwT) + Rate(st::lambdaNrT), litterN);
    EXPECT_DOUBLE_EQ(Rate(st::lambdaNT), litterN);

    const double plantResp =
        V(pr::RFmet) + V(pr::RFgr) + V(pr::RWmet) + V(pr::RWgr) + V(pr::RRmet) + V(pr::RRgr) + V(pr::RUnfix);
    EXPECT_DOUBLE_EQ(Rate(st::PST), V(pr::Ps));
    EXPECT_DOUBLE_EQ(Rate(st::RPT), plantResp);
    EXPECT_DOUBLE_EQ(Rate(st::NPPT), V(pr::Ps) - plantResp);
    EXPECT_DOUBLE_EQ(Rate(st::RST), V(pr::RE) + V(pr::RH));
    EXPECT_DOUBLE_EQ(Rate(st::NepT), V(pr::Ps) - plantResp - V(pr::RE) - V(pr::RH));

    EXPECT_DOUBLE_EQ(Rate(st::UNT), V(pr::UNH4) + V(pr::UNO3));
    EXPECT_DOUBLE_EQ(Rate(st::UnfixT), V(pr::Unfix));
    EXPECT_DOUBLE_EQ(Rate(st::tauNT), V(pr::tauN));
    EXPECT_DOUBLE_EQ(Rate(st::NminT), V(pr::MNA) + V(pr::MNH) - V(pr::INH4) - V(pr::INO3));
    EXPECT_DOUBLE_EQ(Rate(st::QNT), V(pr::QNH4) + V(pr::QNO3));
}

TEST_F(EvaluateModelTest, OutputLayout) {
    stand.D(dr::Ts) = 7.5;
    for (int i = 190; i <= 200; ++i) out[i].Value = 123;
    Eval();
    EXPECT_EQ(V(pr::Ts), 7.5);
    for (int e : {pr::PhenologyF, pr::PhenologyW, pr::PhenologyR}) EXPECT_EQ(V(e), 0.0);
    for (int i = 190; i <= 200; ++i) EXPECT_EQ(out[i].Value, 123) << i;
}

TEST_F(EvaluateModelTest, PrecipitationIsPartitionedOnlyAtTheEndOfAStep) {
    const statearray before = stand.states;
    Eval(180, false);
    for (int e : {pr::Pptr, pr::PptI, pr::Ppts, pr::Ms}) EXPECT_EQ(V(e), 0.0) << e;
    EXPECT_EQ(stand.states, before);
    Eval(180, true);
    EXPECT_EQ(V(pr::Pptr), 3.0);
    EXPECT_GT(V(pr::PptI), 0.0);
}

TEST_F(EvaluateModelTest, AnnualResetAtTheStartTime) {
    stand.S(st::Jdfs) = 0;  // a day fixed last year
    stand.S(st::Jdws) = 200;
    stand.states[st::Jdws].HoldConstant = true;
    stand.states[st::EtT].HoldConstant = true;
    stand.states[st::Jday].HoldConstant = true;
    StartTime = 180;
    Eval(180);

    for (int i : AnnualTotals) {
        if (i != st::EtT) {
            EXPECT_EQ(stand.S(i), 0.0) << i;
        }
    }
    EXPECT_EQ(stand.S(st::EtT), 310.0);  // held: kept in the table
    EXPECT_EQ(stand.S(st::Jday), 180);
    EXPECT_EQ(stand.S(st::DDa), 0.0);
    EXPECT_EQ(stand.S(st::DDs), 0.0);
    EXPECT_EQ(stand.S(st::Jdfs), 999);
    EXPECT_EQ(stand.S(st::Jdws), 200);
    EXPECT_EQ(stand.S(st::Jdrs), 999);
    EXPECT_EQ(stand.S(st::qUnT), 10);
    EXPECT_EQ(stand.S(st::Laieos), 5);

    // The evaluation itself runs on day 0 (held or not) with last year's
    // start days: 8.65 h of daylight at 45 degrees, the foliage window open.
    EXPECT_NEAR(V(pr::Hd), 8.65, 0.005);
    EXPECT_EQ(V(pr::FFall), 1.0);
    EXPECT_EQ(V(pr::FGrow), 0.0);  // no degree days yet
}

TEST_F(EvaluateModelTest, AnnualResetOnANewYear) {
    Eval(400);
    EXPECT_EQ(stand.S(st::NPPT), 360.0);  // no reset mid-year
    NewYear = true;
    Eval(400);
    EXPECT_EQ(stand.S(st::NPPT), 0.0);
    EXPECT_EQ(stand.S(st::Jday), 0.0);
    EXPECT_EQ(stand.S(st::Jdrs), 999);
    EXPECT_TRUE(NewYear);  // only the end of a step changes it
}

// Each fault kind ends the evaluation with its own message and leaves the
// state table, the process table and the new-year flag as they were.
TEST_F(EvaluateModelTest, FloatingPointFaultsLeaveTheTablesUntouched) {
    struct Case { const char* message; ParamRef p; double value; };
    const Case cases[] = {
        {"Floating point division by zero", pa::mF, 0},       // LAI = Cf/0
        {"Invalid floating point operation", pa::Clfwmax, -500},  // (-0.6)^1.5
        {"Floating point overflow", pa::thetaU, 2},           // exp(1200)
    };
    for (const Case& c : cases) {
        ForestStand s;
        Eval(366, false);  // a good evaluation fills the process table
        const processarray good = out;
        s.P(c.p) = c.value;
        const statearray before = s.states;
        try {
            EvaluateModel(s.drivers, s.params, s.states, 366, out, true);
            ADD_FAILURE() << "no fault for " << c.message;
        } catch (const EMathError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(s.states, before) << c.message;
        EXPECT_EQ(out, good) << c.message;
        EXPECT_FALSE(NewYear) << c.message;
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0) << c.message;
    }
}

// Faults of several kinds in one evaluation: the first section to fault names
// the failure, whether the fault arose in a term that depends on the day only
// or not, and however often the derivative frame evaluates.
TEST_F(EvaluateModelTest, TheFirstSectionToFaultNamesTheFailure) {
    struct Case { const char* why; void (*set)(ForestStand&); const char* message; };
    const Case cases[] = {
        // exp(970) in the weather section's Penman terms; later 0/0 in the
        // litter of roots without carbon, and a root share Clr/0.
        {"day term first", [](ForestStand& s) { s.D(dr::Tamax) = s.D(dr::Tamin) = 1e6; s.S(st::Cr) = 0; },
         "Floating point overflow"},
        // exp(1200) in uptake; later (-2)^1.5 in the Q10 factor of decomposition.
        {"day term later", [](ForestStand& s) { s.P(pa::thetaU) = 2; s.P(pa::Q10D) = -2; s.D(dr::Ts) = 15; },
         "Floating point overflow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ForestStand s;
        c.set(s);
        for (bool endOfStep : {false, true}) {
            statearray states = s.states;
            try {
                EvaluateModel(s.drivers, s.params, states, 180, out, endOfStep);
                ADD_FAILURE() << "no fault";
            } catch (const EMathError& e) {
                EXPECT_STREQ(e.what(), c.message);
            }
        }
        const statearray saved = States;
        States = s.states;
        valuearray y, dydx;
        for (int i = 1; i <= MaxStates; ++i) y[i] = s.states[i].Value;
        DerivativeFrame frame(s.drivers, s.params);
        for (int call = 0; call < 2; ++call) {
            try {
                frame(y, 180, dydx);
                ADD_FAILURE() << "no fault in call " << call;
            } catch (const EMathError& e) {
                EXPECT_STREQ(e.what(), c.message) << "call " << call;
            }
        }
        States = saved;
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
    }
}

TEST_F(EvaluateModelTest, UnderflowAndDenormalsAreNotFaults) {
    stand.P(pa::sL) = 10;  // exp(-3000), exp(-1000): underflow to 0
    stand.S(st::Nno3) = 1e-310;  // a denormal pool
    std::feclearexcept(FE_ALL_EXCEPT);
    EXPECT_NO_THROW(Eval(180, true));
    EXPECT_NE(std::fetestexcept(FE_UNDERFLOW), 0);
    EXPECT_EQ(V(pr::fRLF), 1.0);
    EXPECT_GE(V(pr::Nno3aq), 0.0);
    EXPECT_TRUE(std::isfinite(Rate(st::Nno3)));
}

}  // namespace
