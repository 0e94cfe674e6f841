#include "fit/fit_statistics.h"

#include <cmath>
#include <limits>

namespace fit {

std::vector<SeriesFit> SeriesFits(const Observations& observations, const RunOutcome& outcome) {
    std::vector<SeriesFit> fits;
    for (std::size_t k = 0; k < observations.Series.size(); ++k) {
        const std::vector<double>& obs = observations.Series[k].Values;
        SeriesFit f;
        f.Points = obs.size();
        double mean = 0.0, squares = 0.0, total = 0.0;
        for (std::size_t i = 0; i < obs.size(); ++i) {
            const double d = outcome.Simulated[k][i] - obs[i];
            f.Bias += d;
            squares += d * d;
            mean += obs[i];
        }
        if (obs.empty()) {
            f.Rmse = f.Bias = f.R2 = std::numeric_limits<double>::quiet_NaN();
        } else {
            const double n = static_cast<double>(obs.size());
            mean /= n;
            for (const double o : obs) total += (o - mean) * (o - mean);
            f.Bias /= n;
            f.Rmse = std::sqrt(squares / n);
            f.R2 = total > 0.0 ? 1.0 - squares / total : std::numeric_limits<double>::quiet_NaN();
        }
        fits.push_back(f);
    }
    return fits;
}

namespace {

// Inverts the symmetric matrix `a` in place by Gauss-Jordan elimination with
// full pivoting over the diagonal; false when a pivot falls below `tiny`.
bool Invert(std::vector<std::vector<double>>& a, double tiny) {
    const std::size_t n = a.size();
    std::vector<std::vector<double>> inv(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1.0;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (!(std::fabs(a[pivot][c]) > tiny)) return false;
        std::swap(a[c], a[pivot]);
        std::swap(inv[c], inv[pivot]);
        const double d = a[c][c];
        for (std::size_t j = 0; j < n; ++j) a[c][j] /= d, inv[c][j] /= d;
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c || a[r][c] == 0.0) continue;
            const double f = a[r][c];
            for (std::size_t j = 0; j < n; ++j) a[r][j] -= f * a[c][j], inv[r][j] -= f * inv[c][j];
        }
    }
    a = std::move(inv);
    return true;
}

}  // namespace

Uncertainty UncertaintyOf(const std::vector<std::vector<double>>& jacobian, double objective,
                          const std::vector<double>& spans) {
    const std::size_t m = jacobian.size(), p = jacobian.empty() ? 0 : jacobian[0].size();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    Uncertainty u;
    u.Available = true;
    u.Identifiable.assign(p, false);
    u.NoEffect.assign(p, false);
    u.StandardError.assign(p, inf);
    u.Correlation.assign(p, std::vector<double>(p, nan));
    u.ResidualVariance = m > p ? objective / static_cast<double>(m - p) : 1.0;
    // Columns scaled to unit length, so that the test for dependence does not
    // depend on the parameters' units.
    std::vector<double> norm(p, 0.0);
    for (std::size_t j = 0; j < p; ++j) {
        for (std::size_t i = 0; i < m; ++i) norm[j] += jacobian[i][j] * jacobian[i][j];
        norm[j] = std::sqrt(norm[j]);
    }
    std::vector<std::size_t> kept;
    for (std::size_t j = 0; j < p; ++j) {
        const double effect = m > 0 && j < spans.size() ? norm[j] * spans[j] / std::sqrt(static_cast<double>(m)) : 0.0;
        u.NoEffect[j] = !(effect >= NegligibleEffect);
        if (!u.NoEffect[j] && std::isfinite(norm[j])) kept.push_back(j);
    }
    // Drops, one at a time, the parameter whose column the others explain
    // best, until the scaled normal matrix can be inverted.
    for (;;) {
        const std::size_t q = kept.size();
        std::vector<std::vector<double>> a(q, std::vector<double>(q, 0.0));
        for (std::size_t x = 0; x < q; ++x)
            for (std::size_t y = 0; y < q; ++y)
                for (std::size_t i = 0; i < m; ++i)
                    a[x][y] += jacobian[i][kept[x]] / norm[kept[x]] * jacobian[i][kept[y]] / norm[kept[y]];
        std::vector<std::vector<double>> inv = a;
        if (q == 0) break;
        if (Invert(inv, 1e-10)) {
            // A condition beyond 1e10: the last parameters are not told apart.
            double largest = 0.0;
            std::size_t worst = 0;
            for (std::size_t x = 0; x < q; ++x)
                if (inv[x][x] > largest) largest = inv[x][x], worst = x;
            if (largest < 1e10) {
                for (std::size_t x = 0; x < q; ++x) {
                    const std::size_t jx = kept[x];
                    u.Identifiable[jx] = true;
                    u.StandardError[jx] = std::sqrt(u.ResidualVariance * inv[x][x]) / norm[jx];
                    for (std::size_t y = 0; y < q; ++y)
                        u.Correlation[jx][kept[y]] = inv[x][y] / std::sqrt(inv[x][x] * inv[y][y]);
                }
                break;
            }
            kept.erase(kept.begin() + static_cast<long>(worst));
            continue;
        }
        // Singular: the last parameter left is dropped and the rest tried again.
        kept.pop_back();
    }
    return u;
}

bool ResidualJacobian(ModelEvaluator& evaluator, const std::vector<double>& values, double relativeStep,
                      std::vector<std::vector<double>>& jacobian) {
    const std::size_t p = values.size();
    jacobian.clear();
    for (std::size_t j = 0; j < p; ++j) {
        const FitParameter& par = evaluator.Parameters()[j];
        const double h = relativeStep * (par.High - par.Low);
        std::vector<double> up = values, down = values;
        up[j] = std::min(values[j] + h, par.High);
        down[j] = std::max(values[j] - h, par.Low);
        const RunOutcome a = evaluator.Run(up);
        if (!a.Ok) return false;
        const RunOutcome b = evaluator.Run(down);
        if (!b.Ok) return false;
        const std::vector<double> ra = Residuals(evaluator.Observed(), a), rb = Residuals(evaluator.Observed(), b);
        if (jacobian.empty()) jacobian.assign(ra.size(), std::vector<double>(p, 0.0));
        for (std::size_t i = 0; i < ra.size(); ++i) jacobian[i][j] = (ra[i] - rb[i]) / (up[j] - down[j]);
    }
    return true;
}

}  // namespace fit
