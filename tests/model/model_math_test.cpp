// The arithmetic helpers of the model equations: Power's rules for zero,
// negative bases and integral exponents, its faults, and Min's choice on ties.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>

#include "core/fpfaults.h"
#include "model/model_math.h"

namespace {

// The message of the fault an expression leaves pending, or "" for none.
// The result is stored, so the arithmetic behind it cannot be dropped.
template <class F>
std::string FaultOf(F f) {
    ClearFloatingPointFaults();
    volatile double result = f();
    (void)result;
    try {
        CheckFloatingPointFaults();
    } catch (const EMathError& e) {
        return e.what();
    }
    return "";
}

TEST(ModelMath, PowerOfZeroNegativeBasesAndIntegralExponents) {
    EXPECT_EQ(Power(0, 0), 1.0);
    EXPECT_EQ(Power(-5, 0), 1.0);
    EXPECT_EQ(Power(0, 0.3), 0.0);
    EXPECT_EQ(Power(0, 7), 0.0);
    // Integral exponents multiply, so a negative base is fine.
    EXPECT_EQ(Power(-2, 3), -8.0);
    EXPECT_EQ(Power(-2, -2), 0.25);
    EXPECT_EQ(Power(-1, 2147483647.0), -1.0);
    EXPECT_EQ(Power(1.5, 4), 1.5 * 1.5 * 1.5 * 1.5);
    EXPECT_EQ(Power(0.1, -1), 1 / 0.1);
    EXPECT_NEAR(Power(9, 0.5), 3.0, 1e-15);
    EXPECT_NEAR(Power(2, 1e-3), 1.000693387462581, 1e-15);
    // Exponents a model never uses still finish at once.
    EXPECT_NEAR(Power(1 + 1e-9, 1e9), std::exp(1.0), 1e-6);
    EXPECT_EQ(Power(-1, 2147483646.0), 1.0);
}

TEST(ModelMath, PowerFaults) {
    EXPECT_EQ(FaultOf([] { return Power(-0.6, 1.5); }), "Invalid floating point operation");
    // Beyond 2147483647 an integral exponent goes through the logarithm too.
    EXPECT_EQ(FaultOf([] { return Power(-1, 2147483648.0); }), "Invalid floating point operation");
    EXPECT_EQ(FaultOf([] { return Power(0, -1); }), "Floating point division by zero");
    EXPECT_EQ(FaultOf([] { return Power(0, -0.5); }), "Floating point division by zero");
    EXPECT_EQ(FaultOf([] { return Power(1e200, 2); }), "Floating point overflow");
    EXPECT_EQ(FaultOf([] { return Power(10, 400.5); }), "Floating point overflow");
}

// A negative exponent of a huge base gives a quotient too small for a double:
// it underflows, which is no fault, although the product it divides by would
// overflow one.
TEST(ModelMath, PowerOfAHugeBaseWithANegativeExponentUnderflows) {
    double r = 1;
    EXPECT_EQ(FaultOf([&] { return r = Power(1e200, -2); }), "");
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(FaultOf([&] { return r = Power(-1e200, -3); }), "");
    EXPECT_EQ(r, 0.0);
    EXPECT_TRUE(std::signbit(r));
    EXPECT_EQ(FaultOf([&] { return r = Power(1e155, -2); }), "");
    if (std::numeric_limits<long double>::max_exponent > std::numeric_limits<double>::max_exponent) {
        EXPECT_NEAR(r, 1e-310, 1e-315);  // a denormal, where the wider type can hold 1e310
    }
    EXPECT_EQ(FaultOf([&] { return r = Power(1e300, -1000000); }), "");
    EXPECT_EQ(r, 0.0);

    // An overflow raised earlier in the same formula is kept.
    ClearFloatingPointFaults();
    volatile double big = 1e300;
    volatile double inf = big * big;
    (void)inf;
    volatile double tiny = Power(1e200, -2);
    (void)tiny;
    EXPECT_NE(std::fetestexcept(FE_OVERFLOW), 0);
    ClearFloatingPointFaults();
}

TEST(ModelMath, MinTakesTheSecondOnATie) {
    EXPECT_EQ(Min(1, 2), 1.0);
    EXPECT_EQ(Min(2, 1), 1.0);
    EXPECT_EQ(Min(-3, -3), -3.0);
    // +0 and -0 are equal: the second one is returned.
    EXPECT_TRUE(std::signbit(Min(0.0, -0.0)));
    EXPECT_FALSE(std::signbit(Min(-0.0, 0.0)));
}

}  // namespace
