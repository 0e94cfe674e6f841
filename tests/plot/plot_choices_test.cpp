// Which series share an axis, when panels are stacked, what the axes are
// called, and how records fall into model years and annual values.
#include <gtest/gtest.h>

#include "plot/plot_choices.h"

namespace {

const SeriesUnits Lai{"Leaf Area Index", "m2 leaf m-2 ground"};
const SeriesUnits Gpp{"GPP: daily", "g C m-2 day-1"};
const SeriesUnits Npp{"NPP: daily", "g C m-2 day-1"};
const SeriesUnits Water{"H2O: Root-zone", "mm H2O"};

std::vector<std::vector<int>> Members(const AxisPlan& plan) {
    std::vector<std::vector<int>> members;
    for (const AxisGroup& g : plan.Groups) members.push_back(g.Series);
    return members;
}

}  // namespace

TEST(PlanAxes, SeriesOfOneUnitShareOneAxisOnOnePanel) {
    const AxisPlan plan = PlanAxes({Gpp, Npp}, PlotArrangement::Automatic);
    EXPECT_FALSE(plan.Panels);
    ASSERT_EQ(plan.Groups.size(), 1u);
    EXPECT_EQ(plan.Groups[0].Title, "GPP: daily, NPP: daily (g C m-2 day-1)");
    // Asked for, panels stand even for one unit.
    EXPECT_TRUE(PlanAxes({Gpp, Npp}, PlotArrangement::Panels).Panels);
}

TEST(PlanAxes, DifferentUnitsStackPanelsUnlessAxesAreAskedFor) {
    // Units group in the order of their first series, whatever comes between.
    const AxisPlan plan = PlanAxes({Gpp, Lai, Water, Npp}, PlotArrangement::Automatic);
    EXPECT_TRUE(plan.Panels);
    EXPECT_EQ(Members(plan), (std::vector<std::vector<int>>{{0, 3}, {1}, {2}}));
    EXPECT_EQ(plan.Groups[1].Title, "Leaf Area Index (m2 leaf m-2 ground)");
    EXPECT_EQ(plan.Groups[2].Title, "H2O: Root-zone (mm H2O)");

    const AxisPlan axes = PlanAxes({Gpp, Lai, Water, Npp}, PlotArrangement::Axes);
    EXPECT_FALSE(axes.Panels);
    EXPECT_EQ(Members(axes), Members(plan));
}

TEST(PlanAxes, UnitsCompareExactly) {
    // "mm H2O" and "mm h2o" are written differently: each gets its own axis.
    const AxisPlan plan = PlanAxes({Water, {"Snow", "mm h2o"}}, PlotArrangement::Automatic);
    EXPECT_EQ(plan.Groups.size(), 2u);
    EXPECT_TRUE(PlanAxes({}, PlotArrangement::Automatic).Groups.empty());
}

TEST(AxisTitle, NamesUnitsAndTime) {
    EXPECT_EQ(AxisTitle({"Ratio"}, ""), "Ratio");
    EXPECT_EQ(TimeAxisTitle("days", false, std::nullopt), "Time (days)");
    EXPECT_EQ(TimeAxisTitle("days", true, std::nullopt), "Time (model years)");
    EXPECT_EQ(TimeAxisTitle("days", true, Annual::Max), "Model year (annual maximum of the records)");
    EXPECT_EQ(TimeAxisTitle("", false, std::nullopt), "Time");
}

TEST(AxisTitle, ALongTitleBreaksBeforeItsUnitsOrAtAComma) {
    EXPECT_EQ(FitAxisTitle("Leaf Area Index (m2 leaf m-2 ground)", 36), "Leaf Area Index (m2 leaf m-2 ground)");
    EXPECT_EQ(FitAxisTitle("Leaf Area Index (m2 leaf m-2 ground)", 20), "Leaf Area Index\n(m2 leaf m-2 ground)");
    // The last parenthesis holds the units.
    EXPECT_EQ(FitAxisTitle("CO2 (air), Ca (ppm)", 10), "CO2 (air), Ca\n(ppm)");
    EXPECT_EQ(FitAxisTitle("Alpha, Beta, Gamma, Delta", 12), "Alpha, Beta,\nGamma, Delta");
    EXPECT_EQ(FitAxisTitle("Unbreakable", 4), "Unbreakable");
    // The display's one axis: each unit on its line.
    EXPECT_EQ(FitAxisTitle("GPP, NPP (g C m-2 day-1); Leaf Area Index (m2 leaf m-2 ground)", 40),
              "GPP, NPP (g C m-2 day-1)\nLeaf Area Index (m2 leaf m-2 ground)");
}

