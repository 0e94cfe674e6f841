// Designs and sensitivity indices on functions whose answers are known.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "sensitivity/analysis.h"
#include "sensitivity/design.h"
#include "sensitivity/ranges.h"
#include "model/equations.h"
#include "sensitivity_support.h"

using namespace sensitivity;
using sensitivity_test::RunAll;

namespace {

double Find(const Analysis& a, const std::string& factor, const std::string& measure, double Index::*field = &Index::Value) {
    for (const Index& i : a.Indices)
        if (i.Factor == factor && i.Measure == measure) return i.*field;
    ADD_FAILURE() << "no " << measure << " of " << factor;
    return NAN;
}

std::vector<Factor> Three(double low, double high) { return {{"a", low, high}, {"b", low, high}, {"c", low, high}}; }

}  // namespace

TEST(SensitivityIndices, LinearFunctionGivesItsCoefficients) {
    const auto linear = [](const std::vector<double>& x) { return 3 + 2 * x[0] - 5 * x[1] + 0.5 * x[2]; };
    const std::vector<Factor> factors{{"a", 1, 3}, {"b", 10, 20}, {"c", 0.1, 100, true}};
    const Design oat = OatDesign(factors, 0.01);
    EXPECT_EQ(oat.Members.size(), 7u);
    const Analysis o = Analyse(oat, RunAll(oat, linear));
    EXPECT_NEAR(Find(o, "a", "derivative"), 2, 1e-9);
    EXPECT_NEAR(Find(o, "b", "derivative"), -5, 1e-9);
    EXPECT_NEAR(Find(o, "c", "derivative"), 0.5, 1e-9);

    const Design morris = MorrisDesign(factors, 10, 4, 7);
    EXPECT_EQ(morris.Members.size(), 10u * 4u);
    const Analysis m = Analyse(morris, RunAll(morris, linear));
    EXPECT_NEAR(Find(m, "b", "mu"), -5, 1e-9);
    EXPECT_NEAR(Find(m, "b", "mustar"), 5, 1e-9);
    EXPECT_NEAR(Find(m, "a", "sigma"), 0, 1e-9);
    EXPECT_NEAR(Find(m, "c", "mu"), 0.5, 1e-9);
    // Ranked over its range, b's effect is the largest.
    EXPECT_NEAR(Find(m, "b", "mustar_range"), 50, 1e-7);
    // Every value stays inside its range.
    for (const Member& member : morris.Members)
        for (std::size_t i = 0; i < factors.size(); ++i) {
            EXPECT_GE(member.Values[i], factors[i].Low * (1 - 1e-12));
            EXPECT_LE(member.Values[i], factors[i].High * (1 + 1e-12));
        }
}

TEST(SensitivityIndices, PowerLawElasticityIsItsExponent) {
    const Design oat = OatDesign({{"p", 1, 5}, {"q", 2, 8}}, 0.001);
    const Analysis a = Analyse(oat, RunAll(oat, [](const auto& x) { return 4 * std::pow(x[0], 1.5) / std::sqrt(x[1]); }));
    EXPECT_NEAR(Find(a, "p", "elasticity"), 1.5, 1e-6);
    EXPECT_NEAR(Find(a, "q", "elasticity"), -0.5, 1e-6);
}

namespace {

constexpr double pi = std::numbers::pi;

double Ishigami(const std::vector<double>& x) {
    return std::sin(x[0]) + 7 * std::pow(std::sin(x[1]), 2) + 0.1 * std::pow(x[2], 4) * std::sin(x[0]);
}

const struct {
    const char* factor;
    const char* measure;
    double truth;
} IshigamiIndices[] = {{"a", "first", 0.3139}, {"b", "first", 0.4424}, {"c", "first", 0.0},
                       {"c", "total", 0.2437}, {"a", "total", 0.5576}, {"b", "total", 0.4424}};

}  // namespace

TEST(SensitivityIndices, IshigamiSobolIndicesLieInTheirIntervals) {
    const Design design = SobolDesign(Three(-pi, pi), 512, 11, 8);
    EXPECT_EQ(design.Members.size(), 8u * 512u * 5u);
    EXPECT_TRUE(design.Notes.empty());
    const Analysis a = Analyse(design, RunAll(design, Ishigami), 500, 3);
    EXPECT_TRUE(a.Notes.empty());
    for (const auto& k : IshigamiIndices) {
        SCOPED_TRACE(std::string(k.factor) + " " + k.measure);
        EXPECT_LE(Find(a, k.factor, k.measure, &Index::Low95), k.truth);
        EXPECT_GE(Find(a, k.factor, k.measure, &Index::High95), k.truth);
        EXPECT_NEAR(Find(a, k.factor, k.measure), k.truth, 0.02);
    }
}

