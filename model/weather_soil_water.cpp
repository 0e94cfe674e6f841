#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

void WeatherAndSoilWater(ModelFrame& f) {
    const double Tamax = f.d[dr::Tamax], Tamin = f.d[dr::Tamin], II = f.d[dr::II];
    const double* s = f.s;
    double* v = f.v;

    v[pr::Ta] = (Tamax + Tamin) / 2.0;
    const double LAI = s[st::Cf] / f.P(pa::mF);
    v[pr::LAI] = LAI;
    v[pr::Cswmax] = f.P(pa::h1) * Power(s[st::Csw] + s[st::Chw], f.P(pa::h2)) * s[st::Laieos];

    // Plant-available water: 0 below wilting point, 1 at field capacity and
    // above 1 beyond it.
    const double Wr = s[st::Wr], Ww = f.P(pa::Ww), Wf = f.P(pa::Wf);
    const double Aw = Wr < Ww ? 0.0 : (Wr - Ww) / (Wf - Ww);
    v[pr::Aw] = Aw;

    // Tension deficit; never below 0.001 MPa.
    const double Psiw = f.P(pa::Psiw), Psif = f.P(pa::Psif);
    double PsiD = Aw > 1.0 ? Psif - Psiw : -Psiw * (1.0 - Power(Psif / Psiw, Aw));
    if (PsiD <= 0.0) PsiD = 0.001;
    v[pr::PsiD] = PsiD;

    // Penman-Monteith terms, all at the daily maximum temperature.
    const double PsyC = 0.646 * std::exp(0.00097 * Tamax);
    const double RhoAir = 353.0 / (273.2 + Tamax);
    const double satMax = std::exp(17.269 * Tamax / (237.3 + Tamax));
    const double satMin = std::exp(17.269 * Tamin / (237.3 + Tamin));
    const double SvpSlope = 25029.0 * satMax / ((237.3 + Tamax) * (237.3 + Tamax));
    const double Vpd = 6.1078 * (satMax - satMin);
    const double LatentHeat = 2.501 - 0.00237 * Tamax;

    const double gsw = 0.3 * PsiD * (0.1 + LAI) * std::exp(-0.01464 * Vpd);
    v[pr::gsw] = gsw;
    const double gAW = f.P(pa::gAW);
    v[pr::ET] = (580.0 * SvpSlope * II * (1.0 - f.P(pa::alphaT)) + 0.000051 * RhoAir * 1012.0 * Vpd * gAW) /
                (LatentHeat * ((1.0 + gAW / gsw) * PsyC + SvpSlope));

    // Day length from latitude and the solar declination of the model day
    // (amplitude 23.454 degrees, peak on day 171.25).
    f.LatRad = Pi * f.P(pa::Deltad) / 180.0;
    f.DeclRad = 0.40934952276275 * std::cos(2.0 * Pi * (s[st::Jday] - 171.25) / 365.25);
    const double x = std::tan(f.DeclRad) * std::tan(f.LatRad);
    double Hd;
    if (x < -1.0)
        Hd = 0.0;  // polar night
    else if (x > 1.0)
        Hd = 24.0;  // polar day
    else
        Hd = 24.0 * std::acos(-x) / Pi;
    v[pr::Hd] = Hd;
}
