// The parameters a fit varies: each with its starting value and bounds, and
// the scaling that maps the bounds onto [0, 1] for the optimiser.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace fit {

// A fit that cannot be set up or carried out; the message says why.
class EFitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FitParameter {
    int Index = 0;  // in Params, from 1
    std::string Symbol;
    double Start = 0.0;
    double Low = 0.0, High = 0.0;

    double Scaled(double value) const { return (value - Low) / (High - Low); }
    double Unscaled(double u) const { return Low + u * (High - Low); }
};

// The bounds taken when none are given: half to twice the starting value,
// the sign kept. Throws EFitError for a start of 0 or one that is not finite.
void DefaultBounds(FitParameter& p);

// "SYM" or "SYM=LOW..HIGH" for the parameter SYM starting at its value in
// Params. Throws EFitError naming the option.
FitParameter ParseFitOption(std::string_view text);

// Checks explicit bounds against the start: LOW below HIGH, the start
// within. `what` names the parameter in the message. Throws EFitError.
void CheckBounds(const FitParameter& p, const std::string& what);

}  // namespace fit