// Intervals as wide as the error really is: over independent seeds, the
// intervals from replicates hold the true index about 95 % of the time and
// their half-width is about twice the spread of the estimates, where a
// bootstrap of quasi-random points makes them many times too wide.
TEST(SensitivityIndices, ReplicateIntervalsMatchTheRealError) {
    constexpr int seeds = 40;
    for (const auto& k : IshigamiIndices) {
        SCOPED_TRACE(std::string(k.factor) + " " + k.measure);
        int covered = 0;
        double squares = 0, halfWidths = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            const Design design = SobolDesign(Three(-pi, pi), 128, static_cast<std::uint64_t>(seed), 8);
            const Analysis a = Analyse(design, RunAll(design, Ishigami));
            const double value = Find(a, k.factor, k.measure), low = Find(a, k.factor, k.measure, &Index::Low95),
                         high = Find(a, k.factor, k.measure, &Index::High95);
            covered += low <= k.truth && k.truth <= high;
            squares += (value - k.truth) * (value - k.truth);
            halfWidths += (high - low) / 2;
        }
        const double rmse = std::sqrt(squares / seeds), halfWidth = halfWidths / seeds;
        EXPECT_GE(covered, 33);  // 95 % of 40 is 38; fewer than 34 happens by chance once in a thousand
        EXPECT_GT(halfWidth, 1.2 * rmse);
        EXPECT_LT(halfWidth, 4 * rmse);
    }
}

TEST(SensitivityIndices, IntervalsComeOnlyFromWhatCanGiveThem) {
    // One quasi-random replicate: the value, but no interval, and a note why.
    const Design one = SobolDesign(Three(-pi, pi), 256, 4);
    ASSERT_EQ(one.Notes.size(), 1u);
    EXPECT_EQ(
        one.Notes[0],
        "one quasi-random replicate: its indices will have no 95 % intervals (--replicates 2 or more gives them)");
    Analysis a = Analyse(one, RunAll(one, Ishigami));
    EXPECT_NEAR(Find(a, "b", "first"), 0.4424, 0.05);
    EXPECT_TRUE(std::isnan(Find(a, "b", "first", &Index::Low95)));
    EXPECT_EQ(a.Notes, std::vector<std::string>{
                           "one quasi-random replicate: no 95 % intervals (design with --replicates 2 or more)"});

    // Plain random points are independent: the bootstrap holds for them.
    const Design random = SobolDesign(Three(-pi, pi), 4096, 4, 1, true);
    EXPECT_TRUE(random.Notes.empty());
    a = Analyse(random, RunAll(random, Ishigami), 300, 2);
    EXPECT_TRUE(a.Notes.empty());
    EXPECT_LT(Find(a, "a", "total", &Index::Low95), 0.5576);
    EXPECT_GT(Find(a, "a", "total", &Index::High95), 0.5576);

    // Replicates whose blocks all failed are no replicates.
    const Design two = SobolDesign(Three(0, 1), 4, 4, 2);
    auto y = RunAll(two, [](const auto& x) { return x[0] + 2 * x[1]; });
    for (int m = 21; m <= 40; ++m) y.erase(std::to_string(m));
    a = Analyse(two, y);
    EXPECT_EQ(a.Notes, std::vector<std::string>{"fewer than 2 replicates with 2 complete blocks: no 95 % intervals"});
    EXPECT_TRUE(std::isfinite(Find(a, "b", "first")));
    EXPECT_TRUE(std::isnan(Find(a, "b", "first", &Index::High95)));
}

TEST(SensitivityDesign, SobolReplicatesShiftTheSequenceFromItsFirstPoint) {
    // The sequence's known beginning, first point included.
    const auto points = SobolPoints(3, 6);
    const std::vector<std::vector<double>> known{{0.5, 0.5, 0.5},       {0.75, 0.25, 0.25},    {0.25, 0.75, 0.75},
                                                 {0.375, 0.375, 0.625}, {0.875, 0.875, 0.125}, {0.625, 0.125, 0.875}};
    EXPECT_EQ(points, known);

    // Two replicates of 4 blocks: within a replicate the points are the
    // sequence under one shift, so two points XOR to what the unshifted
    // ones XOR to; the replicates' shifts differ.
    const Design d = SobolDesign({{"a", 0, 1}}, 4, 9, 2);
    ASSERT_EQ(d.Members.size(), 2u * 4u * 3u);
    const auto bits = [](double u) { return static_cast<std::uint64_t>(u * 4503599627370496.0); };  // its 52 bits
    const auto unshifted = SobolPoints(2, 4);
    for (int r = 0; r < 2; ++r)
        for (int b = 1; b < 4; ++b) {
            const Member& first = d.Members[static_cast<std::size_t>(r * 12)];
            const Member& other = d.Members[static_cast<std::size_t>(r * 12 + b * 3)];
            EXPECT_EQ(first.Role, "A");
            EXPECT_EQ(ReplicateOf(d, other.Group), r + 1);
            EXPECT_EQ(bits(first.Values[0]) ^ bits(other.Values[0]),
                      bits(unshifted[0][0]) ^ bits(unshifted[static_cast<std::size_t>(b)][0]));
        }
    EXPECT_NE(d.Members[0].Values, d.Members[12].Values);
}

