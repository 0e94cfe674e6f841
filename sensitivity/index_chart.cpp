#include "sensitivity/index_chart.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

namespace sensitivity {

namespace {

const Index* Find(const Analysis& analysis, const std::string& factor, const char* measure) {
    for (const Index& i : analysis.Indices)
        if (i.Factor == factor && i.Measure == measure) return &i;
    return nullptr;
}

Estimate EstimateOf(const Index* index, double scale = 1.0) {
    if (!index) return {};
    return {index->Value * scale, index->Low95 * scale, index->High95 * scale};
}

// How a row ranks: the magnitude of its first (Sobol: last) estimate; rows
// without a number go last, keeping the design's order among equals.
void Rank(std::vector<ChartRow>& rows, std::size_t key) {
    const auto size = [key](const ChartRow& r) {
        const double v = r.Values[key].Value;
        return std::isnan(v) ? -1.0 : std::fabs(v);
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const ChartRow& a, const ChartRow& b) { return size(a) > size(b); });
}

}  // namespace

IndexChart BuildIndexChart(const Design& design, const Analysis& analysis, const std::string& metric) {
    IndexChart chart;
    chart.Kind = design.Kind;
    for (const Factor& f : design.Factors) {
        ChartRow row{f.Symbol, {}};
        switch (design.Kind) {
            case Method::Oat: row.Values = {EstimateOf(Find(analysis, f.Symbol, "elasticity"))}; break;
            case Method::Sobol:
                row.Values = {EstimateOf(Find(analysis, f.Symbol, "first")), EstimateOf(Find(analysis, f.Symbol, "total"))};
                break;
            case Method::Morris: {
                const double range = f.High - f.Low;
                row.Values = {EstimateOf(Find(analysis, f.Symbol, "mustar"), range),
                              EstimateOf(Find(analysis, f.Symbol, "sigma"), range)};
                break;
            }
        }
        chart.Rows.push_back(std::move(row));
    }
    switch (design.Kind) {
        case Method::Oat:
            chart.Title = "One-at-a-time elasticities of " + metric;
            chart.Measures = {"Elasticity"};
            chart.ValueTitle = "Elasticity (relative change of " + metric + " per relative change of the factor)";
            Rank(chart.Rows, 0);
            break;
        case Method::Sobol:
            chart.Title = "Sobol indices of " + metric;
            chart.Measures = {"First order", "Total"};
            chart.ValueTitle = design.Replicates > 1 ? "Index (lines: 95 % interval over " +
                                                           std::to_string(design.Replicates) + " replicates)"
                               : design.Random ? "Index (lines: bootstrap 95 % interval)"
                                               : "Index";
            Rank(chart.Rows, 1);
            break;
        case Method::Morris:
            chart.Title = "Morris screening of " + metric;
            chart.ValueTitle = "\u03bc* (mean |elementary effect| \u00d7 range; lines: bootstrap 95 % interval)";
            chart.SecondTitle = "\u03c3 (standard deviation of elementary effects \u00d7 range)";
            Rank(chart.Rows, 0);
            break;
    }
    return chart;
}

void CheckPlotFileName(const std::string& fileName) {
    std::string suffix = std::filesystem::path(fileName).extension().string();
    std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
    if (suffix != ".png" && suffix != ".svg" && suffix != ".pdf")
        throw InputError("the plot file must end in .png, .svg or .pdf: " + fileName);
}

}  // namespace sensitivity
