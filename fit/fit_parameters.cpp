#include "fit/fit_parameters.h"

#include <cmath>

#include "cmdline/symbols.h"
#include "core/stypes.h"
#include "fileio/csv.h"

namespace fit {

namespace {

std::string Number(double v) { return fileio::ExactText(v); }

}  // namespace

void DefaultBounds(FitParameter& p) {
    if (p.Start == 0.0 || !std::isfinite(p.Start))
        throw EFitError("--fit " + p.Symbol + ": its starting value is " + Number(p.Start) +
                        ", which gives no bounds of its own; write " + p.Symbol + "=LOW..HIGH");
    p.Low = p.Start > 0 ? p.Start / 2 : p.Start * 2;
    p.High = p.Start > 0 ? p.Start * 2 : p.Start / 2;
}

void CheckBounds(const FitParameter& p, const std::string& what) {
    if (!(p.Low < p.High))
        throw EFitError(what + ": the lower bound " + Number(p.Low) + " must be below the upper bound " + Number(p.High));
    if (!(p.Start >= p.Low && p.Start <= p.High))
        throw EFitError(what + ": the starting value " + Number(p.Start) + " of " + p.Symbol + " lies outside " +
                        Number(p.Low) + ".." + Number(p.High));
}

FitParameter ParseFitOption(std::string_view text) {
    const std::string option = "--fit " + std::string(text);
    const std::size_t eq = text.find('=');
    FitParameter p;
    try {
        const Variable v = FindVariable(text.substr(0, eq), {VarKind::Parameter}, "--fit takes parameters");
        p.Index = v.index;
    } catch (const std::invalid_argument& e) {
        throw EFitError(option + ": " + e.what());
    }
    p.Symbol = Params[p.Index].Symbol;
    p.Start = Params[p.Index].Value;
    if (eq == std::string_view::npos) {
        DefaultBounds(p);
        return p;
    }
    const std::string_view range = text.substr(eq + 1);
    const std::size_t dots = range.find("..");
    if (dots == std::string_view::npos || !fileio::ParseDouble(range.substr(0, dots), p.Low) ||
        !fileio::ParseDouble(range.substr(dots + 2), p.High))
        throw EFitError(option + ": write the bounds as LOW..HIGH, two numbers");
    CheckBounds(p, option);
    return p;
}

}  // namespace fit