TEST(SensitivityIndices, FailedMembersAreLeftOutWithWhatNeedsThem) {
    const Design sobol = SobolDesign(Three(0, 1), 64, 5);
    auto y = RunAll(sobol, [](const auto& x) { return x[0] + 2 * x[1]; });
    y.erase("7");  // a member of block 2
    Analysis a = Analyse(sobol, y, 50);
    EXPECT_EQ(a.LeftOut, (std::vector<std::string>{"6", "7", "8", "9", "10"}));
    EXPECT_TRUE(std::isfinite(Find(a, "a", "first")));

    const Design morris = MorrisDesign(Three(0, 1), 3, 4, 2);
    y = RunAll(morris, [](const auto& x) { return x[0] + 2 * x[1] + 3 * x[2]; });
    y.erase("2");  // the first step of trajectory 1: both effects it is part of are lost
    a = Analyse(morris, y, 50);
    EXPECT_EQ(a.LeftOut, std::vector<std::string>{"2"});
    EXPECT_NEAR(Find(a, "c", "mu"), 3, 1e-9);
}

TEST(SensitivityDesignFile, RoundTripAndRefusals) {
    const Design design = MorrisDesign({{"kA", 0.5, 2, true}, {"mF", -1, 1}}, 2, 4, 9);
    std::stringstream file;
    WriteDesign(design, file);
    const Design back = ReadDesign(file, "d.csv");
    ASSERT_EQ(back.Members.size(), design.Members.size());
    EXPECT_EQ(back.Factors[0].Log, true);
    EXPECT_EQ(back.Members[3].Role, design.Members[3].Role);
    for (std::size_t i = 0; i < design.Members.size(); ++i) EXPECT_EQ(back.Members[i].Values, design.Members[i].Values);

    const auto refused = [](const std::string& text) {
        std::istringstream in(text);
        try {
            ReadDesign(in, "d.csv");
        } catch (const InputError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    std::stringstream sobolFile;
    WriteDesign(SobolDesign({{"kA", 1, 2}}, 3, 1, 2, true), sobolFile);
    const Design sobol = ReadDesign(sobolFile, "s.csv");
    EXPECT_EQ(sobol.Replicates, 2);
    EXPECT_TRUE(sobol.Random);
    EXPECT_EQ(ReplicateOf(sobol, 4), 2);

    const std::string head = "# method oat\n# factor kA 1 2\nmember,group,role,kA\n";
    EXPECT_EQ(refused("member,group\n"), "d.csv: not a design file (no '# method' line)");
    EXPECT_EQ(refused("# method sobolx\n"), "d.csv line 1: unknown method 'sobolx'");
    EXPECT_EQ(refused("# method oat\n# factor kA 1 2\nmember,group,role,mF\n"),
              "d.csv line 3, column 4: 'mF' where the factor lines have 'kA'");
    EXPECT_EQ(refused(head + "1,0,base,1.5\n1,1,plus:kA,1.6\n"), "d.csv line 5, column 1: member '1' is also on line 4");
    EXPECT_EQ(refused(head + "1,0,base\n"), "d.csv line 4: 3 fields where the header has 4");
    EXPECT_EQ(refused(head + "1,0,base,nan\n"), "d.csv line 4, column 4 (kA): 'nan' is not a number");
    EXPECT_EQ(refused(head + "1,0.5,base,1\n"), "d.csv line 4, column 2: '0.5' is not a whole number");
    EXPECT_EQ(refused("# method sobol\n# replicates 0\n"),
              "d.csv line 2: a replicates line is '# replicates COUNT', COUNT 1 or more");
    EXPECT_EQ(refused("# method sobol\n# sampling lhs\n"),
              "d.csv line 2: the sampling is 'quasi' or 'random', not 'lhs'");
    EXPECT_EQ(
        refused("# method sobol\n# replicates 2\n# factor kA 1 2\nmember,group,role,kA\n1,1,A,1\n2,2,A,1\n3,3,A,1\n"),
        "d.csv: its 3 blocks do not split into 2 replicates of equal size");
}

TEST(SensitivityDesign, ChoicesThatGiveNoSoundDesignAreRefused) {
    const auto refused = [](DesignChoices c) {
        try {
            MakeDesign(Three(1, 2), c);
        } catch (const InputError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    DesignChoices morris;
    morris.Kind = Method::Morris;
    for (const int levels : {0, 1, 3, -2}) {
        morris.Levels = levels;
        EXPECT_EQ(refused(morris),
                  "--levels " + std::to_string(levels) + ": the Morris grid needs an even number of levels, 2 or more");
    }
    morris.Levels = 2;
    EXPECT_EQ(refused(morris), "accepted");
    morris.Samples = 0;
    EXPECT_EQ(refused(morris), "--samples 0: Morris needs 1 trajectory or more");
    morris.Samples.reset();
    morris.Replicates = 4;
    EXPECT_EQ(refused(morris), "--replicates applies to sobol designs only");

    DesignChoices sobol;
    sobol.Samples = -5;
    EXPECT_EQ(refused(sobol), "--samples -5: Sobol needs 1 block or more in each replicate");
    sobol.Samples = 4;
    sobol.Replicates = 0;
    EXPECT_EQ(refused(sobol), "--replicates 0: 1 or more are needed");
    sobol.Replicates.reset();
    EXPECT_EQ(MakeDesign(Three(1, 2), sobol).Members.size(), 8u * 4u * 5u);

    DesignChoices oat;
    oat.Kind = Method::Oat;
    oat.Delta = 0;
    EXPECT_EQ(refused(oat), "--delta 0: the one-at-a-time step must be above 0 and below 1");
    oat.Delta = 0.01;
    oat.Random = true;
    EXPECT_EQ(refused(oat), "--random applies to sobol designs only");

    // Every Morris level is on the grid: shares of 1/(levels - 1).
    const Design m = MorrisDesign({{"a", 0, 1}}, 30, 6, 3);
    for (const Member& member : m.Members) {
        const double level = member.Values[0] * 5;
        EXPECT_NEAR(level, std::round(level), 1e-12) << member.Values[0];
    }
}

TEST(SensitivityDesign, OneAtATimeAroundZeroStepsByTheRangesWidth) {
    const Design d = OatDesign({{"Tas", -5, 5}, {"mF", 40, 60}}, 0.01);
    ASSERT_EQ(d.Members.size(), 5u);
    EXPECT_EQ(d.Members[1].Values, (std::vector<double>{-0.1, 50}));
    EXPECT_EQ(d.Members[2].Values, (std::vector<double>{0.1, 50}));
    EXPECT_EQ(d.Notes,
              std::vector<std::string>{
                  "Tas: the centre of its range is 0, so it steps by 0.01 of the range's width (0.1) instead"});
    const Analysis a = Analyse(d, RunAll(d, [](const auto& x) { return 10 + 3 * x[0] + x[1]; }));
    EXPECT_NEAR(Find(a, "Tas", "derivative"), 3, 1e-9);
    EXPECT_EQ(Find(a, "Tas", "elasticity"), 0);
}

TEST(SensitivityRanges, RangesFileIsCheckedLineByLine) {
    DefineModel();
    std::istringstream good("symbol\tlow\thigh\n# comment\n\nWw 60 80\nbIf\t0.1\t0.4\tlog\r\n");
    const auto factors = ReadRanges(good, "r.tsv");
    ASSERT_EQ(factors.size(), 2u);
    EXPECT_EQ(factors[1].Symbol, "bIf");
    EXPECT_TRUE(factors[1].Log);

    const auto refused = [](const std::string& text) {
        std::istringstream in(text);
        try {
            ReadRanges(in, "r.tsv");
        } catch (const InputError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refused("Ww 80 60\n"), "r.tsv line 1: the low end 80 must be below the high end 60");
    EXPECT_EQ(refused("Ww 60 80\nWw 1 2\n"), "r.tsv line 2, field 1: 'Ww' has a range on line 1 already");
    EXPECT_EQ(refused("bIf 0 1 log\n"), "r.tsv line 1: a log range needs a low end above 0, not 0");
    EXPECT_EQ(refused("Ww 60 eighty\n"), "r.tsv line 1, field 3: 'eighty' is not a number");
    EXPECT_EQ(refused("Ww 60\n"), "r.tsv line 1: a range is 'SYMBOL LOW HIGH' or 'SYMBOL LOW HIGH log'");
    EXPECT_EQ(refused("LAI 1 2\n"), "r.tsv line 1, field 1: LAI is a process variable; ranges are of parameters and state variables");
    EXPECT_EQ(refused("# nothing\n"), "r.tsv: no ranges");
}
