// Mass balances of the whole model: over many random but valid stands the
// rates of the carbon, nitrogen and water pools add up to the net exchange
// with the outside, whatever the season, the weather or the imposed drivers.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "model/equations.h"
#include "model/new_year.h"
#include "tests/model/forest_stand.h"

namespace {

class BalanceTest : public ::testing::Test {
protected:
    std::mt19937_64 rng{20240611};

    double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
    bool Chance(double p) { return Uniform(0, 1) < p; }

    void SetUp() override {
        NewYear = false;
        StartTime = -1;
        TimeStep = 1;
    }

    // The reference stand with every parameter within 10 %, pools within a
    // factor of two, the calendar anywhere in the year and some litterfall
    // and soil nitrogen imposed by drivers.
    ForestStand RandomStand() {
        ForestStand s;
        for (int i = 1; i <= 114; ++i) s.params[i].Value *= Uniform(0.9, 1.1);
        for (int i = st::Cf; i <= st::Nno3; ++i) s.S(i) *= Uniform(0.5, 1.5);
        for (int i : {st::Clfw, st::Clr, st::Nlf, st::Nlwr}) s.S(i) *= Chance(0.1) ? 0.0 : Uniform(0, 2);
        s.S(st::Wr) = Uniform(30, 320);
        s.S(st::Wg) = Uniform(0, 500);
        s.S(st::Ws) = Uniform(0, 50);
        s.S(st::Laieos) = Uniform(0, 6);
        s.S(st::Jday) = Uniform(0, 365);
        s.S(st::DDa) = Uniform(0, 2000);
        s.S(st::DDs) = Uniform(0, 2000);
        s.S(st::qUnT) = Uniform(0, 20);
        for (int i : {st::Jdfs, st::Jdws, st::Jdrs}) s.S(i) = Chance(0.5) ? 999 : s.S(st::Jday) - Uniform(0, 40);
        s.D(dr::Tamax) = Uniform(-10, 35);
        s.D(dr::Tamin) = s.D(dr::Tamax) - Uniform(2, 15);
        s.D(dr::Ts) = Uniform(-5, 25);
        s.D(dr::II) = Uniform(0, 30);
        s.D(dr::Ca) = Uniform(280, 700);
        s.D(dr::Ppt) = Uniform(0, 30);
        s.D(dr::DNH4) = Uniform(0, 0.01);
        s.D(dr::DNO3) = Uniform(0, 0.01);
        for (int i = dr::DlambdaCF; i <= dr::DlambdaNR; ++i)
            if (Chance(0.2)) s.D(i) = Uniform(0, i <= dr::DlambdaCR ? 5 : 0.1);
        if (Chance(0.2)) s.D(dr::DNnh4) = Uniform(0, 2);
        if (Chance(0.2)) s.D(dr::DNno3) = Uniform(0, 1);
        return s;
    }

    // |sum of the rates - exchange| within rounding of the largest terms.
    static void ExpectBalance(const processarray& p, std::initializer_list<int> pools, double exchange,
                              std::initializer_list<int> fluxes, int trial, const char* what) {
        double sum = 0, scale = std::fabs(exchange);
        for (int i : pools) sum += p[i].Value;
        for (int e : fluxes) scale += std::fabs(p[e].Value);
        EXPECT_NEAR(sum, exchange, 1e-13 * scale) << what << ", trial " << trial;
    }
};

TEST_F(BalanceTest, CarbonNitrogenAndWaterAreConserved) {
    using namespace pr;
    for (int trial = 0; trial < 2000; ++trial) {
        ForestStand s = RandomStand();
        processarray p{};
        ASSERT_NO_THROW(EvaluateModel(s.drivers, s.params, s.states, 180.5, p, trial % 2 == 1)) << trial;

        ExpectBalance(p,
                      {st::Cf, st::Csw, st::Chw, st::Cr, st::Clfw, st::Clr, st::Cs, st::Ce, st::Ci, st::Ch},
                      p[NEP].Value,
                      {Gcf, lambdaCF, RfmetS, Gcsw, lambdaCSW, Gchw, RwmetS, lambdaCHW, Gcr, lambdaCR, RrmetS, Ps, Tc,
                       RfmetL, RrmetL_Wood, RFgr, RWgr, RrmetL_Root, RRgr, RUnfix, FClambdaS, FClambdaE, FClambdaI,
                       FCSE, FCEI, FCIE, FCIH, RE, RH},
                      trial, "carbon");
        const double nExchange = p[Unfix].Value + s.D(dr::DNH4) + s.D(dr::DNO3) - p[Qn].Value;
        ExpectBalance(p,
                      {st::Nf, st::Nsw, st::Nhw, st::Nr, st::Nlf, st::Nlwr, st::Na, st::Nh, st::Nnh4, st::Nno3},
                      nExchange,
                      {Gnf, lambdaNF, tauN, tauRnf, Gnsw, Gnhw, lambdaNSW, tauRnsw, lambdaNHW, Gnr, lambdaNR, tauRnr, Tn,
                       Un, Unfix, FNlambdaA, INH4, INO3, FNAH, MNA, MNH, UNH4, UNO3, Fntri, QNH4, QNO3},
                      trial, "nitrogen");
        ExpectBalance(p, {st::Wr, st::Wg}, -p[ET].Value - p[Qg].Value, {ET, DR, Qg}, trial, "water");
        EXPECT_DOUBLE_EQ(p[Dn].Value, s.D(dr::DNH4) + s.D(dr::DNO3));
        if (HasFailure()) break;
    }
}

// The end of a step changes the states but none of the rates of the call.
TEST_F(BalanceTest, EndOfStepLeavesTheRatesAlone) {
    for (int trial = 0; trial < 200; ++trial) {
        ForestStand a = RandomStand(), b = a;
        processarray pa{}, pb{};
        EvaluateModel(a.drivers, a.params, a.states, 180.5, pa, false);
        EvaluateModel(b.drivers, b.params, b.states, 180.5, pb, true);
        for (int i = 1; i <= 55; ++i) ASSERT_EQ(pa[i].Value, pb[i].Value) << "state " << i << ", trial " << trial;
    }
}

}  // namespace
