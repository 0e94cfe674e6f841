// Sensitivity indices from the results of a design's runs.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sensitivity/design.h"

namespace sensitivity {

// One index of one factor with its 95 % interval, NaN where there is none:
// Morris and plain random Sobol designs of one replicate take it from a
// bootstrap over trajectories or blocks; Sobol designs of several replicates
// from Student's t over the replicates' indices, the value being their mean.
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
    std::vector<std::string> Notes;    // why intervals are missing, and the like
};

// `results` holds the metric of every member that ran successfully, by member
// id; a member without an entry failed. For Sobol a failed member takes its
// whole block out; for Morris the elementary effects it takes part in.
Analysis Analyse(const Design& design, const std::map<std::string, double>& results, int bootstrap = 1000,
                 std::uint64_t seed = 1);

}  // namespace sensitivity
