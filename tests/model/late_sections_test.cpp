#include <gtest/gtest.h>

#include <cmath>

#include "core/fpfaults.h"
#include "model/model_math.h"
#include "model/sections.h"

namespace {

class LateSections : public ::testing::Test {
protected:
    ModelFrame f{};

    void SetUp() override {
        // Litter drivers hold the missing-value marker unless a test imposes one.
        for (int d = dr::DlambdaCF; d <= dr::DlambdaNR; ++d) f.d[d] = -1.0;
        ClearFloatingPointFaults();
    }
    void Set(ParamRef p, double value) { f.par[p.Index()] = value; }
    // A stand with labile pools, growing seasons from 100 to 500 degree days
    // (roots from `rootStart`) and unit growth constants.
    void GrowingStand(double rootStart, double bGf) {
        f.s[st::Cf] = 100; f.s[st::Nf] = 2; f.s[st::Csw] = 300; f.s[st::Nsw] = 1; f.s[st::Cr] = 100; f.s[st::Nr] = 1;
        f.s[st::Nhw] = 1; f.v[pr::Cw] = 300; f.v[pr::Cswmax] = 1000;
        f.s[st::Clfw] = 40; f.s[st::Clr] = 10; f.s[st::Nlf] = 1; f.s[st::Nlwr] = 2;
        Set(pa::DDfstart, 100); Set(pa::DDfstop, 500); Set(pa::DDwstart, 100); Set(pa::DDwstop, 500);
        Set(pa::DDrstart, rootStart); Set(pa::DDrstop, 500); Set(pa::TRmax, 45); Set(pa::TRopt, 20);
        Set(pa::qFmin, 1); Set(pa::qWmin, 1); Set(pa::qRmin, 1); Set(pa::bLC, 1); Set(pa::bLN, 1);
        Set(pa::gf, 0.1); Set(pa::bGf, bGf); Set(pa::bGw, 1); Set(pa::bGr, 1);
    }
    // Runs one section, with the day terms of the frame's values, and fails
    // the test if it left a floating-point fault.
    template <class SectionFunction>
    void Run(SectionFunction section) {
        ClearFloatingPointFaults();
        f.day.Work(f);
        f.WoodPower = Power(f.v[pr::Cw], f.P(pa::h2));  // as the weather section leaves it
        section(f);
        EXPECT_NO_THROW(CheckFloatingPointFaults());
    }
};

// ---- Litterfall ----

TEST_F(LateSections, DroughtLitterAndDriversThatImposeZero) {
    f.s[st::Cf] = 200; f.s[st::Nf] = 4; f.s[st::Cr] = 100; f.s[st::Nr] = 2;
    f.s[st::Csw] = 80; f.s[st::Nsw] = 1; f.s[st::Jdfs] = f.s[st::Jdws] = f.s[st::Jdrs] = 999;
    Set(pa::Awd, 0.3); Set(pa::alambdaCFD, 0.5); Set(pa::alambdaCRD, 0.25); Set(pa::atauD, 0.25); Set(pa::atau, 0.5);
    Set(pa::sigmaLambdaF, 1); Set(pa::sigmaLambdaW, 1); Set(pa::sigmaLambdaR, 1);

    f.d[dr::DlambdaNHW] = 0.5;  // no heartwood: no heartwood litter, whatever the driver
    f.v[pr::Aw] = 0.3;          // at Awd: the drought branch with no deficit
    Run(Litterfall);
    EXPECT_EQ(f.v[pr::lambdaNHW], 0.0);
    for (int q : {pr::lambdaCFD, pr::lambdaCRD, pr::lambdaNFD, pr::lambdaNRD, pr::tauND}) EXPECT_EQ(f.v[q], 0.0) << q;

    f.v[pr::Aw] = 0.1;  // D = 0.2^2, windows closed: litter is drought litter only
    Run(Litterfall);
    const double D = (0.3 - 0.1) * (0.3 - 0.1);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaCFD], D * 0.5 * 200);
    EXPECT_DOUBLE_EQ(f.v[pr::tauND], 0.25 * D * 0.5 * 200 * 4 / 200);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaCF], D * 0.5 * 200);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaCR], D * 0.25 * 100);

    // A driven 0 is imposed (not missing) and carries no drought litter.
    f.d[dr::DlambdaCF] = 0;
    f.d[dr::DlambdaCR] = 0.7;
    Run(Litterfall);
    EXPECT_EQ(f.v[pr::lambdaCF], 0.0);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaNF], f.v[pr::lambdaNFD]);
    EXPECT_DOUBLE_EQ(f.v[pr::tauN], f.v[pr::tauND]);
    EXPECT_EQ(f.v[pr::lambdaCR], 0.7);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaNR], 0.7 * 2 / 100 + D * 0.25 * 100 * 2 / 100);

    // Only -1 marks a missing value: any other negative value is imposed too.
    f.d[dr::DlambdaCF] = -0.5;
    Run(Litterfall);
    EXPECT_EQ(f.v[pr::lambdaCF], -0.5);
}

