// Sensitivity indices from the results of a design's runs.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sensitivity/design.h"

namespace sensitivity {

// One index of one factor. The interval is a bootstrap 95 % interval where
// the method gives one, NaN otherwise.
struct Index {
    std::string Factor;
    std::string Measure;  // "elasticity", "derivative"; "mu", "mustar", "sigma", "mustar_range"; "first", "total"
    double Value = 0.0;
    double Low95;
    double High95;
};

struct Analysis {
    std::vector<Index> Indices;
    std::vector<std::string> LeftOut;  // members without a result, and members only usable with them
};

// `results` holds the metric of every member that ran successfully, by member
// id; a member without an entry failed. For Sobol a failed member takes its
// whole block out; for Morris the elementary effects it takes part in.
Analysis Analyse(const Design& design, const std::map<std::string, double>& results, int bootstrap = 1000,
                 std::uint64_t seed = 1);

}  // namespace sensitivity