TEST(ModelYears, AYearClosesWithItsLastDay) {
    EXPECT_EQ(ModelYear(1), 1);
    EXPECT_EQ(ModelYear(366), 1);
    EXPECT_EQ(ModelYear(366.5), 2);
    // A time that is a sum of steps lands a hair beside the year's end.
    EXPECT_EQ(ModelYear(366 + 1e-9), 1);
    EXPECT_EQ(ModelYear(3660), 10);
    EXPECT_DOUBLE_EQ(InModelYears(549), 1.5);
}

TEST(AnnualValues, EachStatisticOverTheYearsRecords) {
    // Daily records from day 0: the first one is the starting state, not a
    // day of year 1.
    std::vector<double> t, y;
    for (int day = 0; day <= 733; ++day) t.push_back(day), y.push_back(day <= 366 ? 1.0 : day);
    const std::vector<AnnualValue> sum = AnnualValues(t, y, Annual::Sum);
    ASSERT_EQ(sum.size(), 3u);
    EXPECT_EQ(sum[0].Year, 1);
    EXPECT_EQ(sum[0].Records, 366);
    EXPECT_DOUBLE_EQ(sum[0].Value, 366);
    EXPECT_EQ(sum[1].Records, 366);
    EXPECT_DOUBLE_EQ(sum[1].Value, (367.0 + 732.0) / 2 * 366);
    EXPECT_EQ(sum[2].Year, 3);  // day 732 closes year 2, day 733 opens year 3
    EXPECT_EQ(sum[2].Records, 1);
    EXPECT_EQ(AnnualValues(t, y, Annual::Max)[1].Value, 732);
    EXPECT_EQ(AnnualValues(t, y, Annual::Min)[1].Value, 367);
    EXPECT_DOUBLE_EQ(AnnualValues(t, y, Annual::Mean)[1].Value, (367.0 + 732.0) / 2);
}

TEST(AnnualValues, RunsThatStartInsideAYearOrHoldOneRecord) {
    const std::vector<AnnualValue> part = AnnualValues({100, 200, 400}, {5, -2, 7}, Annual::Min);
    ASSERT_EQ(part.size(), 2u);
    EXPECT_EQ(part[0].Value, -2);
    EXPECT_EQ(part[1].Year, 2);
    // A single record at a year's start is all there is: it stays.
    EXPECT_EQ(AnnualValues({366}, {4}, Annual::Sum).size(), 1u);
    EXPECT_TRUE(AnnualValues({}, {}, Annual::Mean).empty());
    EXPECT_EQ(AnnualFromText("max"), Annual::Max);
    EXPECT_FALSE(AnnualFromText("median"));
}

TEST(ChartTitle, TheFilesNameUnlessOneIsGiven) {
    EXPECT_EQ(ChartTitle("/data/runs/forest.out", std::nullopt), "forest.out");
    EXPECT_EQ(ChartTitle("forest.csv", std::string("Stand 4")), "Stand 4");
    EXPECT_EQ(ChartTitle("forest.csv", std::string()), "");
}

TEST(AxisTitle, OneAxisForSeveralUnitsNamesEachGroup) {
    // The output display keeps one dependent axis whatever the units.
    EXPECT_EQ(AxisTitle(std::vector<SeriesUnits>{Gpp, Lai, Npp}),
              "GPP: daily, NPP: daily (g C m-2 day-1); Leaf Area Index (m2 leaf m-2 ground)");
    EXPECT_EQ(AxisTitle(std::vector<SeriesUnits>{}), "");
}