TEST_F(LateSections, LitterWindowsAndWoodSplit) {
    f.v[pr::Aw] = 1; Set(pa::Awd, 0.2);
    f.s[st::Cf] = 200; f.s[st::Nf] = 4; f.s[st::Csw] = 80; f.s[st::Chw] = 20; f.s[st::Nsw] = 0.8;
    f.s[st::Nhw] = 0.1; f.s[st::Cr] = 100; f.s[st::Nr] = 2;
    f.s[st::Jday] = 250; f.s[st::Jdfs] = 250; f.s[st::Jdws] = 240; f.s[st::Jdrs] = 999;
    Set(pa::DsensF, 30); Set(pa::DsensW, 10); Set(pa::DsensR, 30);
    Set(pa::Cfe, 50); Set(pa::sigmaLambdaF, 2); Set(pa::alambdaF, 0.1); Set(pa::atau, 0.5);
    Set(pa::Cwe, 10); Set(pa::sigmaLambdaW, 1); Set(pa::alambdaW, 0.2); Set(pa::sigmaLambdaR, 1);

    Run(Litterfall);  // foliage opens on its start day; wood closes at start + DsensW
    EXPECT_EQ(f.v[pr::FFall] + 2 * f.v[pr::WFall] + 4 * f.v[pr::RFall], 1.0);
    const double lambdaCF = (1 - 50 / std::exp(0.5 * std::log(200.0 * 200 + 50 * 50))) * 0.1 * 200;
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaCF], lambdaCF);
    EXPECT_DOUBLE_EQ(f.v[pr::tauN], 0.5 * lambdaCF * 4 / 200);

    f.s[st::Jday] = 249;  // wood open, foliage not yet
    Run(Litterfall);
    EXPECT_EQ(f.v[pr::FFall], 0.0);
    const double wood = (1 - 10.0 / 110) * 0.2 * 100;
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaCSW], wood * 0.8);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaCHW], wood * 0.2);
    EXPECT_DOUBLE_EQ(f.v[pr::lambdaNHW], wood * 0.2 * 0.1 / 20);

    f.s[st::Jday] = 280;  // = Jdfs + DsensF: closed
    Run(Litterfall);
    EXPECT_EQ(f.v[pr::FFall], 0.0);
}

// ---- Growth and respiration ----

TEST_F(LateSections, GrowingSeasonsIncludeBothBoundsAndNeedLabilePools) {
    GrowingStand(0, 20);
    Set(pa::epsilonF, 0.5);

    for (double dda : {100.0, 500.0}) {
        f.s[st::DDa] = dda;
        Run(GrowthAndRespiration);
        EXPECT_EQ(f.v[pr::FGrow], 1.0) << dda;
    }
    const double LCfw = 40.0 / 400, LNf = 1.0 / 100;
    EXPECT_DOUBLE_EQ(f.v[pr::Gcf], std::exp(0.5 * std::log(LNf)) * 0.1 * 100 * LCfw);
    EXPECT_DOUBLE_EQ(f.v[pr::Gnf], std::exp(0.5 * std::log(LCfw)) * (0.1 / 20) * 100 * LNf);

    f.s[st::DDa] = 500.5;
    Run(GrowthAndRespiration);
    EXPECT_EQ(f.v[pr::FGrow], 0.0);

    // No labile carbon of foliage and wood: neither grows, roots still do.
    f.s[st::DDa] = 200; Set(pa::gw, 0.1); Set(pa::gr, 0.1);
    f.s[st::Clfw] = 0;
    Run(GrowthAndRespiration);
    for (int g : {pr::Gcf, pr::Gnf, pr::Gcsw, pr::Gnsw}) EXPECT_EQ(f.v[g], 0.0) << g;
    EXPECT_GT(f.v[pr::Gcr], 0.0);
    EXPECT_GT(f.v[pr::Gnr], 0.0);
}

