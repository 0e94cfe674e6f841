// Arithmetic helpers of the model equations.
#pragma once

#include <cfenv>
#include <cmath>
#include <numbers>

inline constexpr double Pi = std::numbers::pi;

// The smaller of a and b; b when they are equal.
inline double Min(double a, double b) noexcept { return a < b ? a : b; }

inline constexpr long long RepeatedProductLimit = 1 << 16;

// b multiplied n times (n >= 1) in the precision of T.
template <class T>
T RepeatedProduct(T b, long long n) {
    T result = 1;
    if (n <= RepeatedProductLimit) {
        for (long long i = 0; i < n; ++i) result *= b;
    } else {
        // Beyond any exponent a model uses: binary powering keeps a hostile
        // parameter from costing billions of multiplications.
        T factor = b;
        while (n > 0) {
            if (n & 1) result *= factor;
            n >>= 1;
            if (n > 0) factor *= factor;
        }
    }
    return result;
}

// A whole number of magnitude at most 2147483647. The magnitude is compared
// quietly, so a NaN exponent raises no flag here.
inline bool SmallWholeNumber(double e) {
    if (!std::isless(std::fabs(e), 2147483648.0)) return false;
    return static_cast<double>(static_cast<long long>(e)) == e;
}

// b raised to e: 1 for e = 0; 0 for b = 0 and e > 0; repeated multiplication
// for an integral e (so a negative base is allowed; the reciprocal for e < 0);
// otherwise exp(e * ln b), which faults for a negative b.
inline double Power(double b, double e) {
    if (e == 0.0) return 1.0;
    if (b == 0.0 && e > 0.0) return 0.0;
    if (SmallWholeNumber(e)) {
        const long long n = static_cast<long long>(std::fabs(e));
        if (e > 0.0) return RepeatedProduct(b, n);
        std::fexcept_t overflowBefore;
        std::fegetexceptflag(&overflowBefore, FE_OVERFLOW);
        const double product = RepeatedProduct(b, n);
        if (!std::isinf(product) || !std::isfinite(b)) return 1.0 / product;
        // |b|^n is too large for a double, so its reciprocal is too small for
        // one: that underflows (to a denormal or 0), which is no fault. Work it
        // out in the wider type and take back the overflow of the product.
        volatile long double wide = RepeatedProduct<long double>(b, n);
        std::fesetexceptflag(&overflowBefore, FE_OVERFLOW);
        return static_cast<double>(1.0L / wide);
    }
    return std::exp(e * std::log(b));
}
