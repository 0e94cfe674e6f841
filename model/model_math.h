// Arithmetic helpers of the model equations.
#pragma once

#include <cmath>
#include <numbers>

inline constexpr double Pi = std::numbers::pi;

// The smaller of a and b; b when they are equal.
inline double Min(double a, double b) noexcept { return a < b ? a : b; }

inline constexpr long long RepeatedProductLimit = 1 << 16;

// b raised to e: 1 for e = 0; 0 for b = 0 and e > 0; repeated multiplication
// for an integral e (so a negative base is allowed; the reciprocal for e < 0);
// otherwise exp(e * ln b), which faults for a negative b.
inline double Power(double b, double e) {
    if (e == 0.0) return 1.0;
    if (b == 0.0 && e > 0.0) return 0.0;
    if (e == std::trunc(e) && std::fabs(e) <= 2147483647.0) {
        long long n = static_cast<long long>(std::fabs(e));
        double result = 1.0;
        if (n <= RepeatedProductLimit) {
            for (long long i = 0; i < n; ++i) result *= b;
        } else {
            // Beyond any exponent a model uses: binary powering keeps a
            // hostile parameter from costing billions of multiplications.
            double factor = b;
            while (n > 0) {
                if (n & 1) result *= factor;
                n >>= 1;
                if (n > 0) factor *= factor;
            }
        }
        return e < 0.0 ? 1.0 / result : result;
    }
    return std::exp(e * std::log(b));
}
