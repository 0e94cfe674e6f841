#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

namespace {

// 1 when lo <= x <= hi (both bounds inclusive), else 0.
double Season(double x, double lo, double hi) { return (lo <= x && x <= hi) ? 1.0 : 0.0; }

// Maintenance respiration proportional to the pool's nitrogen, counting the
// nitrogen at most up to carbon / minimum C:N.
double Maintenance(double rate, double C, double N, double qmin) {
    return C / N > qmin ? rate * N : rate * C / qmin;
}

// The growth factor b^e of a pool, as in b^e * next * season * ..., where
// season is the growing season's 0 or 1. Out of season the product is a
// signed 0 whatever the factor, as long as the factor is positive and finite
// and b^e * next does not overflow; for b within [1e-10, 1e10], |e| <= 1 and
// |next| <= 1e290 that holds, and b^e raises no fault. 1 then stands in for
// b^e, and the product and the flags come out as they would.
double SeasonalPower(double b, double e, double next, double season) {
    if (season == 0.0 && b >= 1e-10 && b <= 1e10 && std::fabs(e) <= 1.0 && std::fabs(next) <= 1e290) return 1.0;
    return Power(b, e);
}

// An organ's growth in its season, given its growth rate g, the exponent
// epsilon and the C:N factor bG of its parameters, its carbon C and its labile
// shares: carbon grows with the labile carbon share LC and a power of the
// labile nitrogen share LN, nitrogen the other way round. Nothing grows
// unless both of the organ's labile pools hold something (`stocked`).
struct OrganGrowth {
    double carbon = 0.0, nitrogen = 0.0;
};

OrganGrowth GrowOrgan(bool stocked, double season, double g, double eps, double bG, double C, double LC, double LN) {
    OrganGrowth grown;
    if (!stocked) return grown;
    grown.carbon = SeasonalPower(LN, 1.0 - eps, season, season) * season * g * C * LC;
    const double n = g / bG;
    grown.nitrogen = SeasonalPower(LC, 1.0 - eps, n, season) * n * season * C * LN;
    return grown;
}

// Growth of foliage, sapwood and roots, never below 0.
void OrganGrowths(ModelFrame& f, double LCfw, double LNwr, double LNf, double LCr) {
    const double Cf = f.s[st::Cf], Csw = f.s[st::Csw], Cr = f.s[st::Cr];
    const double Clfw = f.s[st::Clfw], Clr = f.s[st::Clr], Nlf = f.s[st::Nlf], Nlwr = f.s[st::Nlwr];
    double* v = f.v;
    const OrganGrowth foliage =
        GrowOrgan(Clfw > 0.0 && Nlf > 0.0, v[pr::FGrow], f.P(pa::gf), f.P(pa::epsilonF), f.P(pa::bGf), Cf, LCfw, LNf);
    const OrganGrowth wood = GrowOrgan(Clfw > 0.0 && Nlwr > 0.0, v[pr::WGrow], f.P(pa::gw), f.P(pa::epsilonW),
                                       f.P(pa::bGw), Csw, LCfw, LNwr);
    const OrganGrowth roots =
        GrowOrgan(Clr > 0.0 && Nlwr > 0.0, v[pr::RGrow], f.P(pa::gr), f.P(pa::epsilonR), f.P(pa::bGr), Cr, LCr, LNwr);
    v[pr::Gcf] = foliage.carbon;
    v[pr::Gnf] = foliage.nitrogen;
    v[pr::Gcsw] = wood.carbon;
    v[pr::Gnsw] = wood.nitrogen;
    v[pr::Gcr] = roots.carbon;
    v[pr::Gnr] = roots.nitrogen;
    for (int g : {pr::Gcf, pr::Gcsw, pr::Gcr, pr::Gnf, pr::Gnsw, pr::Gnr})
        if (v[g] < 0.0) v[g] = 0.0;
}

// Maintenance respiration of foliage, wood and roots, and how it is paid:
// from labile carbon in proportion to how full the labile pool is (wood draws
// on the foliage-and-wood pool), the rest from structure. Foliage and wood
// respire at the mean air temperature, roots at the soil temperature.
void MaintenanceRespiration(ModelFrame& f) {
    const double Cf = f.s[st::Cf], Csw = f.s[st::Csw], Cr = f.s[st::Cr];
    const double Nf = f.s[st::Nf], Nsw = f.s[st::Nsw], Nr = f.s[st::Nr];
    const double Clfw = f.s[st::Clfw], Clr = f.s[st::Clr];
    double* v = f.v;
    const double rm = f.P(pa::rm);
    const double HRair = f.day.HRair;
    v[pr::RFmet] = Maintenance(rm * HRair, Cf, Nf, f.P(pa::qFmin));
    v[pr::RWmet] = Maintenance(rm * f.P(pa::awr) * HRair, Csw, Nsw, f.P(pa::qWmin));
    v[pr::HR] = f.day.HR;
    v[pr::RRmet] = Maintenance(rm * v[pr::HR], Cr, Nr, f.P(pa::qRmin));

    const double sL = f.P(pa::sL);
    v[pr::fRLF] = 1.0 - std::exp(-sL * Clfw);
    v[pr::fRLW] = v[pr::fRLF];
    v[pr::fRLR] = 1.0 - std::exp(-sL * Clr);
    v[pr::RfmetL] = v[pr::RFmet] * v[pr::fRLF];
    v[pr::RrmetL_Wood] = v[pr::RWmet] * v[pr::fRLW];
    v[pr::RrmetL_Root] = v[pr::RRmet] * v[pr::fRLR];
    v[pr::RfmetS] = (1.0 - v[pr::fRLF]) * v[pr::RFmet];
    v[pr::RwmetS] = (1.0 - v[pr::fRLW]) * v[pr::RWmet];
    v[pr::RrmetS] = (1.0 - v[pr::fRLR]) * v[pr::RRmet];
}

}  // namespace

