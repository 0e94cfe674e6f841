// Adaptive fourth-order Runge-Kutta integration of the model's states.
//
// Accuracy is controlled by step doubling: each step is taken once whole and
// once as two half steps; their difference estimates the error, decides
// whether the step is kept and how large the next one may be, and corrects
// the kept result.
//
// The right-hand side is a DerivativeFunction: the model (run/model_integration.h
// passes its derivative frame) or another problem with a known solution.
//
// Failures:
//   EStepTooSmall "Step size too small in routine RKQualityControl"
//       a step so small that X + H rounds to X;
//   EStepTooSmall "Step size too small in routine ODEIntegrator"
//       the next step would be smaller than HMin before X2 is reached;
//   ETooManySteps "Too many steps in routine ODEIntegrator"
//       10000 steps without reaching X2;
//   EInvalidOp, EOverflow and anything else the right-hand side raises pass
//       through unchanged. A division by zero during an attempt is not a
//       failure: the step is halved and tried again.
// The integrator's own arithmetic is checked for floating-point faults like
// the equations' (an overflowing trial state raises EOverflow).
// No memory is allocated while integrating.
#pragma once

#include <cstdint>
#include <type_traits>

#include "core/stypes.h"

// A non-owning reference to a right-hand side
//     void f(const valuearray& y, double t, valuearray& dydx)
// that writes the derivatives at (t, y) into dydx[1..N]. It refers to the
// callable, which must outlive every call made through the reference (pass a
// lambda straight into the integrator's call, or keep it in a variable).
class DerivativeFunction {
public:
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, DerivativeFunction> &&
                 std::is_invocable_r_v<void, const F&, const valuearray&, double, valuearray&>)
    DerivativeFunction(const F& f) noexcept  // NOLINT: implicit by design
        : object_(static_cast<const void*>(&f)), call_(&Invoke<F>) {}

    void operator()(const valuearray& y, double t, valuearray& dydx) const { call_(object_, y, t, dydx); }

private:
    template <class F>
    static void Invoke(const void* object, const valuearray& y, double t, valuearray& dydx) {
        (*static_cast<const F*>(object))(y, t, dydx);
    }

    const void* object_;
    void (*call_)(const void*, const valuearray&, double, valuearray&);
};

// Work counters for the statistics of a run. The integrator adds to them, so
// one record can gather the totals of many calls; a failed call still adds
// the steps and evaluations it made.
struct IntegratorStats {
    std::int64_t NOk = 0;          // steps kept at the size tried first
    std::int64_t NBad = 0;         // steps that had to be shrunk first
    std::int64_t Evaluations = 0;  // calls of the right-hand side, failed ones included
};

// Accuracy constants of the step-size control.
namespace rk {
inline constexpr double Safety = 0.9;         // factor on every step size computed from the error
inline constexpr double ShrinkPower = -0.1;   // after a rejected attempt: 0.9 * H * ErrMax^-0.1
inline constexpr double GrowPower = -0.2;     // after a kept step: 0.9 * H * ErrMax^-0.2
inline constexpr double GrowThreshold = 6e-4; // at or below it the next step is GrowLimit * H
inline constexpr double GrowLimit = 4.0;      // largest factor from one step to the next
inline constexpr double Correction = 0.06666666;  // share of the error estimate added to a kept result
inline constexpr double ScaleAddend = 1e-30;  // keeps every error scale above 0
inline constexpr std::int32_t MaxSteps = 10000;  // steps per call of ODEIntegrator
}  // namespace rk

// One classical Runge-Kutta step of size H from (X, Y), where DYDX holds the
// derivatives at (X, Y); the result goes to YOut (which may be Y itself).
// Uses entries 1..N. Evaluates the right-hand side three times.
void RK4Step(const valuearray& Y, const valuearray& DYDX, std::int32_t N, double X, double H, valuearray& YOut,
             DerivativeFunction derivs, IntegratorStats* stats = nullptr);

// One adaptive step from (X, Y), where DYDX holds the derivatives at (X, Y),
// trying the size HTry first and shrinking it until the scaled error is at
// most 1. On return X and Y have advanced by HDid, and HNext is the suggested
// size of the next step. DYDX is left as it was. On failure X, Y, HDid and
// HNext are not changed.
void RKQualityControl(valuearray& Y, valuearray& DYDX, std::int32_t N, double& X, double HTry, double Eps,
                      const valuearray& YScale, double& HDid, double& HNext, DerivativeFunction derivs,
                      IntegratorStats* stats = nullptr);

// Integrates YStart[1..NVar] from X1 to X2 (backwards when X2 < X1), starting
// with a step of size |H1|. On success YStart holds the state at X2 and H1
// the size to start the next interval with; NOk and NBad count the steps kept
// at their first size and the steps that had to be shrunk. On failure YStart
// and H1 are left as they were.
void ODEIntegrator(valuearray& YStart, std::int32_t NVar, double& H1, double X1, double X2, double Eps,
                   double HMin, std::int32_t& NOk, std::int32_t& NBad, DerivativeFunction derivs,
                   IntegratorStats* stats = nullptr);

// How a right-hand side meets the fault flags: as it finds them (it clears
// them itself, or reads them before it computes), or clear, which the
// integrator then sees to before each step by dropping the flags its own
// interval tests leave.
enum class RhsFlags { AsFound, ClearBeforeEachStep };
void ODEIntegrator(valuearray& YStart, std::int32_t NVar, double& H1, double X1, double X2, double Eps, double HMin,
                   std::int32_t& NOk, std::int32_t& NBad, DerivativeFunction derivs, IntegratorStats* stats,
                   RhsFlags flags);
