// The chart of a metric's indices: which estimates it shows, in what order,
// and the plot file names it takes.
#include <gtest/gtest.h>

#include <cmath>

#include "sensitivity/analysis.h"
#include "sensitivity/design.h"
#include "sensitivity/index_chart.h"
#include "sensitivity_support.h"

using namespace sensitivity;
using sensitivity_test::RunAll;

namespace {

std::vector<std::string> Order(const IndexChart& chart) {
    std::vector<std::string> factors;
    for (const ChartRow& r : chart.Rows) factors.push_back(r.Factor);
    return factors;
}

const Index& Find(const Analysis& a, const std::string& factor, const std::string& measure) {
    for (const Index& i : a.Indices)
        if (i.Factor == factor && i.Measure == measure) return i;
    throw std::logic_error("no " + measure + " of " + factor);
}

}  // namespace

TEST(SensitivityChart, OneAtATimeRanksByTheSizeOfTheElasticityAndPutsMissingFactorsLast) {
    const Design oat = OatDesign({{"a", 1, 3}, {"b", 10, 20}, {"c", 1, 2}, {"d", 1, 2}}, 0.01);
    // b pulls down hardest, c a little upwards, a not at all.
    auto y = RunAll(oat, [](const auto& x) { return 100 - 3 * x[1] + x[2] + x[3] * x[3]; });
    for (const Member& m : oat.Members)
        if (m.Role == "plus:d") y.erase(m.Id);
    const Analysis a = Analyse(oat, y);
    const IndexChart chart = BuildIndexChart(oat, a, "mean(NPP)");
    EXPECT_EQ(Order(chart), (std::vector<std::string>{"b", "c", "a", "d"}));
    EXPECT_EQ(chart.Title, "One-at-a-time elasticities of mean(NPP)");
    EXPECT_EQ(chart.Measures, std::vector<std::string>{"Elasticity"});
    EXPECT_EQ(chart.ValueTitle, "Elasticity (relative change of mean(NPP) per relative change of the factor)");
    EXPECT_EQ(chart.Rows[0].Values[0].Value, Find(a, "b", "elasticity").Value);
    EXPECT_LT(chart.Rows[0].Values[0].Value, 0);
    EXPECT_TRUE(std::isnan(chart.Rows[3].Values[0].Value));
    EXPECT_TRUE(std::isnan(chart.Rows[0].Values[0].Low95));
}

TEST(SensitivityChart, SobolPairsFirstOrderAndTotalRankedByTotal) {
    const Design sobol = SobolDesign({{"a", 0, 1}, {"b", 0, 1}, {"c", 0, 1}}, 128, 3, 8);
    // c acts only with a: its first-order index is small, its total large.
    const Analysis a = Analyse(sobol, RunAll(sobol, [](const auto& x) { return x[0] + 0.2 * x[1] + 4 * x[0] * x[2]; }), 100);
    const IndexChart chart = BuildIndexChart(sobol, a, "max(LAI)");
    EXPECT_EQ(Order(chart), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(chart.Measures, (std::vector<std::string>{"First order", "Total"}));
    EXPECT_EQ(chart.Title, "Sobol indices of max(LAI)");
    EXPECT_EQ(chart.ValueTitle, "Index (lines: 95 % interval over 8 replicates)");
    const ChartRow& c = chart.Rows[1];
    EXPECT_EQ(c.Values[0].Value, Find(a, "c", "first").Value);
    EXPECT_EQ(c.Values[1].Low95, Find(a, "c", "total").Low95);
    EXPECT_EQ(c.Values[1].High95, Find(a, "c", "total").High95);
    EXPECT_LT(c.Values[0].Value, c.Values[1].Value);
}

TEST(SensitivityChart, MorrisPlaneCompareFactorsOverTheirRanges) {
    // Per unit, a moves the result 20 times as much as b; over their ranges b moves it 5 times as much.
    const Design morris = MorrisDesign({{"a", 0, 1}, {"b", 0, 100}}, 8, 4, 4);
    const Analysis a = Analyse(morris, RunAll(morris, [](const auto& x) { return 20 * x[0] + x[1] + x[0] * x[0]; }), 50);
    const IndexChart chart = BuildIndexChart(morris, a, "m");
    EXPECT_EQ(Order(chart), (std::vector<std::string>{"b", "a"}));
    const ChartRow& b = chart.Rows[0];
    EXPECT_DOUBLE_EQ(b.Values[0].Value, Find(a, "b", "mustar_range").Value);
    EXPECT_DOUBLE_EQ(b.Values[0].High95, Find(a, "b", "mustar_range").High95);
    // b acts linearly, a does not: only a's effects spread.
    EXPECT_NEAR(b.Values[1].Value, 0, 1e-9);
    EXPECT_GT(chart.Rows[1].Values[1].Value, 0);
    EXPECT_EQ(chart.Title, "Morris screening of m");
    EXPECT_TRUE(chart.Measures.empty());
}

TEST(SensitivityChart, PlotFilesArePngSvgOrPdf) {
    EXPECT_NO_THROW(CheckPlotFileName("out/fig.PNG"));
    EXPECT_NO_THROW(CheckPlotFileName("fig.svg"));
    EXPECT_NO_THROW(CheckPlotFileName("fig.pdf"));
    for (const char* name : {"fig.gif", "fig", "png"}) {
        try {
            CheckPlotFileName(name);
            ADD_FAILURE() << name << " taken";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("the plot file must end in .png, .svg or .pdf: ") + name);
        }
    }
}
