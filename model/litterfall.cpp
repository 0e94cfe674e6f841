#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

namespace {

// A driver value of exactly -1 marks a missing record: the model computes the
// flux itself. Any other value, 0 included, is imposed.
constexpr double MissingDriver = -1.0;

// Evergreen factor of a pool X with evergreen amount Xe: near 0 while X is
// small against Xe, tending to 1 - Xe/X when X is large, so litterfall acts
// on what exceeds the evergreen amount. With xePower = Xe^s and invS = 1/s.
double Evergreen(double x, double xe, double s, double xePower, double invS) {
    return 1.0 - xe / Power(Power(x, s) + xePower, invS);
}

// Evergreen(...) * window * rate * X + drought, the litter of a pool that
// may also shed by drought. While the window is closed the first term is a
// signed 0 and the sum is the drought litter, unless that is -0, whatever the
// evergreen factor, as long as the factor is finite. Within the bounds below
// it is, and working it out raises no fault: x^s and the sum lie within
// [1e-50, 2e50], so does the sum raised to 1/s, and xe over that stays far
// from overflow. 1 then stands in for the factor.
double EvergreenInWindow(double x, double xe, double s, double xePower, double invS, double window,
                         double drought) {
    if (window == 0.0 && !(drought == 0.0 && std::signbit(drought)) && x >= 1e-10 && x <= 1e10 &&
        std::fabs(s) >= 1.0 && std::fabs(s) <= 5.0 && xePower >= 0.0 && xePower <= 1e50 &&
        std::fabs(invS) <= 1.0 && std::fabs(xe) <= 1e200)
        return 1.0;
    return Evergreen(x, xe, s, xePower, invS);
}

// Open (1) from the senescence start day for `duration` days, else 0. A start
// day of 999 keeps the window closed, since the day counter is reset long
// before it gets there.
double Window(double jday, double start, double duration) {
    return (start <= jday && jday < start + duration) ? 1.0 : 0.0;
}

// Litter of a pool X (foliage, roots) while its window is open, with its
// evergreen amount, shape and rate, plus what drought sheds.
double PoolLitter(double x, double xe, double s, double xePower, double invS, double window, double rate,
                  double drought) {
    return EvergreenInWindow(x, xe, s, xePower, invS, window, drought) * window * rate * x + drought;
}

// Drought litter: shed at the square of the deficit below Awd; Aw = Awd is
// still the drought branch, with a deficit of 0.
void DroughtLitter(ModelFrame& f) {
    const double Cf = f.s[st::Cf], Cr = f.s[st::Cr], Nf = f.s[st::Nf], Nr = f.s[st::Nr];
    const double Aw = f.v[pr::Aw];
    double* v = f.v;
    if (Aw > f.P(pa::Awd)) {
        v[pr::lambdaCFD] = 0.0;
        v[pr::lambdaCRD] = 0.0;
        v[pr::lambdaNFD] = 0.0;
        v[pr::lambdaNRD] = 0.0;
        v[pr::tauND] = 0.0;
    } else {
        const double deficit = f.P(pa::Awd) - Aw;
        const double D = deficit * deficit;
        const double atauD = f.P(pa::atauD);
        v[pr::lambdaCFD] = D * f.P(pa::alambdaCFD) * Cf;
        v[pr::lambdaCRD] = D * f.P(pa::alambdaCRD) * Cr;
        v[pr::lambdaNFD] = (1.0 - atauD) * v[pr::lambdaCFD] * Nf / Cf;
        v[pr::lambdaNRD] = v[pr::lambdaCRD] * Nr / Cr;
        v[pr::tauND] = atauD * v[pr::lambdaCFD] * Nf / Cf;
    }
}

// Each litter flux is imposed by its driver unless that holds -1.
bool Driven(const ModelFrame& f, int driver) { return f.d[driver] != MissingDriver; }

// Wood litter is one flux for total wood, shared by sapwood and heartwood in
// proportion to their carbon.
void WoodLitter(ModelFrame& f) {
    const double Csw = f.s[st::Csw], Chw = f.s[st::Chw];
    double* v = f.v;
    const double Cw = Csw + Chw;
    v[pr::Cw] = Cw;
    const bool drivenCSW = Driven(f, dr::DlambdaCSW), drivenCHW = Driven(f, dr::DlambdaCHW);
    const double woodEvergreen =
        drivenCSW && drivenCHW ? 0.0
                               : Evergreen(Cw, f.P(pa::Cwe), f.P(pa::sigmaLambdaW), f.day.CwePower, f.day.InvSigmaW);
    if (drivenCSW) {
        v[pr::lambdaCSW] = f.d[dr::DlambdaCSW];
    } else {
        v[pr::lambdaCSW] = woodEvergreen * v[pr::WFall] * f.P(pa::alambdaW) * (Csw / Cw) * Cw;
    }
    if (drivenCHW) {
        v[pr::lambdaCHW] = f.d[dr::DlambdaCHW];
    } else {
        v[pr::lambdaCHW] = woodEvergreen * v[pr::WFall] * f.P(pa::alambdaW) * (Chw / Cw) * Cw;
    }
}

// The nitrogen fluxes follow the carbon fluxes as finally chosen.
void NitrogenLitter(ModelFrame& f) {
    const double Cf = f.s[st::Cf], Csw = f.s[st::Csw], Chw = f.s[st::Chw], Cr = f.s[st::Cr];
    const double Nf = f.s[st::Nf], Nsw = f.s[st::Nsw], Nhw = f.s[st::Nhw], Nr = f.s[st::Nr];
    double* v = f.v;
    const double atau = f.P(pa::atau);
    v[pr::lambdaNF] =
        Driven(f, dr::DlambdaNF) ? f.d[dr::DlambdaNF] : (1.0 - atau) * v[pr::lambdaCF] * Nf / Cf + v[pr::lambdaNFD];
    v[pr::lambdaNSW] = Driven(f, dr::DlambdaNSW) ? f.d[dr::DlambdaNSW] : v[pr::lambdaCSW] * Nsw / Csw;
    // Without heartwood there is no heartwood litter, whatever the driver.
    if (Chw == 0.0)
        v[pr::lambdaNHW] = 0.0;
    else
        v[pr::lambdaNHW] = Driven(f, dr::DlambdaNHW) ? f.d[dr::DlambdaNHW] : v[pr::lambdaCHW] * Nhw / Chw;
    v[pr::lambdaNR] = Driven(f, dr::DlambdaNR) ? f.d[dr::DlambdaNR] : v[pr::lambdaCR] * Nr / Cr + v[pr::lambdaNRD];

    // Nitrogen withdrawn from falling foliage back to the labile pool.
    v[pr::tauN] = atau * v[pr::lambdaCF] * Nf / Cf + v[pr::tauND];
}

}  // namespace

