#include "sensitivity/analysis.h"

#include <algorithm>
#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>
#include <random>

namespace sensitivity {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double Mean(const std::vector<double>& v) {
    double s = 0;
    for (const double x : v) s += x;
    return v.empty() ? NaN : s / static_cast<double>(v.size());
}

double SampleSd(const std::vector<double>& v) {
    if (v.size() < 2) return NaN;
    const double m = Mean(v);
    double s = 0;
    for (const double x : v) s += (x - m) * (x - m);
    return std::sqrt(s / static_cast<double>(v.size() - 1));
}

// The 2.5 % and 97.5 % points of `values` (sorted in place).
std::pair<double, double> Interval(std::vector<double>& values) {
    values.erase(std::remove_if(values.begin(), values.end(), [](double x) { return !std::isfinite(x); }),
                 values.end());
    if (values.empty()) return {NaN, NaN};
    std::sort(values.begin(), values.end());
    const auto at = [&values](double q) {
        const double pos = q * static_cast<double>(values.size() - 1);
        const auto i = static_cast<std::size_t>(pos);
        const double f = pos - static_cast<double>(i);
        return i + 1 < values.size() ? values[i] * (1 - f) + values[i + 1] * f : values[i];
    };
    return {at(0.025), at(0.975)};
}

// Runs `statistic` on `bootstrap` resamples (with replacement) of `n` units.
template <class Statistic>
std::pair<double, double> Bootstrap(std::size_t n, int bootstrap, std::mt19937_64& random, Statistic statistic) {
    if (n < 2) return {NaN, NaN};
    std::uniform_int_distribution<std::size_t> pick(0, n - 1);
    std::vector<double> values;
    std::vector<std::size_t> sample(n);
    for (int b = 0; b < bootstrap; ++b) {
        for (auto& s : sample) s = pick(random);
        values.push_back(statistic(sample));
    }
    return Interval(values);
}

std::vector<std::size_t> AllOf(std::size_t n) {
    std::vector<std::size_t> all(n);
    for (std::size_t i = 0; i < n; ++i) all[i] = i;
    return all;
}

// Members by group, in design order.
std::map<int, std::vector<const Member*>> Groups(const Design& design) {
    std::map<int, std::vector<const Member*>> groups;
    for (const Member& m : design.Members) groups[m.Group].push_back(&m);
    return groups;
}

std::size_t FactorOf(const Design& design, const std::string& role, std::size_t prefix) {
    const std::string symbol = role.substr(prefix);
    for (std::size_t i = 0; i < design.Factors.size(); ++i)
        if (design.Factors[i].Symbol == symbol) return i;
    return design.Factors.size();
}

void AnalyseOat(const Design& design, const std::map<std::string, double>& y, Analysis& out) {
    const Member* base = nullptr;
    for (const Member& m : design.Members)
        if (m.Role == "base") base = &m;
    const auto result = [&y](const Member* m, double& value) {
        const auto it = y.find(m->Id);
        if (it == y.end()) return false;
        value = it->second;
        return true;
    };
    double y0 = 0;
    const bool haveBase = base && result(base, y0);
    for (const auto& [group, members] : Groups(design)) {
        if (group == 0) continue;
        const Member *minus = nullptr, *plus = nullptr;
        for (const Member* m : members) (m->Role.rfind("minus:", 0) == 0 ? minus : plus) = m;
        double yMinus = 0, yPlus = 0;
        if (!minus || !plus || !haveBase || !result(minus, yMinus) || !result(plus, yPlus)) {
            for (const Member* m : members) out.LeftOut.push_back(m->Id);
            continue;
        }
        const std::size_t i = FactorOf(design, plus->Role, 5);
        if (i == design.Factors.size()) continue;
        const double derivative = (yPlus - yMinus) / (plus->Values[i] - minus->Values[i]);
        const std::string& symbol = design.Factors[i].Symbol;
        out.Indices.push_back({symbol, "derivative", derivative, NaN, NaN});
        out.Indices.push_back({symbol, "elasticity", derivative * base->Values[i] / y0, NaN, NaN});
    }
    if (!haveBase && base) out.LeftOut.insert(out.LeftOut.begin(), base->Id);
}

void AnalyseMorris(const Design& design, const std::map<std::string, double>& y, Analysis& out, int bootstrap,
                   std::mt19937_64& random) {
    const std::size_t k = design.Factors.size();
    std::vector<std::vector<double>> effects(k);
    for (const auto& [group, members] : Groups(design)) {
        const Member* previous = nullptr;
        double yPrevious = 0;
        for (const Member* m : members) {
            const auto it = y.find(m->Id);
            if (it == y.end()) {
                out.LeftOut.push_back(m->Id);
                previous = nullptr;  // neither effect this member takes part in can be had
                continue;
            }
            if (previous && m->Role.rfind("step:", 0) == 0) {
                const std::size_t i = FactorOf(design, m->Role, 5);
                if (i < k) effects[i].push_back((it->second - yPrevious) / (m->Values[i] - previous->Values[i]));
            }
            previous = m;
            yPrevious = it->second;
        }
    }
    for (std::size_t i = 0; i < k; ++i) {
        const std::vector<double>& e = effects[i];
        std::vector<double> absolute;
        for (const double x : e) absolute.push_back(std::fabs(x));
        const double muStar = Mean(absolute);
        const auto [low, high] = Bootstrap(e.size(), bootstrap, random, [&absolute](const auto& sample) {
            double s = 0;
            for (const std::size_t j : sample) s += absolute[j];
            return s / static_cast<double>(sample.size());
        });
        const Factor& f = design.Factors[i];
        out.Indices.push_back({f.Symbol, "mu", Mean(e), NaN, NaN});
        out.Indices.push_back({f.Symbol, "mustar", muStar, low, high});
        out.Indices.push_back({f.Symbol, "sigma", SampleSd(e), NaN, NaN});
        out.Indices.push_back({f.Symbol, "mustar_range", muStar * (f.High - f.Low), low * (f.High - f.Low),
                               high * (f.High - f.Low)});
    }
}

// The mean of `estimates` with the 95 % interval of Student's t over them.
Index MeanWithInterval(const std::string& factor, const std::string& measure, const std::vector<double>& estimates) {
    const double mean = Mean(estimates);
    if (estimates.size() < 2) return {factor, measure, mean, NaN, NaN};
    const boost::math::students_t t(static_cast<double>(estimates.size() - 1));
    const double half = boost::math::quantile(boost::math::complement(t, 0.025)) * SampleSd(estimates) /
                        std::sqrt(static_cast<double>(estimates.size()));
    return {factor, measure, mean, mean - half, mean + half};
}

// The results of a Sobol design's complete blocks, with each block's replicate.
struct SobolBlocks {
    std::vector<double> yA, yB;
    std::vector<std::vector<double>> yAB;  // per factor, per block
    std::vector<int> replicate;
};

SobolBlocks CompleteBlocks(const Design& design, const std::map<std::string, double>& y, Analysis& out) {
    const std::size_t k = design.Factors.size();
    SobolBlocks blocks;
    blocks.yAB.resize(k);
    const int perReplicate = BlocksPerReplicate(design);
    for (const auto& [group, members] : Groups(design)) {
        double a = NaN, b = NaN;
        std::vector<double> ab(k, NaN);
        bool complete = true;
        for (const Member* m : members) {
            const auto it = y.find(m->Id);
            if (it == y.end()) {
                complete = false;
                break;
            }
            if (m->Role == "A") a = it->second;
            else if (m->Role == "B") b = it->second;
            else if (m->Role.rfind("AB:", 0) == 0) {
                const std::size_t i = FactorOf(design, m->Role, 3);
                if (i < k) ab[i] = it->second;
            }
        }
        complete = complete && !std::isnan(a) && !std::isnan(b) &&
                   std::none_of(ab.begin(), ab.end(), [](double v) { return std::isnan(v); });
        if (!complete) {
            for (const Member* m : members) out.LeftOut.push_back(m->Id);
            continue;
        }
        blocks.yA.push_back(a);
        blocks.yB.push_back(b);
        for (std::size_t i = 0; i < k; ++i) blocks.yAB[i].push_back(ab[i]);
        blocks.replicate.push_back(ReplicateOf(design, group, perReplicate));
    }
    return blocks;
}

void AnalyseSobol(const Design& design, const std::map<std::string, double>& y, Analysis& out, int bootstrap,
                  std::mt19937_64& random) {
    const std::size_t k = design.Factors.size();
    const SobolBlocks blocks = CompleteBlocks(design, y, out);
    const auto& yA = blocks.yA;
    const auto& yB = blocks.yB;
    const auto& yAB = blocks.yAB;
    // First order after Saltelli (2010), total order after Jansen (1999),
    // both over the variance of all A and B results.
    const auto indices = [&](const std::vector<std::size_t>& sample, std::size_t i, bool total) {
        const double n = static_cast<double>(sample.size());
        double mean = 0, s = 0;
        for (const std::size_t j : sample) mean += yA[j] + yB[j];
        mean /= 2 * n;
        double variance = 0;
        for (const std::size_t j : sample) {
            variance += (yA[j] - mean) * (yA[j] - mean) + (yB[j] - mean) * (yB[j] - mean);
            s += total ? (yA[j] - yAB[i][j]) * (yA[j] - yAB[i][j]) / 2 : yB[j] * (yAB[i][j] - yA[j]);
        }
        variance /= 2 * n;
        return (s / n) / variance;
    };
    // Quasi-random points are not independent draws: resampling them
    // overstates the error many times over, so their intervals come only
    // from independent replicates.
    if (design.Replicates > 1) {
        std::vector<std::vector<std::size_t>> replicates(static_cast<std::size_t>(design.Replicates));
        for (std::size_t j = 0; j < yA.size(); ++j)
            replicates[static_cast<std::size_t>(blocks.replicate[j] - 1)].push_back(j);
        std::size_t usable = 0;
        for (const auto& r : replicates) usable += r.size() >= 2;
        if (usable < 2) out.Notes.push_back("fewer than 2 replicates with 2 complete blocks: no 95 % intervals");
        for (std::size_t i = 0; i < k; ++i)
            for (const bool total : {false, true}) {
                std::vector<double> estimates;
                for (const auto& r : replicates)
                    if (r.size() >= 2) estimates.push_back(indices(r, i, total));
                out.Indices.push_back(MeanWithInterval(design.Factors[i].Symbol, total ? "total" : "first", estimates));
            }
        return;
    }
    if (!design.Random)
        out.Notes.push_back("one quasi-random replicate: no 95 % intervals (design with --replicates 2 or more)");
    const auto all = AllOf(yA.size());
    for (std::size_t i = 0; i < k; ++i) {
        for (const bool total : {false, true}) {
            std::pair<double, double> interval{NaN, NaN};
            if (design.Random)
                interval = Bootstrap(yA.size(), bootstrap, random,
                                     [&](const auto& sample) { return indices(sample, i, total); });
            out.Indices.push_back({design.Factors[i].Symbol, total ? "total" : "first",
                                   yA.empty() ? NaN : indices(all, i, total), interval.first, interval.second});
        }
    }
}

}  // namespace

Analysis Analyse(const Design& design, const std::map<std::string, double>& results, int bootstrap,
                 std::uint64_t seed) {
    Analysis out;
    std::mt19937_64 random(seed);
    switch (design.Kind) {
        case Method::Oat: AnalyseOat(design, results, out); break;
        case Method::Morris: AnalyseMorris(design, results, out, bootstrap, random); break;
        case Method::Sobol: AnalyseSobol(design, results, out, bootstrap, random); break;
    }
    return out;
}

}  // namespace sensitivity
