#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

namespace {

// Soil moisture factor of decomposition: 1 at the optimum Awdopt, falling
// off on both sides with a skew sigmaD, never below 0. Where the skew term
// 1 + sigmaD (Aw - Awdopt) is no longer positive the moisture lies beyond the
// dry (or wet) end of the curve, where it has already fallen to 0; it stays 0
// there rather than turning back up past the optimum.
double MoistureFactor(double Aw, double Awdopt, double sigmaD, double Jdb) {
    const double dev = Aw - Awdopt;
    const double skew = 1.0 + sigmaD * dev;
    if (skew <= 0.0) return 0.0;
    const double w = 1.0 - dev * dev / (Jdb * Jdb * skew);
    return w < 0.0 ? 0.0 : w;
}

}  // namespace

void Decomposition(ModelFrame& f) {
    double* v = f.v;

    // Litter carbon goes to extractives and the acid soluble pool by its
    // nitrogen concentration, the rest to the acid insoluble pool. A pair
    // without carbon contributes nothing (and never divides).
    const int pairs[4][2] = {{pr::lambdaCF, pr::lambdaNF},
                             {pr::lambdaCSW, pr::lambdaNSW},
                             {pr::lambdaCHW, pr::lambdaNHW},
                             {pr::lambdaCR, pr::lambdaNR}};
    double toExtractives = 0.0, toSoluble = 0.0;
    for (const auto& pair : pairs) {
        const double x = v[pair[0]], y = v[pair[1]];
        if (x == 0.0) continue;
        toExtractives += (0.49 - 0.452 * std::exp(-95.0 * y / x)) * x;
        toSoluble += (0.4 + 0.39 * std::exp(-155.0 * y / x)) * x;
    }
    v[pr::FClambdaE] = toExtractives;
    v[pr::FClambdaS] = toSoluble;
    v[pr::FClambdaI] = v[pr::lambdaCF] + v[pr::lambdaCSW] + v[pr::lambdaCHW] + v[pr::lambdaCR] - toExtractives -
                       toSoluble;
    v[pr::FNlambdaA] = v[pr::lambdaNF] + v[pr::lambdaNSW] + v[pr::lambdaNHW] + v[pr::lambdaNR];

    // Rate factor: 1 at 0 degrees C soil temperature and optimal moisture.
    const double WDecomp = MoistureFactor(v[pr::Aw], f.P(pa::Awdopt), f.P(pa::sigmaD), f.P(pa::Jdb));
    const double rSm = f.day.Q10Factor * WDecomp;
    v[pr::rSm] = rSm;

    const double Cs = f.s[st::Cs], Ce = f.s[st::Ce], Ci = f.s[st::Ci], Ch = f.s[st::Ch];
    const double Na = f.s[st::Na], Nh = f.s[st::Nh];
    const double qI = f.P(pa::qI), aIE = f.P(pa::aIE), aIH = f.P(pa::aIH), aH = f.P(pa::aH);

    v[pr::FCSE] = rSm * f.P(pa::aSE) * Cs;
    v[pr::FCEI] = rSm * f.P(pa::aEI) * Ce;
    // Transfers out of the acid insoluble pool are limited by active nitrogen.
    v[pr::FCIE] = Min(rSm * aIE * Ci, rSm * aIE * Na * qI);
    v[pr::FCIH] = Min(rSm * aIH * Ci, rSm * aIH * Na * qI);
    v[pr::RE] = f.P(pa::beta) * (v[pr::FCSE] + v[pr::FCEI] + v[pr::FCIE]);
    v[pr::RH] = rSm * aH * Ch;
    v[pr::MNA] = rSm * f.P(pa::aA) * Na;
    v[pr::MNH] = rSm * aH * Nh;
    v[pr::FNAH] = v[pr::FCIH] / qI;

    // Immobilization fills the gap between what the acid insoluble carbon can
    // hold at the ratio qI and the active nitrogen present.
    const double nh4aq = v[pr::Nnh4aq], no3aq = v[pr::Nno3aq];
    if (Ci / qI > Na) {
        const double gap = Ci / qI - Na;
        v[pr::INH4] = rSm * f.P(pa::VINH4max) * nh4aq * gap / (f.P(pa::kINH4) + nh4aq);
        v[pr::INO3] = rSm * f.P(pa::VINO3max) * no3aq * gap / (f.P(pa::kINO3) + no3aq);
    } else {
        v[pr::INH4] = 0.0;
        v[pr::INO3] = 0.0;
    }
    v[pr::Fntri] = rSm * f.P(pa::aNtri) * nh4aq;
}
