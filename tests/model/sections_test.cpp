// Worked values of the weather, photosynthesis, soil solution and uptake
// sections, evaluated on a mid-summer temperate forest stand.
#include <gtest/gtest.h>

#include <cmath>

#include "model/equations.h"
#include "model/new_year.h"
#include "model/sections.h"
#include "tests/model/forest_stand.h"

namespace {

class SectionsTest : public ::testing::Test {
protected:
    ForestStand stand;
    processarray out{};

    void SetUp() override {
        NewYear = false;
        StartTime = -1;
        TimeStep = 1;
    }
    double Eval(int entry) {
        EvaluateModel(stand.drivers, stand.params, stand.states, 180, out, false);
        return out[entry].Value;
    }
    // A frame holding the stand's values, for running single sections.
    ModelFrame Frame() {
        ModelFrame f{};
        for (int i = 1; i <= 18; ++i) f.d[i] = stand.drivers[i].Value;
        for (int i = 1; i <= 55; ++i) f.s[i] = stand.states[i].Value;
        for (int i = 1; i <= 114; ++i) f.par[i] = stand.params[i].Value;
        f.states = &stand.states;
        f.day.Work(f);
        return f;
    }
};

TEST_F(SectionsTest, DayLengthFollowsLatitudeAndDay) {
    struct Case { double lat, jday, hours, tol; };
    const Case cases[] = {
        {45, 171.25, 15.43, 0.005}, {0, 0, 12, 1e-12},   {0, 171.25, 12, 1e-12}, {0, 300, 12, 1e-12},
        {70, 171.25, 24, 0},        {70, 0, 0, 0},        {-70, 171.25, 0, 0},
    };
    for (const Case& c : cases) {
        stand.P(pa::Deltad) = c.lat;
        stand.S(st::Jday) = c.jday;
        EXPECT_NEAR(Eval(pr::Hd), c.hours, c.tol) << "latitude " << c.lat << ", day " << c.jday;
    }
}

TEST_F(SectionsTest, WeatherAndEvapotranspirationWorkedValues) {
    EXPECT_DOUBLE_EQ(Eval(pr::Ta), 18.5);
    EXPECT_DOUBLE_EQ(out[pr::LAI].Value, 5.0);
    EXPECT_NEAR(out[pr::Cswmax].Value, 7.3 * std::sqrt(12000.0) * 5, 1e-9);
    // Penman-Monteith at Tamax 25, Tamin 12, II 20, Aw 2/3.
    const double psiD = 1.5 * (1 - std::pow(0.033 / 1.5, 2.0 / 3.0));
    EXPECT_NEAR(out[pr::PsiD].Value, psiD, 1e-12);
    const double e25 = std::exp(17.269 * 25 / 262.3), e12 = std::exp(17.269 * 12 / 249.3);
    const double slope = 25029 * e25 / (262.3 * 262.3), vpd = 6.1078 * (e25 - e12);
    const double gsw = 0.3 * psiD * 5.1 * std::exp(-0.01464 * vpd);
    EXPECT_NEAR(out[pr::gsw].Value, gsw, 1e-12);
    const double et = (580 * slope * 20 * 0.85 + 0.000051 * (353 / 298.2) * 1012 * vpd * 5000) /
                      ((2.501 - 0.00237 * 25) * ((1 + 5000 / gsw) * 0.646 * std::exp(0.00097 * 25) + slope));
    EXPECT_NEAR(out[pr::ET].Value, et, 1e-12 * et);
}

TEST_F(SectionsTest, AvailableWaterAndTensionDeficitBranches) {
    struct Case { double wr, aw, psiD; };
    const Case cases[] = {
        {40, 0, 0.001},                                          // below wilting point: clamped
        {50, 0, 0.001},                                          // at wilting point
        {125, 0.5, 1.5 * (1 - std::sqrt(0.033 / 1.5))},          // between
        {200, 1, 1.467},                                         // field capacity: Psif - Psiw
        {250, 4.0 / 3.0, 1.467},                                 // above: no upper limit on Aw
    };
    for (const Case& c : cases) {
        stand.S(st::Wr) = c.wr;
        EXPECT_NEAR(Eval(pr::Aw), c.aw, 1e-15) << c.wr;
        EXPECT_NEAR(out[pr::PsiD].Value, c.psiD, 1e-12) << c.wr;
    }
}

// Photosynthesis written out from its definition: conductance, capacity
// damped by labile carbon, internal CO2 from the supply-demand balance, CO2
// and light co-limitation scaled by day length.
struct Photosynthesis { double gsC, Ps, deltaPs; };
Photosynthesis ByHand(double psiD, double lai, double hd, double nf, double clfw, double ca, double tmax,
                      double tmin, double ii) {
    const double gsC = std::pow(psiD, 1.156) / (0.6 * 4 + 0.5 * (tmax - tmin));
    const double pmaxG = 11.04 * nf * std::exp(0.004 * tmax) / gsC / (1 + std::pow(clfw / 500, 1.5));
    const double light = 3.332 * lai * lai / (lai * lai + 1.549);
    const double x = ca - 995.4 - pmaxG;
    const double ci = (x + std::sqrt(x * x + 4 * 995.4 * ca)) / 2;
    const double supply = gsC * (ca - ci);
    const double ps = tmax <= 0 ? 0 : (0.03 * hd + 0.216) * supply * light * ii / (light * ii + supply);
    return {gsC, ps, -8 - 4.4 - (27 - 4.4) * ci / ca};
}

TEST_F(SectionsTest, PhotosynthesisWorkedValuesAndCutOffs) {
    struct Case { double nf, clfw, tmax, tmin, ii; };
    const Case cases[] = {{12, 300, 25, 12, 20}, {12, 0, 25, 12, 20}, {30, 800, 31, 18, 28},
                          {12, 300, 0, -8, 20},  {12, 300, 25, 12, 0}};
    for (const Case& c : cases) {
        stand.S(st::Nf) = c.nf;
        stand.S(st::Clfw) = c.clfw;
        stand.D(dr::Tamax) = c.tmax;
        stand.D(dr::Tamin) = c.tmin;
        stand.D(dr::II) = c.ii;
        Eval(pr::Ps);
        const Photosynthesis p = ByHand(out[pr::PsiD].Value, out[pr::LAI].Value, out[pr::Hd].Value, c.nf, c.clfw,
                                        400, c.tmax, c.tmin, c.ii);
        EXPECT_NEAR(out[pr::gsC].Value, p.gsC, 1e-12 * p.gsC) << c.tmax;
        EXPECT_NEAR(out[pr::Ps].Value, p.Ps, 1e-10 * (1 + p.Ps)) << c.tmax;
        EXPECT_NEAR(out[pr::deltaPs].Value, p.deltaPs, 1e-10) << c.tmax;
        if (c.tmax <= 0 || c.ii == 0) {
            EXPECT_EQ(out[pr::Ps].Value, 0.0);
        }
    }
    // More foliar nitrogen draws internal CO2 down (a less negative isotope
    // signature) and fixes more carbon.
    stand = ForestStand();
    stand.S(st::Nf) = 24;
    const double ps24 = Eval(pr::Ps), delta24 = out[pr::deltaPs].Value;
    stand.S(st::Nf) = 12;
    EXPECT_GT(ps24, Eval(pr::Ps));
    EXPECT_GT(delta24, out[pr::deltaPs].Value);
}

TEST_F(SectionsTest, LeaflessCanopyFixesNothing) {
    ModelFrame f = Frame();
    WeatherAndSoilWater(f);
    f.v[pr::LAI] = 0;
    CanopyPhotosynthesis(f);
    EXPECT_EQ(f.v[pr::Ps], 0.0);
    EXPECT_GT(f.v[pr::gsC], 0.0);
}

TEST_F(SectionsTest, SoilSolutionFollowsTheSorptionIsotherm) {
    EXPECT_DOUBLE_EQ(Eval(pr::Qg), 0.05 * 200);
    // What is not dissolved is sorbed by the Langmuir isotherm.
    const double nh4 = out[pr::Nnh4aq].Value, no3 = out[pr::Nno3aq].Value;
    EXPECT_NEAR(out[pr::Nnh4s].Value, 0.6e6 * 2e-6 * nh4 / (300 + nh4), 1e-12);
    EXPECT_NEAR(out[pr::Nno3s].Value, 0.6e6 * 1e-7 * no3 / (1000 + no3), 1e-12);
    EXPECT_EQ(out[pr::DR].Value, 0.0);  // below field capacity

    // Without sorption sites everything is in solution.
    stand.P(pa::Vnh4max) = 0;
    EXPECT_NEAR(Eval(pr::Nnh4aq), 1.0 / (0.000014 * 150), 1e-9);
    EXPECT_NEAR(out[pr::Nnh4s].Value, 0.0, 1e-14);

    // No ammonium at all.
    stand.S(st::Nnh4) = 0;
    EXPECT_EQ(Eval(pr::Nnh4aq), 0.0);
    EXPECT_EQ(out[pr::Nnh4s].Value, 0.0);
}

TEST_F(SectionsTest, FrozenSoilDoesNotDrain) {
    stand.S(st::Wr) = 250;
    stand.D(dr::Ts) = 0;
    EXPECT_EQ(Eval(pr::DR), 0.0);
    EXPECT_EQ(out[pr::QNH4].Value, 0.0);
    EXPECT_EQ(out[pr::QNO3].Value, 0.0);
    stand.D(dr::Ts) = 0.1;
    EXPECT_DOUBLE_EQ(Eval(pr::DR), 0.2 * 50);
    EXPECT_DOUBLE_EQ(out[pr::QNH4].Value, 0.000014 * 10 * out[pr::Nnh4aq].Value);
}

TEST_F(SectionsTest, UptakeTemperatureResponse) {
    // Ts 15 with TUmax 45, TUopt 25, gammaU 0.1.
    const double hu = std::pow(30.0 / 20.0, 2.0) * std::exp(-1.0);
    EXPECT_NEAR(Eval(pr::HU), hu, 1e-15);
    const double nh4 = out[pr::Nnh4aq].Value, no3 = out[pr::Nno3aq].Value;
    const double divisor = 1 + std::pow(3.0 / 5.0, 2.5), root = 1 - std::exp(-0.005 * 600);
    const double unh4 = root * hu * (2.0 / 3.0) * 0.05 * nh4 / (50 + nh4) / divisor;
    const double uno3 = root * hu * (2.0 / 3.0) * 0.05 * no3 / (50 + no3) / divisor;
    EXPECT_NEAR(out[pr::UNH4].Value, unh4, 1e-15);
    EXPECT_NEAR(out[pr::Un].Value, unh4 + uno3, 1e-15);
    const double qUn = std::exp(3 - 2.5) * 0.06 * 20 * 400 / 1395.4 / (0.05 * nh4 / (50 + nh4) + 0.05 * no3 / (50 + no3));
    EXPECT_NEAR(out[pr::qUn].Value, qUn, 1e-12 * qUn);

    stand.D(dr::Ts) = 25;
    EXPECT_DOUBLE_EQ(Eval(pr::HU), 1.0);
    stand.D(dr::Ts) = 45;
    EXPECT_EQ(Eval(pr::HU), 0.0);
    for (int e : {pr::UNH4, pr::UNO3, pr::Un, pr::Unfix, pr::RUnfix}) EXPECT_EQ(out[e].Value, 0.0) << e;
    EXPECT_NEAR(out[pr::qUn].Value, qUn, 1e-12 * qUn);  // the cost does not depend on temperature
}

TEST_F(SectionsTest, FixationSwitchesOnAtTheCostOfFixing) {
    const double fixing = (1 - std::exp(-0.02 * 100)) * std::pow(1.5, 2.0) * std::exp(-1.0) * 0.0001 * 600 * 2 / 7;
    EXPECT_NEAR(Eval(pr::Unfix), fixing, 1e-15);  // qUnT 10, qUnfix 8, kNfix 5
    EXPECT_NEAR(out[pr::RUnfix].Value, 8 * fixing, 1e-14);

    // Dry soil stops uptake, not fixation.
    stand.S(st::Wr) = 40;
    EXPECT_EQ(Eval(pr::Un), 0.0);
    EXPECT_NEAR(out[pr::Unfix].Value, fixing, 1e-15);
    stand.S(st::Wr) = 150;

    // At or below the cost of fixing nothing is fixed; a mean cost of
    // exactly qUnfix - kNfix does not divide by zero.
    for (double qUnT : {8.0, 7.9, 3.0, 0.0}) {
        stand.S(st::qUnT) = qUnT;
        EXPECT_EQ(Eval(pr::Unfix), 0.0) << qUnT;
        EXPECT_EQ(out[pr::RUnfix].Value, 0.0) << qUnT;
    }
    stand.P(pa::qUnfix) = 5;  // a fresh stand, qUnT 0, with qUnfix = kNfix
    EXPECT_EQ(Eval(pr::Unfix), 0.0);

    stand.S(st::qUnT) = 10;
    stand.S(st::Clr) = 0;
    EXPECT_EQ(Eval(pr::Unfix), 0.0);
}

}  // namespace
