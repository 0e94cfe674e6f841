#include "model/day_terms.h"

#include <atomic>
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>

#include "model/frame.h"
#include "model/model_math.h"

namespace {

constexpr int FaultMask = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
// A driver value of exactly -1 marks a missing record.
constexpr double MissingDriver = -1.0;

// The flags raised since they were last clear, cleared again. The terms are
// stored before the test: the fence keeps the stores, and the arithmetic
// behind them, on this side of it.
int TakeFaults() {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const int flags = std::fetestexcept(FaultMask);
    if (flags != 0) std::feclearexcept(flags);
    return flags;
}

// 1 at the optimum temperature, falling to 0 at the maximum and 0 above it.
double TemperatureResponse(double T, double Tmax, double Topt, double gamma) {
    if (T >= Tmax) return 0.0;
    return Power((Tmax - T) / (Tmax - Topt), (Tmax - Topt) * gamma) * std::exp((T - Topt) * gamma);
}

}  // namespace

void DayTerms::Prepare(const ModelFrame& f) {
    if (kept_ && std::bit_cast<std::uint64_t>(day_) == std::bit_cast<std::uint64_t>(f.s[st::Jday])) return;
    Work(f);
}

int DayTerms::AllFaults() const {
    int flags = 0;
    for (const int section : Faults) flags |= section;
    return flags;
}

void DayTerms::Work(const ModelFrame& f) {
    const double Tamax = f.d[dr::Tamax], Tamin = f.d[dr::Tamin], II = f.d[dr::II], Ts = f.d[dr::Ts];
    for (int& section : Faults) section = 0;

    // Penman-Monteith terms, all at the daily maximum temperature.
    Ta = (Tamax + Tamin) / 2.0;
    PsyC = 0.646 * std::exp(0.00097 * Tamax);
    const double RhoAir = 353.0 / (273.2 + Tamax);
    const double satMax = std::exp(17.269 * Tamax / (237.3 + Tamax));
    const double satMin = std::exp(17.269 * Tamin / (237.3 + Tamin));
    SvpSlope = 25029.0 * satMax / ((237.3 + Tamax) * (237.3 + Tamax));
    Vpd = 6.1078 * (satMax - satMin);
    LatentHeat = 2.501 - 0.00237 * Tamax;
    VpdClosure = std::exp(-0.01464 * Vpd);
    EtNumerator = 580.0 * SvpSlope * II * (1.0 - f.P(pa::alphaT)) + 0.000051 * RhoAir * 1012.0 * Vpd * f.P(pa::gAW);
    // Day length from latitude and the solar declination of the model day
    // (amplitude 23.454 degrees, peak on day 171.25).
    LatRad = Pi * f.P(pa::Deltad) / 180.0;
    DeclRad = 0.40934952276275 * std::cos(2.0 * Pi * (f.s[st::Jday] - 171.25) / 365.25);
    const double x = std::tan(DeclRad) * std::tan(LatRad);
    if (x < -1.0)
        Hd = 0.0;  // polar night
    else if (x > 1.0)
        Hd = 24.0;  // polar day
    else
        Hd = 24.0 * std::acos(-x) / Pi;
    Faults[static_cast<int>(Section::Weather)] = TakeFaults();

    WarmCapacity = std::exp(0.004 * Tamax);
    ConductanceDivisor = 0.6 * f.P(pa::omegaS) + 0.5 * (Tamax - Tamin);
    Faults[static_cast<int>(Section::Photosynthesis)] = TakeFaults();

    HU = TemperatureResponse(Ts, f.P(pa::TUmax), f.P(pa::TUopt), f.P(pa::gammaU));
    Faults[static_cast<int>(Section::Uptake)] = TakeFaults();

    // Only the evergreen terms of fluxes the drivers leave to the model: an
    // imposed flux never works out its own.
    CfePower = CwePower = CrePower = InvSigmaF = InvSigmaW = InvSigmaR = 0.0;
    if (f.d[dr::DlambdaCF] == MissingDriver) {
        CfePower = Power(f.P(pa::Cfe), f.P(pa::sigmaLambdaF));
        InvSigmaF = 1.0 / f.P(pa::sigmaLambdaF);
    }
    if (f.d[dr::DlambdaCSW] == MissingDriver || f.d[dr::DlambdaCHW] == MissingDriver) {
        CwePower = Power(f.P(pa::Cwe), f.P(pa::sigmaLambdaW));
        InvSigmaW = 1.0 / f.P(pa::sigmaLambdaW);
    }
    if (f.d[dr::DlambdaCR] == MissingDriver) {
        CrePower = Power(f.P(pa::Cre), f.P(pa::sigmaLambdaR));
        InvSigmaR = 1.0 / f.P(pa::sigmaLambdaR);
    }
    Faults[static_cast<int>(Section::Litterfall)] = TakeFaults();

    const double TRmax = f.P(pa::TRmax), TRopt = f.P(pa::TRopt), gammaR = f.P(pa::gammaR);
    HRair = TemperatureResponse(Ta, TRmax, TRopt, gammaR);
    HR = TemperatureResponse(Ts, TRmax, TRopt, gammaR);
    Faults[static_cast<int>(Section::Growth)] = TakeFaults();

    Q10Factor = Power(f.P(pa::Q10D), Ts / 10.0);
    Faults[static_cast<int>(Section::Decomposition)] = TakeFaults();

    kept_ = AllFaults() == 0;
    day_ = f.s[st::Jday];
}
