#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

namespace {
// Half-saturation constant of the canopy's CO2 response (ppm).
constexpr double KCO2 = 995.4;
}  // namespace

void CanopyPhotosynthesis(ModelFrame& f) {
    const double Ca = f.d[dr::Ca], Tamax = f.d[dr::Tamax], II = f.d[dr::II];
    const double* s = f.s;
    double* v = f.v;
    const double LAI = v[pr::LAI];

    const double gsC = Power(v[pr::PsiD], 1.156) / f.day.ConductanceDivisor;
    v[pr::gsC] = gsC;

    // Capacity from foliar nitrogen and temperature, damped as the labile
    // carbon of foliage and wood fills up; expressed per unit conductance.
    const double PmaxG = 11.04 * f.P(pa::aNf) * s[st::Nf] * f.day.WarmCapacity / gsC /
                         (1.0 + Power(s[st::Clfw] / f.P(pa::Clfwmax), f.P(pa::epsilsonPs)));
    const double LightCapture = 3.332 * LAI * LAI / (LAI * LAI + 1.549);

    // Internal CO2 at which supply through the canopy conductance meets the
    // Michaelis-Menten demand: the positive root of c^2 - X c - K Ca = 0.
    const double X = Ca - KCO2 - PmaxG;
    const double CO2int = (X + std::sqrt(X * X + 4.0 * KCO2 * Ca)) / 2.0;
    const double PsCO2 = gsC * (Ca - CO2int);
    const double PsCoLim = PsCO2 * LightCapture * II / (LightCapture * II + PsCO2);

    double Ps = (0.03 * v[pr::Hd] + 0.216) * PsCoLim;
    if (Tamax <= 0.0) Ps = 0.0;
    v[pr::Ps] = Ps;

    const double aDelta = f.P(pa::aDelta);
    v[pr::deltaPs] = f.P(pa::deltaCa) - aDelta - (f.P(pa::bDelta) - aDelta) * CO2int / Ca;
}
