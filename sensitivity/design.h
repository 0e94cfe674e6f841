// Designs of many runs for sensitivity analysis: which parameter values each
// member of an ensemble runs with, for one-at-a-time differences, Morris
// elementary effects and Sobol variance indices.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
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
    // Sobol: independent replicates of equal numbers of blocks, blocks
    // 1..n the first, n+1..2n the second and so on; and whether the points
    // are plain pseudo-random rather than quasi-random.
    int Replicates = 1;
    bool Random = false;
    // What the user should know about how the design was made.
    std::vector<std::string> Notes;
};

// The replicate (1..Replicates) a Sobol block belongs to; the blocks of a
// replicate are counted when not given.
int BlocksPerReplicate(const Design& design);
int ReplicateOf(const Design& design, int group, int blocksPerReplicate = 0);

// Central differences: a base run at the centres, then for each factor one
// run at centre × (1 − delta) and one at centre × (1 + delta). A factor
// whose centre is 0 steps by delta × its range's width instead (a note says
// so). Refuses a delta that is not above 0 and below 1.
Design OatDesign(std::vector<Factor> factors, double delta);
// `trajectories` Morris trajectories on a grid of `levels` levels (even, ≥ 2)
// with the step levels / (2 (levels − 1)); each trajectory moves every factor
// once, in random order and direction. Refuses other levels and fewer than
// one trajectory.
Design MorrisDesign(std::vector<Factor> factors, int trajectories, int levels, std::uint64_t seed);
// Saltelli's scheme: `replicates` × `samples` blocks of k + 2 runs (A, B and
// A with column i of B). Each replicate takes the first `samples` points of
// a 2k-dimensional Sobol sequence under a digital shift of its own drawn
// from `seed`, so that the replicates' indices are independent; `random`
// takes plain pseudo-random points instead. Refuses counts below 1.
Design SobolDesign(std::vector<Factor> factors, int samples, std::uint64_t seed, int replicates = 1,
                   bool random = false);

// The design command's choices, as given; unset ones take their defaults.
struct DesignChoices {
    Method Kind = Method::Sobol;
    std::optional<int> Samples;     // Morris trajectories (20), Sobol blocks a replicate (512 / replicates)
    std::optional<int> Replicates;  // Sobol only (8; 1 with Random)
    bool Random = false;            // Sobol only
    int Levels = 4;
    double Delta = 0.01;
    std::uint64_t Seed = 1;
};
Design MakeDesign(std::vector<Factor> factors, const DesignChoices& choices);

// The first `count` points of the unshifted 2k-dimensional Sobol sequence
// the designs use, each coordinate in [0, 1).
std::vector<std::vector<double>> SobolPoints(std::size_t dimensions, std::size_t count);

// The design as CSV: comment lines "# method M", for Sobol "# replicates R"
// and "# sampling quasi|random", "# factor SYM LOW HIGH [log]", then a header "member,group,role,SYM..." and one row per member.
void WriteDesign(const Design& design, std::ostream& out);
// Reads what WriteDesign wrote; refuses anything else with the file, line and
// field named. `fileName` only names the file in messages.
Design ReadDesign(std::istream& in, const std::string& fileName);

}  // namespace sensitivity
