#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "core/fpfaults.h"
#include "integrator/integrator.h"

namespace {

// Runs f and returns the message of the exception E it must throw.
template <class E, class F>
std::string MessageOf(const F& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    ADD_FAILURE() << "no exception of the expected type";
    return "";
}

valuearray Vector(double y1, double y2 = 0.0) {
    valuearray v;
    v[1] = y1;
    v[2] = y2;
    return v;
}

// y1' = -y1 and y2' = cos t: y1 = y1(0) e^-t, y2 = y2(0) + sin t.
const auto Decay = [](const valuearray& y, double t, valuearray& dydx) {
    dydx[1] = -y[1];
    dydx[2] = std::cos(t);
};
// y' = t^4. Over [0, 6] one RK4 step gives 1620 and two half steps 1559.25,
// both exact in binary: the error estimate is -60.75 with no rounding.
const auto Quartic = [](const valuearray&, double t, valuearray& dydx) { dydx[1] = t * t * t * t; };
const auto Constant = [](const valuearray&, double, valuearray& dydx) { dydx[1] = 1.0; };

TEST(RK4Step, IsFourthOrder) {
    // Simpson weights: 0 + 6/6 (0 + 6^4 + 4 * 3^4), from three evaluations.
    valuearray y = Vector(0), out;
    IntegratorStats stats;
    RK4Step(y, Vector(0), 1, 0.0, 6.0, out, Quartic, &stats);
    EXPECT_EQ(out[1], 1620.0);
    EXPECT_EQ(stats.Evaluations, 3);

    // Halving a fixed step divides the error by about 2^4 = 16.
    auto errors = [](int steps) {
        valuearray y = Vector(1, 0), dydx;
        const double h = 2.0 / steps;
        for (int k = 0; k < steps; ++k) {
            Decay(y, k * h, dydx);
            RK4Step(y, dydx, 2, k * h, h, y, Decay);
        }
        return std::pair{std::fabs(y[1] - std::exp(-2.0)), std::fabs(y[2] - std::sin(2.0))};
    };
    for (int n : {16, 32, 64}) {
        const auto [decay, cosine] = errors(n);
        const auto [decay2, cosine2] = errors(2 * n);
        EXPECT_NEAR(decay / decay2, 16.0, 1.5) << n;
        EXPECT_NEAR(cosine / cosine2, 16.0, 1.5) << n;
    }
}

// One adaptive step of y' = t^4 from 0, trying H = 6: ErrMax = 60.75 / YScale / Eps.
TEST(RKQualityControl, StepSizeRules) {
    struct Case {
        const char* what;
        double eps;
        double errmax;       // of the first attempt, written out
        bool kept;           // at the first attempt
    };
    const double justAbove1 = 1.0 - std::ldexp(1.0, -30);
    const double at6e4 = 1.0 / 6e-4;
    const double justAbove6e4 = at6e4 * (1.0 - 1e-12);
    ASSERT_EQ(60.75 / 60.75 / at6e4, 6e-4);
    ASSERT_GT(60.75 / 60.75 / justAbove6e4, 6e-4);
    for (const Case& c : {Case{"ErrMax exactly 1", 1.0, 1.0, true},
                          Case{"ErrMax just above 1", justAbove1, 1.0 / justAbove1, false},
                          Case{"ErrMax exactly 6e-4", at6e4, 6e-4, true},
                          Case{"ErrMax just above 6e-4", justAbove6e4, 1.0 / justAbove6e4, true}}) {
        SCOPED_TRACE(c.what);
        valuearray y = Vector(0), dydx = Vector(0);
        double x = 0.0, hdid = 0.0, hnext = 0.0;
        IntegratorStats stats;
        RKQualityControl(y, dydx, 1, x, 6.0, c.eps, Vector(60.75), hdid, hnext, Quartic, &stats);
        if (c.kept) {
            EXPECT_EQ(hdid, 6.0);
            EXPECT_EQ(stats.Evaluations, 10);
            EXPECT_EQ(y[1], 1559.25 + (1559.25 - 1620.0) * 0.06666666);
            const double grown = c.errmax > 6e-4 ? 0.9 * 6.0 * std::exp(-0.2 * std::log(c.errmax)) : 24.0;
            EXPECT_EQ(hnext, grown);
        } else {
            EXPECT_EQ(hdid, 0.9 * 6.0 * std::exp(-0.1 * std::log(c.errmax)));
            EXPECT_EQ(stats.Evaluations, 20);
            // The corrected result of the retried step is the exact integral h^5/5.
            EXPECT_NEAR(y[1], std::pow(hdid, 5) / 5, 1e-6);
            const double errmax = std::pow(hdid, 5) / 128 / 60.75 / c.eps;
            EXPECT_NEAR(hnext, 0.9 * hdid * std::exp(-0.2 * std::log(errmax)), 1e-9);
        }
        EXPECT_EQ(x, hdid);
    }
}

TEST(ODEIntegrator, AdvancesAndReversesWithinTolerance) {
    valuearray y = Vector(1, 0);
    double h = 1.0;
    std::int32_t nok = 0, nbad = 0;
    ODEIntegrator(y, 2, h, 0.0, 5.0, 1e-8, 1e-6, nok, nbad, Decay);
    EXPECT_NEAR(y[1], std::exp(-5.0), 1e-8 * std::exp(-5.0) * 10);
    EXPECT_NEAR(y[2], std::sin(5.0), 1e-7);
    EXPECT_GT(nok + nbad, 10);

    h = 1.0;
    ODEIntegrator(y, 2, h, 5.0, 0.0, 1e-8, 1e-6, nok, nbad, Decay);
    EXPECT_NEAR(y[1], 1.0, 1e-7);
    EXPECT_NEAR(y[2], 0.0, 2e-7);
    EXPECT_LT(h, 0.0);
}

TEST(ODEIntegrator, StateAtZeroIsMeasuredAgainstEps) {
    // y' = t^4 from y = 0: the scale of the first step is Eps (no derivative
    // at t = 0), so ErrMax = 60.75 / Eps / Eps. Eps 8 keeps the step, 7.7 not.
    for (double eps : {8.0, 7.7}) {
        valuearray y = Vector(0);
        double h = 6.0;
        std::int32_t nok = -1, nbad = -1;
        ODEIntegrator(y, 1, h, 0.0, 6.0, eps, 1e-6, nok, nbad, Quartic);
        const bool kept = 60.75 / eps / eps <= 1.0;
        EXPECT_EQ(nbad == 0, kept) << eps;
        if (kept) {
            EXPECT_EQ(nok, 1);
            EXPECT_EQ(h, 0.9 * 6.0 * std::exp(-0.2 * std::log(60.75 / eps / eps)));
        }
    }
}

TEST(ODEIntegrator, LastStepLandsOnX2AndHandsOnAUsableStep) {
    IntegratorStats stats;
    std::int32_t nok = 0, nbad = 0;
    // A first step beyond X2 is clipped to it: one step, one right-hand side
    // for the scale and ten for the step. The suggestion of the clipped step
    // (4 * 0.5) is smaller than the step it replaced, which is handed back.
    valuearray y = Vector(1);
    double h = 10.0;
    ODEIntegrator(y, 1, h, 0.0, 0.5, 1e-8, 1e-6, nok, nbad, Constant, &stats);
    EXPECT_DOUBLE_EQ(y[1], 1.5);
    EXPECT_EQ(nok, 1);
    EXPECT_EQ(nbad, 0);
    EXPECT_EQ(stats.Evaluations, 11);
    EXPECT_EQ(h, 10.0);
    h = 1.5;  // now the suggestion is the larger
    ODEIntegrator(y, 1, h, 0.0, 0.5, 1e-8, 1e-6, nok, nbad, Constant);
    EXPECT_EQ(h, 2.0);

    // Steps 0.2 and 0.8 leave a landing step of about 1e-9, whose own
    // suggestion (4e-9) would be below HMin for the following intervals.
    y = Vector(0);
    h = 0.2;
    double t = 1.0 + 1e-9;
    ODEIntegrator(y, 1, h, 0.0, t, 1e-8, 1e-6, nok, nbad, Constant);
    EXPECT_EQ(nok, 3);
    EXPECT_EQ(h, 3.2);
    for (int k = 0; k < 5; ++k, t += 1.0)
        EXPECT_NO_THROW(ODEIntegrator(y, 1, h, t, t + 1.0, 1e-8, 1e-6, nok, nbad, Constant)) << k;
    EXPECT_NEAR(y[1], 6.0 + 1e-9, 1e-12);

    // A suggested step of exactly HMin is still allowed: 0.25 grows to 1.
    h = 0.25;
    EXPECT_NO_THROW(ODEIntegrator(y, 1, h, 0, 10, 1e-8, 1.0, nok, nbad, Constant));
    h = 0.2;
    EXPECT_EQ(MessageOf<EStepTooSmall>([&] { ODEIntegrator(y, 1, h, 0, 10, 1e-8, 1.0, nok, nbad, Constant); }),
              "Step size too small in routine ODEIntegrator");

    h = 4e-9;  // starting from that suggestion instead fails
    EXPECT_EQ(MessageOf<EStepTooSmall>([&] { ODEIntegrator(y, 1, h, 0, 1, 1e-8, 1e-6, nok, nbad, Constant); }),
              "Step size too small in routine ODEIntegrator");
}

TEST(ODEIntegrator, DivisionByZeroInAnAttemptHalvesTheStep) {
    // Once, the first time t passes 0.3, the right-hand side divides by zero:
    // by throwing, or by leaving only the fault flag behind. The first attempt
    // [0, 1] fails after 3 evaluations; [0, 0.5] is kept (shrunk, NBad), then
    // [0.5, 1] at once (NOk): 1 + 3 + 10 + 1 + 10 evaluations.
    for (bool throws : {true, false}) {
        bool faulted = false;
        auto once = [&](const valuearray&, double t, valuearray& dydx) {
            dydx[1] = 1.0;
            if (t > 0.3 && !faulted) {
                faulted = true;
                if (throws) throw EZeroDivide();
                volatile double zero = 0.0;
                dydx[1] = 1.0 / zero;
            }
        };
        valuearray y = Vector(1);
        double h = 1.0;
        std::int32_t nok = 0, nbad = 0;
        IntegratorStats stats;
        ODEIntegrator(y, 1, h, 0.0, 1.0, 1e-8, 1e-6, nok, nbad, once, &stats);
        EXPECT_DOUBLE_EQ(y[1], 2.0) << throws;
        EXPECT_EQ(nok, 1) << throws;
        EXPECT_EQ(nbad, 1) << throws;
        EXPECT_EQ(stats.NBad, 1) << throws;
        EXPECT_EQ(stats.Evaluations, 25) << throws;
    }
}

// Integrates y = (1, 2) and returns the message of the failure E, which must
// leave the caller's vector and step as they were.
template <class E, class F>
std::string FailureOf(valuearray y, double h1, double x1, double x2, double hmin, const F& rhs) {
    const valuearray before = y;
    double h = h1;
    std::int32_t nok = 0, nbad = 0;
    const std::string message = MessageOf<E>([&] { ODEIntegrator(y, 2, h, x1, x2, 1e-8, hmin, nok, nbad, rhs); });
    EXPECT_EQ(std::memcmp(&y, &before, sizeof y), 0);
    EXPECT_EQ(h, h1);
    return message;
}

TEST(ODEIntegrator, FailuresLeaveTheCallersValues) {
    const valuearray y = Vector(1, 2);
    const std::string tooSmallInStep = "Step size too small in routine RKQualityControl";
    EXPECT_EQ(FailureOf<EStepTooSmall>(y, 0.5, 3.0, 3.0, 1e-6, Decay), tooSmallInStep);  // X1 = X2
    EXPECT_EQ(FailureOf<EStepTooSmall>(y, 0.0, 0.0, 1.0, 1e-6, Decay), tooSmallInStep);  // H1 = 0
    EXPECT_EQ(FailureOf<EStepTooSmall>(y, 1.0, 0.0, 10.0, 100.0, Decay), "Step size too small in routine ODEIntegrator");
    // y' = cos t to 1e-8 needs steps of a few hundredths: far more than 10000 for 2000 days.
    EXPECT_EQ(FailureOf<ETooManySteps>(y, 0.5, 0.0, 2000.0, 0.0, Decay), "Too many steps in routine ODEIntegrator");

    // Faults other than division by zero pass through unchanged.
    const auto faultAfter = [](double t0, auto fault) {
        return [t0, fault](const valuearray& y, double t, valuearray& dydx) {
            Decay(y, t, dydx);
            if (t > t0) throw fault;
        };
    };
    EXPECT_EQ(FailureOf<EInvalidOp>(y, 1.0, 0.0, 1.0, 1e-6, faultAfter(0.1, EInvalidOp())),
              "Invalid floating point operation");
    EXPECT_EQ(FailureOf<EOverflow>(y, 1.0, 0.0, 1.0, 1e-6, faultAfter(0.1, EOverflow())), "Floating point overflow");
    // The integrator's own arithmetic: a trial state beyond the largest double,
    // with a right-hand side that, like the equations, starts from clear flags.
    const auto huge = [](const valuearray&, double t, valuearray& dydx) {
        ClearFloatingPointFaults();
        dydx[1] = dydx[2] = t > 0.0 ? 1e308 : 0.0;
    };
    EXPECT_EQ(FailureOf<EOverflow>(y, 10.0, 0.0, 10.0, 1e-6, huge), "Floating point overflow");
    // A NaN state would pass every comparison; it is reported, not integrated.
    EXPECT_EQ(FailureOf<EInvalidOp>(Vector(std::nan(""), 2), 1.0, 0.0, 1.0, 1e-6, Decay),
              "Invalid floating point operation");

    // Every attempt dividing by zero halves the step until it no longer moves
    // X, rather than for ever.
    int calls = 0;
    const auto always = [&calls](const valuearray& y, double t, valuearray& dydx) {
        Decay(y, t, dydx);
        if (calls++ > 0) throw EZeroDivide();
    };
    EXPECT_EQ(FailureOf<EStepTooSmall>(y, 1.0, 0.0, 1.0, 1e-6, always), tooSmallInStep);
    EXPECT_GT(calls, 1000);

    double h = 1.0;
    std::int32_t nok = 0, nbad = 0;
    valuearray v = y;
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { ODEIntegrator(v, 57, h, 0, 1, 1e-8, 1e-6, nok, nbad, Decay); }),
              "Number of equations 57 is outside 0..56");
}

}  // namespace
