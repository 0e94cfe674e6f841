#include <algorithm>
#include <cmath>
#include <iterator>

#include "core/fpfaults.h"
#include "model/model_math.h"
#include "model/new_year.h"
#include "model/sections.h"

namespace {

// A start day that no cold spell has fixed yet this year.
constexpr double UnsetStartDay = 999.0;

// The model year is 366 days: a new year starts when the integral part of
// the time (truncated toward zero) is a whole multiple of 366, 0 included.
// Worked in floating point, so negative and huge times need no integer
// conversion; a time that is not finite starts no year.
bool StartsNewYear(double time) {
    if (!std::isfinite(time)) return false;
    return std::fmod(std::trunc(time), 366.0) == 0.0;
}

}  // namespace

void EndOfStepUpdates(ModelFrame& f) {
    const double dt = TimeStep;
    const double* s = f.s;
    const double Ta = f.v[pr::Ta], LAI = f.v[pr::LAI], Hd = f.v[pr::Hd];
    const double soilT = f.d[dr::Ts], Ppt = f.d[dr::Ppt], II = f.d[dr::II];
    const double Jday = s[st::Jday], DDa = s[st::DDa];

    // Everything is computed first; the state table is written only once the
    // whole computation has come through without a floating-point fault.
    const bool newYear = StartsNewYear(f.time);

    const double dJday = dt;

    // Degree days count positive temperatures from the day Jddstart on.
    double dDDa = 0.0, dDDs = 0.0;
    if (!(Jday < f.P(pa::Jddstart))) {
        dDDa = Ta > 0.0 ? Ta * dt : 0.0;
        dDDs = soilT > 0.0 ? soilT * dt : 0.0;
    }

    // End-of-season leaf area: follows the canopy once the full-canopy
    // degree day is reached, until the foliage senescence start day.
    double laieos = s[st::Laieos];
    const double DDfstop = f.P(pa::DDfstop);
    if (DDa == DDfstop) laieos = 0.0;
    if (DDa >= DDfstop && Jday < s[st::Jdfs]) laieos = LAI;

    // Senescence start days: from JlambdaStart on, the first step at or below
    // an organ's critical temperature fixes its start day.
    const double newDay = Jday + dJday;
    const bool lateEnough = newDay >= f.P(pa::JlambdaStart);
    const bool fixFoliage = lateEnough && s[st::Jdfs] == UnsetStartDay && Ta <= f.P(pa::TacrF);
    const bool fixWood = lateEnough && s[st::Jdws] == UnsetStartDay && Ta <= f.P(pa::TacrW);
    const bool fixRoots = lateEnough && s[st::Jdrs] == UnsetStartDay && soilT <= f.P(pa::TacrR);

    const double dDnT = f.v[pr::Dn] * dt;

    // Precipitation: snow below Tas; rain at or above it, less what the
    // canopy intercepts (never more than the rain itself).
    double Pptr, Ppts, PptI;
    if (Ta < f.P(pa::Tas)) {
        Pptr = 0.0;
        Ppts = Ppt;
        PptI = 0.0;
    } else {
        Pptr = Ppt;
        Ppts = 0.0;
        PptI = f.P(pa::bIsw) * s[st::Csw] + f.P(pa::bIf) * LAI;
        if (PptI > Pptr) PptI = Pptr;
    }

    // Radiation balance of the snowpack (MJ m-2 day-1).
    const double LatRad = f.LatRad, DeclRad = f.DeclRad;
    const double RadPot =
        117.5 * (std::sin(LatRad) * std::sin(DeclRad) * Hd / 24.0 + std::cos(LatRad) * std::sin(Pi * Hd / 24.0) / Pi);
    const double SunFrac = RadPot != 0.0 ? (II / RadPot - 0.23) / 0.48 : 0.0;
    const double TairK = 273.15 + Ta;
    const double TsnowK = Ta > 2.5 ? 273.15 : TairK - 2.5;
    const double airK4 = Power(TairK, 4.0), snowK4 = Power(TsnowK, 4.0);
    const double rhot = f.P(pa::rhot);
    const double longwave =
        (0.76 * airK4 - snowK4) * (0.9 * SunFrac + 0.1) * (1.0 - rhot) + (airK4 - snowK4) * rhot;
    const double QSnow = std::exp(-f.P(pa::gammat) * rhot) * II * (1.0 - f.P(pa::alphas)) + 4.9e-9 * longwave;

    // Snowmelt from radiation and warm air. Melt is a daily rate: over a step
    // longer than a day it may not take more than the pack holds, so the
    // snowpack never goes negative and no melt water appears from nothing.
    double Ms = 0.0;
    if (QSnow > 0.0) Ms += 2.99 * QSnow;
    if (Ta > 0.0) Ms += 2.0 * Ta;
    const double meltCap = s[st::Ws] / std::max(1.0, dt);
    if (Ms > meltCap) Ms = meltCap;

    const double dWs = (Ppts - Ms) * dt;
    const double dWr = (Pptr - PptI + Ms) * dt;
    const double dPptT = Ppt * dt;
    const double dPptIT = PptI * dt;
    const double dQwT = dPptIT;  // interception counts as a water loss

    f.v[pr::Pptr] = Pptr;
    f.v[pr::Ppts] = Ppts;
    f.v[pr::PptI] = PptI;
    f.v[pr::Ms] = Ms;

    // The new values of the advanced states, each only applied if not held.
    constexpr int advanced[] = {st::Wr,  st::Ws,   st::Laieos, st::Jday, st::DDa,
                                st::DDs, st::PptT, st::PptIT,  st::QwT,  st::DnT};
    const double next[] = {s[st::Wr] + dWr,      s[st::Ws] + dWs,       laieos,
                           Jday + dJday,         DDa + dDDa,            s[st::DDs] + dDDs,
                           s[st::PptT] + dPptT,  s[st::PptIT] + dPptIT, s[st::QwT] + dQwT,
                           s[st::DnT] + dDnT};
    static_assert(std::size(advanced) == std::size(next));

    // Every result is stored before the fault flags are read: a volatile store
    // cannot be deferred past the test, so neither can the arithmetic behind
    // it. A fault anywhere above leaves the state table and NewYear as they were.
    volatile double settled[std::size(next)];
    for (std::size_t i = 0; i < std::size(next); ++i) settled[i] = next[i];
    volatile bool settledFix[3] = {fixFoliage, fixWood, fixRoots};
    volatile double settledDay = newDay;

    CheckFloatingPointFaults();

    NewYear = newYear;
    f.s[st::Laieos] = laieos;

    statearray& table = *f.states;
    // Start days are fixed whatever the hold flags say.
    const int startDays[] = {st::Jdfs, st::Jdws, st::Jdrs};
    for (int k = 0; k < 3; ++k)
        if (settledFix[k]) table[startDays[k]].Value = settledDay;
    for (std::size_t i = 0; i < std::size(advanced); ++i)
        if (!f.held[advanced[i]]) table[advanced[i]].Value = settled[i];
}