void GrowthAndRespiration(ModelFrame& f) {
    const double Cf = f.s[st::Cf], Csw = f.s[st::Csw], Chw = f.s[st::Chw], Cr = f.s[st::Cr];
    const double Nf = f.s[st::Nf], Nsw = f.s[st::Nsw], Nhw = f.s[st::Nhw], Nr = f.s[st::Nr];
    const double Clfw = f.s[st::Clfw], Clr = f.s[st::Clr], Nlf = f.s[st::Nlf], Nlwr = f.s[st::Nlwr];
    const double Laieos = f.s[st::Laieos];
    const double DDa = f.s[st::DDa], DDs = f.s[st::DDs];
    double* v = f.v;

    // Growing seasons: foliage and wood by air degree days, roots by soil.
    v[pr::FGrow] = Season(DDa, f.P(pa::DDfstart), f.P(pa::DDfstop));
    v[pr::WGrow] = Season(DDa, f.P(pa::DDwstart), f.P(pa::DDwstop));
    v[pr::RGrow] = Season(DDs, f.P(pa::DDrstart), f.P(pa::DDrstop));

    // Labile shares: carbon per unit foliage-and-sapwood carbon, nitrogen per
    // unit sapwood-and-root carbon, and the foliage and root shares.
    const double LCfw = Clfw / (Cf + Csw);
    const double LNwr = Nlwr / (Csw + Cr);
    const double LNf = Nlf / Cf;
    const double LCr = Clr / Cr;
    OrganGrowths(f, LCfw, LNwr, LNf, LCr);

    // Sapwood beyond its maximum turns into heartwood during the wood season.
    const double Cswmax = v[pr::Cswmax];
    v[pr::Gchw] = Csw >= Cswmax ? v[pr::WGrow] * f.P(pa::aGHW) * (Csw - Cswmax) : 0.0;
    v[pr::Gnhw] = v[pr::Gchw] * Nsw / Csw;

    const double rg = f.P(pa::rg);
    v[pr::RFgr] = rg * v[pr::Gcf];
    v[pr::RWgr] = rg * v[pr::Gcsw];
    v[pr::RRgr] = rg * v[pr::Gcr];

    MaintenanceRespiration(f);

    v[pr::qF] = Cf / Nf;
    v[pr::qSW] = Csw / Nsw;
    v[pr::qHW] = Nhw != 0.0 ? Chw / Nhw : 0.0;
    v[pr::qW] = (Csw + Chw) / (Nsw + Nhw);
    v[pr::qR] = Cr / Nr;

    // Structural respiration frees the nitrogen of the carbon it burns.
    v[pr::tauRnf] = v[pr::RfmetS] / v[pr::qF];
    v[pr::tauRnsw] = v[pr::RwmetS] / v[pr::qSW];
    v[pr::tauRnr] = v[pr::RrmetS] / v[pr::qR];

    // Labile transport, scaled by the end-of-season leaf area: carbon towards
    // the roots, nitrogen towards the foliage, when positive.
    const double woodScale = f.WoodPower;
    v[pr::Tc] = f.P(pa::aLC) * Laieos * (LCfw / f.P(pa::bLC) - LCr) / woodScale;
    v[pr::Tn] = f.P(pa::aLN) * Laieos * (LNwr / f.P(pa::bLN) - LNf) / woodScale;
}
