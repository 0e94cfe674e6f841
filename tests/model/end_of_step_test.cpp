#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "core/fpfaults.h"
#include "model/new_year.h"
#include "model/sections.h"

namespace {

class EndOfStep : public ::testing::Test {
protected:
    statearray table{};
    ModelFrame f{};
    double savedTimeStep = TimeStep;
    bool savedNewYear = NewYear;

    void SetUp() override {
        TimeStep = 1;
        f.states = &table;
        f.time = 100;
        for (int i : {st::Jdfs, st::Jdws, st::Jdrs}) table[i].Value = 999;
        Set(pa::JlambdaStart, 1000);  // no start day unless a test asks for one
    }
    void TearDown() override {
        TimeStep = savedTimeStep;
        NewYear = savedNewYear;
    }
    void Set(ParamRef p, double value) { f.par[p.Index()] = value; }
    // Working values as the evaluation reads them from the table.
    void Load() {
        for (int i = 1; i <= 55; ++i) {
            f.s[i] = table[i].Value;
            f.held[i] = table[i].HoldConstant;
        }
    }
    void Evaluate() {
        ClearFloatingPointFaults();
        EndOfStepUpdates(f);
    }
    void Run() {
        Load();
        Evaluate();
    }
};

TEST_F(EndOfStep, PrecipitationPartitionAndWaterTotals) {
    Set(pa::Tas, 1); Set(pa::bIsw, 0.001); Set(pa::bIf, 0.5);
    table[st::Csw].Value = 1000; f.v[pr::LAI] = 4; f.d[dr::Ppt] = 10; f.d[dr::II] = 30;
    table[st::Wr].Value = 100; table[st::QwT].Value = 7; table[st::DnT].Value = 0.25;
    f.v[pr::Dn] = 0.01;
    TimeStep = 0.5;
    f.v[pr::Ta] = 1;  // at Tas: rain, less interception; no snowpack, so no melt
    Run();
    EXPECT_EQ(f.v[pr::Pptr], 10.0);
    EXPECT_DOUBLE_EQ(f.v[pr::PptI], 0.001 * 1000 + 0.5 * 4);
    EXPECT_EQ(f.v[pr::Ms], 0.0);
    EXPECT_DOUBLE_EQ(table[st::Wr].Value, 100 + (10 - 3) * 0.5);
    EXPECT_DOUBLE_EQ(table[st::PptT].Value, 5);
    EXPECT_DOUBLE_EQ(table[st::PptIT].Value, 1.5);
    EXPECT_DOUBLE_EQ(table[st::QwT].Value, 8.5);
    EXPECT_DOUBLE_EQ(table[st::DnT].Value, 0.255);

    Set(pa::bIf, 5);  // interception capped at the rain
    Run();
    EXPECT_EQ(f.v[pr::PptI], 10.0);

    f.v[pr::Ta] = 0.5;  // below Tas: all snow
    Run();
    EXPECT_EQ(f.v[pr::Pptr] + f.v[pr::PptI], 0.0);
    EXPECT_EQ(table[st::Ws].Value, 5.0);
}

TEST_F(EndOfStep, SnowmeltFromRadiationAndWarmAirCappedAtThePack) {
    Set(pa::rhot, 0.3); Set(pa::gammat, 0.5); Set(pa::alphas, 0.6); Set(pa::Tas, -50);
    f.LatRad = 0.7; f.DeclRad = 0.2; f.v[pr::Hd] = 14; f.d[dr::II] = 20;
    f.v[pr::Ta] = 2.5;  // the snow surface is at the melting point here
    table[st::Ws].Value = 1000;
    Run();
    const double pi = std::numbers::pi;
    const double radPot = 117.5 * (std::sin(0.7) * std::sin(0.2) * 14 / 24 + std::cos(0.7) * std::sin(pi * 14 / 24) / pi);
    const double sunFrac = (20 / radPot - 0.23) / 0.48;
    const double air4 = std::pow(275.65, 4), snow4 = std::pow(273.15, 4);
    const double L = (0.76 * air4 - snow4) * (0.9 * sunFrac + 0.1) * 0.7 + (air4 - snow4) * 0.3;
    const double melt = 2.99 * (std::exp(-0.15) * 20 * 0.4 + 4.9e-9 * L) + 2 * 2.5;
    EXPECT_NEAR(f.v[pr::Ms], melt, 1e-9);

    // A pack smaller than the melt melts completely, and gives its water only,
    // over a day and over a two-day step alike.
    for (double step : {1.0, 2.0}) {
        TimeStep = step;
        table[st::Ws].Value = 3; table[st::Wr].Value = 100;
        Run();
        EXPECT_EQ(f.v[pr::Ms], 3 / step);
        EXPECT_EQ(table[st::Ws].Value, 0.0);
        EXPECT_EQ(table[st::Wr].Value, 103.0);
    }
    // Melt is a daily rate capped at the pack: half a day takes half of it.
    TimeStep = 0.5;
    table[st::Ws].Value = 3; table[st::Wr].Value = 100;
    Run();
    EXPECT_EQ(f.v[pr::Ms], 3.0);
    EXPECT_EQ(table[st::Ws].Value, 1.5);
    EXPECT_EQ(table[st::Wr].Value, 101.5);
}

TEST_F(EndOfStep, CalendarDegreeDaysAndEndOfSeasonLeafArea) {
    Set(pa::Jddstart, 20); Set(pa::DDfstop, 300);
    f.v[pr::Ta] = 4; f.d[dr::Ts] = -1; f.v[pr::LAI] = 2.5;
    table[st::Jday].Value = 19.5; table[st::DDa].Value = 300; table[st::Laieos].Value = 1;
    table[st::Jdfs].Value = 250;
    TimeStep = 0.5;
    Run();  // before Jddstart: no degree days; at DDfstop before senescence: follow the canopy
    EXPECT_EQ(table[st::Jday].Value, 20.0);
    EXPECT_EQ(table[st::DDa].Value, 300.0);
    EXPECT_EQ(table[st::Laieos].Value, 2.5);
    Run();  // from Jddstart on, positive temperatures only
    EXPECT_EQ(table[st::DDa].Value, 302.0);
    EXPECT_EQ(table[st::DDs].Value, 0.0);

    table[st::Jday].Value = 260;  // after senescence the leaf area holds...
    table[st::Laieos].Value = 1.75;
    Run();
    EXPECT_EQ(table[st::Laieos].Value, 1.75);
    table[st::DDa].Value = 300;  // ...unless the full-canopy degree day is hit exactly
    table[st::Jday].HoldConstant = true;
    Run();
    EXPECT_EQ(table[st::Laieos].Value, 0.0);
    EXPECT_EQ(table[st::Jday].Value, 260.5);
}

TEST_F(EndOfStep, SenescenceStartDaysIgnoreHoldFlags) {
    Set(pa::JlambdaStart, 250); Set(pa::TacrF, 5); Set(pa::TacrW, 5); Set(pa::TacrR, 6);
    f.v[pr::Ta] = 5; f.d[dr::Ts] = 8;
    table[st::Jday].Value = 248;
    Run();  // day 249 is too early
    EXPECT_EQ(table[st::Jdfs].Value, 999.0);

    table[st::Jday].Value = 249;
    table[st::Jdfs].HoldConstant = true;
    table[st::Jdws].Value = 240;
    Run();
    EXPECT_EQ(table[st::Jdfs].Value, 250.0);  // held, but set
    EXPECT_EQ(table[st::Jdws].Value, 240.0);  // already set
    EXPECT_EQ(table[st::Jdrs].Value, 999.0);  // soil too warm

    // Just after an annual reset the table holds 999 while the call still
    // sees last year's day: that day counts as set.
    table[st::Jdws].Value = 999;
    Load();
    f.s[st::Jdws] = 240;
    Evaluate();
    EXPECT_EQ(table[st::Jdws].Value, 999.0);
}

TEST_F(EndOfStep, NewYearOnWholeMultiplesOf366) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double step, time;
        bool expected;
    } cases[] = {{1, 365, false},    {1, 366, true},   {1, 367, false},         {1, 732, true},
                 {0.5, 366, true},   {0.5, 366.5, true}, {0.5, 367, false},     {1, 0, true},
                 {1, -366.5, true},  {1, -1, false},   {1, 366 * 0x1p60, true}, {1, 366 * 0x1p40 + 1, false},
                 {1, inf, false},    {1, std::nan(""), false}};
    for (const auto& c : cases) {
        TimeStep = c.step;
        f.time = c.time;
        NewYear = !c.expected;
        Run();
        EXPECT_EQ(NewYear, c.expected) << c.time;
    }
}

