#include <cmath>

#include "model/sections.h"

namespace {
// umol N per litre times mm of water (litres per m2) to g N m-2.
constexpr double UmolPerLitreToGrams = 0.000014;

// Solution concentration (umol N L-1) of an ion whose total amount `total`
// (g N m-2) is split between a Langmuir-sorbed phase with capacity
// `sorbMax` (g N m-2) and affinity `eta` and the dissolved phase in `water`
// mm: the positive root of total = sorbMax C/(eta + C) + k water C.
double SolutionConcentration(double total, double sorbMax, double eta, double water) {
    const double kw = UmolPerLitreToGrams * water;
    const double B = (total - sorbMax) / kw - eta;
    return (B + std::sqrt(B * B + 4.0 * eta * total / kw)) * 0.5;
}
}  // namespace

void SoilSolution(ModelFrame& f) {
    const double* s = f.s;
    double* v = f.v;
    const double Wr = s[st::Wr], Nnh4 = s[st::Nnh4], Nno3 = s[st::Nno3];

    // Drainage above field capacity; frozen soil does not drain.
    const double Wf = f.P(pa::Wf);
    const double DR = Wr > Wf && f.d[dr::Ts] > 0.0 ? f.P(pa::alphaD) * (Wr - Wf) : 0.0;
    v[pr::DR] = DR;
    v[pr::Qg] = f.P(pa::alphaQ) * s[st::Wg];

    const double soil = f.P(pa::rhoS) * f.P(pa::z);
    const double Nnh4aq = SolutionConcentration(Nnh4, soil * f.P(pa::Vnh4max), f.P(pa::etaNH4), Wr);
    const double Nno3aq = SolutionConcentration(Nno3, soil * f.P(pa::Vno3max), f.P(pa::etaNO3), Wr);
    v[pr::Nnh4aq] = Nnh4aq;
    v[pr::Nno3aq] = Nno3aq;
    v[pr::Nnh4s] = Nnh4 - UmolPerLitreToGrams * Wr * Nnh4aq;
    v[pr::Nno3s] = Nno3 - UmolPerLitreToGrams * Wr * Nno3aq;
    v[pr::QNH4] = UmolPerLitreToGrams * DR * Nnh4aq;
    v[pr::QNO3] = UmolPerLitreToGrams * DR * Nno3aq;
}