TEST_F(LateSections, HeartwoodRespirationRatiosAndTransport) {
    f.s[st::Cf] = 60; f.s[st::Nf] = 2; f.s[st::Csw] = 500; f.s[st::Nsw] = 5; f.s[st::Chw] = 100; f.s[st::Nhw] = 0;
    f.s[st::Cr] = 100; f.s[st::Nr] = 2; f.v[pr::Cw] = 600;
    f.s[st::Clfw] = 10; f.s[st::Clr] = 5; f.s[st::DDa] = 200;
    Set(pa::DDwstart, 100); Set(pa::DDwstop, 500); Set(pa::aGHW, 0.01);
    Set(pa::TRmax, 45); Set(pa::TRopt, 20); Set(pa::gammaR, 0.05); Set(pa::rm, 0.1); Set(pa::awr, 0.5);
    Set(pa::qFmin, 30); Set(pa::qWmin, 50); Set(pa::qRmin, 10); Set(pa::sL, 0.1);
    Set(pa::bLC, 1); Set(pa::bLN, 1); Set(pa::aLC, 1); Set(pa::aLN, 1); Set(pa::h2, 0.5);

    f.v[pr::Cswmax] = 500;  // exactly at the maximum: nothing to convert
    f.d[dr::Tamax] = f.d[dr::Tamin] = 20; f.d[dr::Ts] = 45;  // mean air temperature 20
    Run(GrowthAndRespiration);
    EXPECT_EQ(f.v[pr::Gchw], 0.0);
    // Cf/Nf = qFmin takes the carbon branch, equal to the nitrogen one here.
    EXPECT_DOUBLE_EQ(f.v[pr::RFmet], 0.1 * 60 / 30);
    EXPECT_DOUBLE_EQ(f.v[pr::RWmet], 0.1 * 0.5 * 5);  // Csw/Nsw above qWmin: by nitrogen
    EXPECT_EQ(f.v[pr::HR], 0.0);
    EXPECT_EQ(f.v[pr::RRmet], 0.0);
    const double fL = 1 - std::exp(-0.1 * 10);
    EXPECT_DOUBLE_EQ(f.v[pr::tauRnsw], (1 - fL) * 0.1 * 0.5 * 5 / 100);
    EXPECT_EQ(f.v[pr::qHW], 0.0);
    EXPECT_DOUBLE_EQ(f.v[pr::qW], 600.0 / 5);
    EXPECT_EQ(f.v[pr::Tc], 0.0);  // no end-of-season leaf area yet

    // Air above TRmax stops foliage and wood respiration; cool roots respire.
    f.v[pr::Cswmax] = 400; f.d[dr::Tamax] = f.d[dr::Tamin] = 45; f.d[dr::Ts] = 10; f.s[st::Laieos] = 3;
    Run(GrowthAndRespiration);
    EXPECT_DOUBLE_EQ(f.v[pr::Gchw], 0.01 * 100);
    EXPECT_DOUBLE_EQ(f.v[pr::Gnhw], 0.01 * 100 * 5 / 500);
    EXPECT_EQ(f.v[pr::RFmet] + f.v[pr::RWmet], 0.0);
    const double HR = std::exp(25 * 0.05 * std::log(35.0 / 25)) * std::exp(-10 * 0.05);
    EXPECT_DOUBLE_EQ(f.v[pr::HR], HR);
    EXPECT_DOUBLE_EQ(f.v[pr::RRmet], 0.1 * HR * 2);
    EXPECT_DOUBLE_EQ(f.v[pr::Tc], 3 * (10.0 / 560 - 5.0 / 100) / std::exp(0.5 * std::log(600.0)));
}

