// Designs of many runs for sensitivity analysis: which parameter values each
// member of an ensemble runs with, for one-at-a-time differences, Morris
// elementary effects and Sobol variance indices.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace sensitivity {

// A refused input: the message names the file, line and field.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Method { Oat, Morris, Sobol };
const char* MethodName(Method method);

// A parameter that varies, over [Low, High]; uniformly, or uniformly in its
// logarithm.
struct Factor {
    std::string Symbol;
    double Low = 0.0;
    double High = 0.0;
    bool Log = false;
};

// The value at the share u (0..1) of a factor's range.
double ValueAt(const Factor& factor, double u);
// The centre of a factor's range: the midpoint, or the geometric mean.
double Centre(const Factor& factor);

// One run of the ensemble. `Group` ties members analysed together (a Morris
// trajectory, a Sobol block); `Role` says what the member is within it:
// "base", "minus:SYM" and "plus:SYM" for one-at-a-time, "start" and
// "step:SYM" for Morris, "A", "B" and "AB:SYM" for Sobol.
struct Member {
    std::string Id;
    int Group = 0;
    std::string Role;
    std::vector<double> Values;  // one per factor, in the design's order
};

struct Design {
    Method Kind = Method::Oat;
    std::vector<Factor> Factors;
    std::vector<Member> Members;
};

// Central differences: a base run at the centres, then for each factor one
// run at centre × (1 − delta) and one at centre × (1 + delta).
Design OatDesign(std::vector<Factor> factors, double delta);
// `trajectories` Morris trajectories on a grid of `levels` levels (even, ≥ 2)
// with the step levels / (2 (levels − 1)); each trajectory moves every factor
// once, in random order and direction.
Design MorrisDesign(std::vector<Factor> factors, int trajectories, int levels, std::uint64_t seed);
// Saltelli's scheme: `samples` blocks of k + 2 runs (A, B and A with column i
// of B) from a 2k-dimensional Sobol sequence, randomised by a digital shift
// drawn from `seed`.
Design SobolDesign(std::vector<Factor> factors, int samples, std::uint64_t seed);

// The design as CSV: comment lines "# method M" and "# factor SYM LOW HIGH
// [log]", then a header "member,group,role,SYM..." and one row per member.
void WriteDesign(const Design& design, std::ostream& out);
// Reads what WriteDesign wrote; refuses anything else with the file, line and
// field named. `fileName` only names the file in messages.
Design ReadDesign(std::istream& in, const std::string& fileName);

}  // namespace sensitivity
