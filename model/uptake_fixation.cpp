#include <cmath>

#include "model/model_math.h"
#include "model/sections.h"

namespace {
// Half-saturation constant of the CO2 response (ppm), as in photosynthesis.
constexpr double KCO2 = 995.4;
}  // namespace

void UptakeAndFixation(ModelFrame& f) {
    const double II = f.d[dr::II], Ca = f.d[dr::Ca];
    const double* s = f.s;
    double* v = f.v;
    const double Cr = s[st::Cr];

    // Temperature response of root uptake: 1 at TUopt, 0 from TUmax up.
    const double HU = f.day.HU;
    v[pr::HU] = HU;

    const double thetaU = f.P(pa::thetaU);
    const double rootFactor = 1.0 - std::exp(-thetaU * Cr);
    const double labileDivisor = 1.0 + Power(s[st::Nlwr] / f.P(pa::Nlwrmax), f.P(pa::epsilsonUn));
    const double Nnh4aq = v[pr::Nnh4aq], Nno3aq = v[pr::Nno3aq];
    const double UNH4max = f.P(pa::UNH4max), UNO3max = f.P(pa::UNO3max);
    // Uptake the maximum rates would give at the present concentrations.
    const double potentialNH4 = UNH4max * Nnh4aq / (f.P(pa::kNH4) + Nnh4aq);
    const double potentialNO3 = UNO3max * Nno3aq / (f.P(pa::kNO3) + Nno3aq);
    const double Aw = v[pr::Aw];

    const double UNH4 = rootFactor * HU * Aw * potentialNH4 / labileDivisor;
    const double UNO3 = rootFactor * HU * Aw * potentialNO3 / labileDivisor;
    v[pr::UNH4] = UNH4;
    v[pr::UNO3] = UNO3;
    v[pr::Un] = UNH4 + UNO3;

    // Daily carbon cost of uptake (g C per g N).
    v[pr::qUn] = std::exp(thetaU * Cr - 0.5 * v[pr::LAI]) * f.P(pa::gUn) * II * Ca / (KCO2 + Ca) /
                 (potentialNH4 + potentialNO3);

    // Fixation runs only while the mean uptake cost qUnT is at or above the
    // cost of fixing. Below that the saturating term is not evaluated at all,
    // so a mean cost of exactly qUnfix - kNfix cannot fault on a value that
    // would be thrown away.
    const double qUnT = s[st::qUnT], qUnfix = f.P(pa::qUnfix);
    double Unfix = 0.0;
    if (!(qUnT < qUnfix)) {
        const double excess = qUnT - qUnfix;
        Unfix = (1.0 - std::exp(-f.P(pa::sL) * s[st::Clr])) * HU * f.P(pa::gNfix) * Cr * excess /
                (excess + f.P(pa::kNfix));
    }
    v[pr::Unfix] = Unfix;
    v[pr::RUnfix] = qUnfix * Unfix;
}