// ---- Decomposition ----

TEST_F(LateSections, LitterCarbonPartitionByNitrogen) {
    Set(pa::Jdb, 1); Set(pa::qI, 40);
    Run(Decomposition);  // no litter at all: nothing divides, nothing moves
    for (int q : {pr::FClambdaE, pr::FClambdaS, pr::FClambdaI}) EXPECT_EQ(f.v[q], 0.0) << q;

    f.v[pr::lambdaCF] = 10;  // nitrogen-free foliage litter
    f.v[pr::lambdaCR] = 4; f.v[pr::lambdaNR] = 0.04;
    Run(Decomposition);
    const double rootE = (0.49 - 0.452 * std::exp(-95 * 0.01)) * 4;
    const double rootS = (0.4 + 0.39 * std::exp(-155 * 0.01)) * 4;
    EXPECT_NEAR(f.v[pr::FClambdaE], 0.038 * 10 + rootE, 1e-12);
    EXPECT_NEAR(f.v[pr::FClambdaS], 0.79 * 10 + rootS, 1e-12);
    EXPECT_NEAR(f.v[pr::FClambdaI], 0.172 * 10 + 4 - rootE - rootS, 1e-12);
    EXPECT_DOUBLE_EQ(f.v[pr::FNlambdaA], 0.04);
}

TEST_F(LateSections, MoistureFactorAndNitrogenLimits) {
    Set(pa::Q10D, 2); Set(pa::Awdopt, 0.6); Set(pa::Jdb, 0.5); Set(pa::sigmaD, 2);
    Set(pa::aIE, 0.1); Set(pa::aIH, 0.01); Set(pa::qI, 40); Set(pa::beta, 0.5);
    Set(pa::VINH4max, 1); Set(pa::kINH4, 10); Set(pa::VINO3max, 1); Set(pa::kINO3, 10); Set(pa::aNtri, 0.1);
    f.d[dr::Ts] = 10; f.v[pr::Aw] = 0.6;
    f.s[st::Ci] = 1000; f.s[st::Na] = 5;  // Na qI = 200 < Ci: transfers limited by nitrogen
    f.v[pr::Nnh4aq] = 30; f.v[pr::Nno3aq] = 10;
    Run(Decomposition);
    EXPECT_DOUBLE_EQ(f.v[pr::rSm], 2.0);
    EXPECT_DOUBLE_EQ(f.v[pr::FCIE], 2 * 0.1 * 5 * 40);
    EXPECT_DOUBLE_EQ(f.v[pr::FCIH], 2 * 0.01 * 5 * 40);
    EXPECT_DOUBLE_EQ(f.v[pr::FNAH], 2 * 0.01 * 5 * 40 / 40);
    EXPECT_DOUBLE_EQ(f.v[pr::INH4], 2 * 30 * (1000.0 / 40 - 5) / 40);

    f.s[st::Na] = 25;  // Ci/qI = Na: the gap is closed
    Run(Decomposition);
    EXPECT_EQ(f.v[pr::INH4], 0.0);
    EXPECT_EQ(f.v[pr::INO3], 0.0);

    f.v[pr::Aw] = 0.25;  // dry enough for the curve to reach 0 (skew 0.3 > 0)
    Run(Decomposition);
    EXPECT_EQ(f.v[pr::rSm], 0.0);
    // Drier still the skew term turns negative; the factor stays 0 instead of
    // rising past the optimum.
    for (double aw : {0.1, 0.0}) {
        f.v[pr::Aw] = aw;
        Run(Decomposition);
        EXPECT_EQ(f.v[pr::rSm], 0.0) << aw;
        EXPECT_EQ(f.v[pr::Fntri], 0.0) << aw;
    }
}

// ---- Totals ----

