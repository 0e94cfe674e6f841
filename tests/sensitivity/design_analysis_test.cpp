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

TEST(SensitivityIndices, IshigamiSobolIndicesLieInTheirIntervals) {
    constexpr double pi = std::numbers::pi;
    const auto ishigami = [](const std::vector<double>& x) {
        return std::sin(x[0]) + 7 * std::pow(std::sin(x[1]), 2) + 0.1 * std::pow(x[2], 4) * std::sin(x[0]);
    };
    const Design design = SobolDesign(Three(-pi, pi), 4096, 11);
    EXPECT_EQ(design.Members.size(), 4096u * 5u);
    const Analysis a = Analyse(design, RunAll(design, ishigami), 500, 3);
    const struct {
        const char* factor;
        const char* measure;
        double truth;
    } known[] = {{"a", "first", 0.3139}, {"b", "first", 0.4424}, {"c", "first", 0.0}, {"c", "total", 0.2437},
                 {"a", "total", 0.5576}, {"b", "total", 0.4424}};
    for (const auto& k : known) {
        SCOPED_TRACE(std::string(k.factor) + " " + k.measure);
        EXPECT_LE(Find(a, k.factor, k.measure, &Index::Low95), k.truth);
        EXPECT_GE(Find(a, k.factor, k.measure, &Index::High95), k.truth);
        EXPECT_NEAR(Find(a, k.factor, k.measure), k.truth, 0.05);
    }
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
    const std::string head = "# method oat\n# factor kA 1 2\nmember,group,role,kA\n";
    EXPECT_EQ(refused("member,group\n"), "d.csv: not a design file (no '# method' line)");
    EXPECT_EQ(refused("# method sobolx\n"), "d.csv line 1: unknown method 'sobolx'");
    EXPECT_EQ(refused("# method oat\n# factor kA 1 2\nmember,group,role,mF\n"),
              "d.csv line 3, column 4: 'mF' where the factor lines have 'kA'");
    EXPECT_EQ(refused(head + "1,0,base,1.5\n1,1,plus:kA,1.6\n"), "d.csv line 5, column 1: member '1' is also on line 4");
    EXPECT_EQ(refused(head + "1,0,base\n"), "d.csv line 4: 3 fields where the header has 4");
    EXPECT_EQ(refused(head + "1,0,base,nan\n"), "d.csv line 4, column 4 (kA): 'nan' is not a number");
    EXPECT_EQ(refused(head + "1,0.5,base,1\n"), "d.csv line 4, column 2: '0.5' is not a whole number");
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
