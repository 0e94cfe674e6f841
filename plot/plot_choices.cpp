#include "plot/plot_choices.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

AxisPlan PlanAxes(const std::vector<SeriesUnits>& series, PlotArrangement arrangement) {
    AxisPlan plan;
    for (const std::vector<int>& members : GroupByUnits(series)) {
        std::vector<std::string> names;
        for (const int i : members) names.push_back(series[static_cast<std::size_t>(i)].Name);
        const std::string& units = series[static_cast<std::size_t>(members.front())].Units;
        plan.Groups.push_back({units, members, AxisTitle(names, units)});
    }
    plan.Panels =
        arrangement == PlotArrangement::Panels || (arrangement == PlotArrangement::Automatic && plan.Groups.size() > 1);
    return plan;
}

std::string TimeAxisTitle(const std::string& timeUnit, bool years, std::optional<Annual> annual) {
    if (annual) {
        const char* what[] = {"sum", "mean", "maximum", "minimum"};
        return std::string("Model year (annual ") + what[static_cast<int>(*annual)] + " of the records)";
    }
    if (years) return "Time (model years)";
    return timeUnit.empty() ? "Time" : "Time (" + timeUnit + ")";
}

namespace {
// Times of records are sums of steps: a time within this much of a year's
// end is at it.
constexpr double TimeSlack = 1e-6;

bool AtYearStart(double time) {
    const double years = time / DaysPerModelYear;
    return std::fabs(years - std::round(years)) * DaysPerModelYear <= TimeSlack;
}
}  // namespace

int ModelYear(double time) {
    return static_cast<int>(std::ceil(time / DaysPerModelYear - TimeSlack / DaysPerModelYear));
}

double InModelYears(double time) { return time / DaysPerModelYear; }

std::optional<Annual> AnnualFromText(const std::string& text) {
    if (text == "sum") return Annual::Sum;
    if (text == "mean") return Annual::Mean;
    if (text == "max") return Annual::Max;
    if (text == "min") return Annual::Min;
    return std::nullopt;
}

std::vector<AnnualValue> AnnualValues(const std::vector<double>& t, const std::vector<double>& y, Annual annual) {
    std::vector<AnnualValue> years;
    const std::size_t n = std::min(t.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (i == 0 && AtYearStart(t[0]) && n > 1) continue;
        const int year = ModelYear(t[i]);
        if (years.empty() || years.back().Year != year) {
            const double start = annual == Annual::Max   ? -std::numeric_limits<double>::infinity()
                                 : annual == Annual::Min ? std::numeric_limits<double>::infinity()
                                                         : 0.0;
            years.push_back({year, start, 0});
        }
        AnnualValue& a = years.back();
        ++a.Records;
        switch (annual) {
            case Annual::Max:
                a.Value = std::max(a.Value, y[i]);
                break;
            case Annual::Min:
                a.Value = std::min(a.Value, y[i]);
                break;
            default:
                a.Value += y[i];
        }
    }
    if (annual == Annual::Mean)
        for (AnnualValue& a : years) a.Value /= a.Records;
    return years;
}

std::string ChartTitle(const std::string& fileName, const std::optional<std::string>& title) {
    if (title) return *title;
    return std::filesystem::path(fileName).filename().string();
}