TEST_F(LateSections, TotalsRespirationAndNetMineralization) {
    f.s[st::Cf] = 2; f.s[st::Cr] = 4; f.s[st::Nf] = 1; f.s[st::Clfw] = 6; f.s[st::Ci] = 30; f.s[st::Nh] = 5;
    f.v[pr::RFmet] = 1; f.v[pr::RWgr] = 2; f.v[pr::RRmet] = 3; f.v[pr::RUnfix] = 0.5; f.v[pr::RE] = 1; f.v[pr::RH] = 2;
    f.v[pr::MNA] = 0.1; f.v[pr::MNH] = 0.2; f.v[pr::INH4] = 0.3; f.v[pr::INO3] = 0.4;
    Run(Totals);  // no photosynthesis: the plant respires its way to a negative NPP
    EXPECT_DOUBLE_EQ(f.v[pr::qPT], 12.0 / 1);
    EXPECT_DOUBLE_EQ(f.v[pr::qST], 30.0 / 5);
    EXPECT_DOUBLE_EQ(f.v[pr::qrs], 2);
    EXPECT_DOUBLE_EQ(f.v[pr::NPP], -6.5);
    EXPECT_DOUBLE_EQ(f.v[pr::NEP], -9.5);
    EXPECT_DOUBLE_EQ(f.v[pr::Nmin], 0.1 + 0.2 - 0.3 - 0.4);
}

}  // namespace

// Out of season and outside the litter windows the growth powers and the
// evergreen factors are not worked out when they cannot matter; where they
// could (an overflow, the sign of a zero) the result and the fault are the
// same as with them worked out.
TEST_F(LateSections, ClosedSeasonsAndWindowsKeepFaultsAndSignedZeros) {
    GrowingStand(100, 1);
    f.s[st::DDa] = f.s[st::DDs] = 600;  // every season closed

    Run(GrowthAndRespiration);
    for (int g : {pr::Gcf, pr::Gnf, pr::Gcsw, pr::Gnsw, pr::Gcr, pr::Gnr}) EXPECT_EQ(f.v[g], 0.0) << g;

    // An overflow times the closed season's 0 is an invalid operation.
    auto faults = [this](const char* what) {
        ClearFloatingPointFaults();
        f.day.Work(f);
        GrowthAndRespiration(f);
        EXPECT_THROW(CheckFloatingPointFaults(), EInvalidOp) << what;
        ClearFloatingPointFaults();
    };
    // A labile share of 10 raised to 1 times a rate of 1e308 overflows.
    f.s[st::Clfw] = 4000; Set(pa::gf, 1e308);
    faults("rate");
    // A share of 1e300 squared overflows by itself.
    f.s[st::Clfw] = 40; Set(pa::gf, 0.1); Set(pa::epsilonF, -1); f.s[st::Nlf] = 1e302;
    faults("share");

    // Litter windows closed, no drought deficit: the litter is 0, and when
    // the drought term is -0 its sign is the evergreen term's. Evergreen
    // foliage of 100 at a shape of -1 gives a factor of 1 - 100/50 = -1.
    f.v[pr::Aw] = 0.3; Set(pa::Awd, 0.3); Set(pa::alambdaCFD, -1); Set(pa::alambdaF, 1);
    Set(pa::Cfe, 100); Set(pa::sigmaLambdaF, -1); Set(pa::sigmaLambdaW, 1); Set(pa::sigmaLambdaR, 1);
    f.s[st::Jday] = 10; f.s[st::Jdfs] = f.s[st::Jdws] = f.s[st::Jdrs] = 999;
    Run(Litterfall);
    EXPECT_EQ(f.v[pr::lambdaCF], 0.0);
    EXPECT_TRUE(std::signbit(f.v[pr::lambdaCF]));  // -1 * 0 * 1 * 100 + -0
    Set(pa::alambdaF, -1);
    Run(Litterfall);
    EXPECT_FALSE(std::signbit(f.v[pr::lambdaCF]));  // -1 * 0 * -1 * 100 + -0
    // Foliage of 1e9 to the 40th overflows, window or not.
    f.s[st::Cf] = 1e9; Set(pa::sigmaLambdaF, 40); Set(pa::alambdaCFD, 1);
    ClearFloatingPointFaults();
    f.day.Work(f);
    Litterfall(f);
    EXPECT_THROW(CheckFloatingPointFaults(), EOverflow);
    ClearFloatingPointFaults();
}