TEST_F(EndOfStep, FaultLeavesStatesAndNewYearAlone) {
    // Snow or rain would fall, a start day be fixed, the calendar and totals advance.
    Set(pa::JlambdaStart, 0); Set(pa::TacrF, 5); Set(pa::Tas, 1); Set(pa::alphas, -1);
    f.v[pr::Dn] = 1; f.time = 366;
    table[st::Wr].Value = 100; table[st::Jday].Value = 300;
    const auto overflowRadiation = [&] { f.d[dr::Ppt] = 5; f.d[dr::II] = 1e308; };
    const auto overflowRootZone = [&] {  // only the new root-zone water overflows
        f.d[dr::II] = 0; f.d[dr::Ppt] = 1e308; f.v[pr::Ta] = 2;
        table[st::Wr].Value = 1e308;
    };
    for (int k = 0; k < 2; ++k) {
        k == 0 ? overflowRadiation() : overflowRootZone();
        NewYear = false;
        const statearray before = table;
        try {
            Run();
            ADD_FAILURE() << "no fault raised " << k;
        } catch (const EOverflow& e) {
            EXPECT_STREQ(e.what(), "Floating point overflow");
        }
        EXPECT_TRUE(table == before) << k;
        EXPECT_FALSE(NewYear) << k;
    }
}

}  // namespace