void Litterfall(ModelFrame& f) {
    const double Cf = f.s[st::Cf], Cr = f.s[st::Cr];
    const double Jday = f.s[st::Jday];
    double* v = f.v;

    DroughtLitter(f);

    v[pr::FFall] = Window(Jday, f.s[st::Jdfs], f.P(pa::DsensF));
    v[pr::WFall] = Window(Jday, f.s[st::Jdws], f.P(pa::DsensW));
    v[pr::RFall] = Window(Jday, f.s[st::Jdrs], f.P(pa::DsensR));

    v[pr::lambdaCF] = Driven(f, dr::DlambdaCF)
                          ? f.d[dr::DlambdaCF]
                          : PoolLitter(Cf, f.P(pa::Cfe), f.P(pa::sigmaLambdaF), f.day.CfePower, f.day.InvSigmaF,
                                       v[pr::FFall], f.P(pa::alambdaF), v[pr::lambdaCFD]);
    WoodLitter(f);
    v[pr::lambdaCR] = Driven(f, dr::DlambdaCR)
                          ? f.d[dr::DlambdaCR]
                          : PoolLitter(Cr, f.P(pa::Cre), f.P(pa::sigmaLambdaR), f.day.CrePower, f.day.InvSigmaR,
                                       v[pr::RFall], f.P(pa::alambdaR), v[pr::lambdaCRD]);
    NitrogenLitter(f);
}
