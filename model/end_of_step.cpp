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

// Degree days count positive temperatures from the day Jddstart on.
struct DegreeDays {
    double air = 0.0, soil = 0.0;
};

DegreeDays DegreeDaysOfStep(const ModelFrame& f, double Jday, double Ta, double soilT, double dt) {
    DegreeDays d;
    if (!(Jday < f.P(pa::Jddstart))) {
        d.air = Ta > 0.0 ? Ta * dt : 0.0;
        d.soil = soilT > 0.0 ? soilT * dt : 0.0;
    }
    return d;
}

// End-of-season leaf area: follows the canopy once the full-canopy degree day
// is reached, until the foliage senescence start day.
double EndOfSeasonLai(const ModelFrame& f, double DDa, double Jday, double LAI) {
    double laieos = f.s[st::Laieos];
    const double DDfstop = f.P(pa::DDfstop);
    if (DDa == DDfstop) laieos = 0.0;
    if (DDa >= DDfstop && Jday < f.s[st::Jdfs]) laieos = LAI;
    return laieos;
}

// Precipitation: snow below Tas; rain at or above it, less what the canopy
// intercepts (never more than the rain itself).
struct Precipitation {
    double rain = 0.0, snow = 0.0, intercepted = 0.0;
};

Precipitation SplitPrecipitation(const ModelFrame& f, double Ta, double Ppt, double LAI) {
    Precipitation p;
    if (Ta < f.P(pa::Tas)) {
        p.snow = Ppt;
    } else {
        p.rain = Ppt;
        p.intercepted = f.P(pa::bIsw) * f.s[st::Csw] + f.P(pa::bIf) * LAI;
        if (p.intercepted > p.rain) p.intercepted = p.rain;
    }
    return p;
}

// Radiation balance of the snowpack (MJ m-2 day-1).
double SnowpackRadiation(const ModelFrame& f, double Ta, double Hd, double II) {
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
    return std::exp(-f.P(pa::gammat) * rhot) * II * (1.0 - f.P(pa::alphas)) + 4.9e-9 * longwave;
}

// Snowmelt from radiation and warm air. Melt is a daily rate: over a step
// longer than a day it may not take more than the pack holds, so the snowpack
// never goes negative and no melt water appears from nothing.
double Snowmelt(double QSnow, double Ta, double snowpack, double dt) {
    double Ms = 0.0;
    if (QSnow > 0.0) Ms += 2.99 * QSnow;
    if (Ta > 0.0) Ms += 2.0 * Ta;
    const double meltCap = snowpack / std::max(1.0, dt);
    if (Ms > meltCap) Ms = meltCap;
    return Ms;
}

// The states the step advances, each only applied if not held.
constexpr int Advanced[] = {st::Wr,  st::Ws,   st::Laieos, st::Jday, st::DDa,
                            st::DDs, st::PptT, st::PptIT,  st::QwT,  st::DnT};
constexpr std::size_t AdvancedCount = std::size(Advanced);

// The results of the step, stored once the whole computation has come through
// without a floating-point fault. Every result is stored before the fault
// flags are read: a volatile store cannot be deferred past the test, so
// neither can the arithmetic behind it. A fault leaves the state table and
// NewYear as they were.
void StoreEndOfStep(ModelFrame& f, bool newYear, double laieos, const double (&next)[AdvancedCount],
                    const bool (&fix)[3], double newDay) {
    volatile double settled[AdvancedCount];
    for (std::size_t i = 0; i < AdvancedCount; ++i) settled[i] = next[i];
    volatile bool settledFix[3] = {fix[0], fix[1], fix[2]};
    volatile double settledDay = newDay;

    CheckFloatingPointFaults();

    NewYear = newYear;
    f.s[st::Laieos] = laieos;

    statearray& table = *f.states;
    // Start days are fixed whatever the hold flags say.
    const int startDays[] = {st::Jdfs, st::Jdws, st::Jdrs};
    for (int k = 0; k < 3; ++k)
        if (settledFix[k]) table[startDays[k]].Value = settledDay;
    for (std::size_t i = 0; i < AdvancedCount; ++i)
        if (!f.held[Advanced[i]]) table[Advanced[i]].Value = settled[i];
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
    const DegreeDays dDD = DegreeDaysOfStep(f, Jday, Ta, soilT, dt);
    const double laieos = EndOfSeasonLai(f, DDa, Jday, LAI);

    // Senescence start days: from JlambdaStart on, the first step at or below
    // an organ's critical temperature fixes its start day.
    const double newDay = Jday + dJday;
    const bool lateEnough = newDay >= f.P(pa::JlambdaStart);
    const bool fix[3] = {lateEnough && s[st::Jdfs] == UnsetStartDay && Ta <= f.P(pa::TacrF),
                         lateEnough && s[st::Jdws] == UnsetStartDay && Ta <= f.P(pa::TacrW),
                         lateEnough && s[st::Jdrs] == UnsetStartDay && soilT <= f.P(pa::TacrR)};

    const double dDnT = f.v[pr::Dn] * dt;

    const Precipitation p = SplitPrecipitation(f, Ta, Ppt, LAI);
    const double Ms = Snowmelt(SnowpackRadiation(f, Ta, Hd, II), Ta, s[st::Ws], dt);

    const double dWs = (p.snow - Ms) * dt;
    const double dWr = (p.rain - p.intercepted + Ms) * dt;
    const double dPptT = Ppt * dt;
    const double dPptIT = p.intercepted * dt;
    const double dQwT = dPptIT;  // interception counts as a water loss

    f.v[pr::Pptr] = p.rain;
    f.v[pr::Ppts] = p.snow;
    f.v[pr::PptI] = p.intercepted;
    f.v[pr::Ms] = Ms;

    const double next[] = {s[st::Wr] + dWr,     s[st::Ws] + dWs,       laieos,
                           Jday + dJday,        DDa + dDD.air,         s[st::DDs] + dDD.soil,
                           s[st::PptT] + dPptT, s[st::PptIT] + dPptIT, s[st::QwT] + dQwT,
                           s[st::DnT] + dDnT};
    static_assert(std::size(next) == AdvancedCount);
    StoreEndOfStep(f, newYear, laieos, next, fix, newDay);
}
