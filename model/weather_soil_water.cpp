#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

void WeatherAndSoilWater(ModelFrame& f) {
    const double* s = f.s;
    double* v = f.v;

    v[pr::Ta] = f.day.Ta;
    const double LAI = s[st::Cf] / f.P(pa::mF);
    v[pr::LAI] = LAI;
    f.WoodPower = Power(s[st::Csw] + s[st::Chw], f.P(pa::h2));
    v[pr::Cswmax] = f.P(pa::h1) * f.WoodPower * s[st::Laieos];

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

    const DayTerms& day = f.day;
    const double gsw = 0.3 * PsiD * (0.1 + LAI) * day.VpdClosure;
    v[pr::gsw] = gsw;
    const double gAW = f.P(pa::gAW);
    v[pr::ET] = day.EtNumerator / (day.LatentHeat * ((1.0 + gAW / gsw) * day.PsyC + day.SvpSlope));

    f.LatRad = day.LatRad;
    f.DeclRad = day.DeclRad;
    v[pr::Hd] = day.Hd;
}
