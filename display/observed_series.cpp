#include "display/observed_series.h"

#include <algorithm>

#include "core/stypes.h"
#include "display/display_rules.h"

int ObservedColumn(const Variable& variable) {
    switch (variable.kind) {
        case VarKind::Driver: return variable.index;
        case VarKind::State: return ModelDef.NumDrivers + variable.index;
        case VarKind::Process:
            return variable.index > ModelDef.NumStates ? ModelDef.NumDrivers + variable.index : -1;
        case VarKind::Derivative:
        case VarKind::Parameter: return -1;
    }
    return -1;
}

std::vector<PlottedSeries> ObservedSeries(const OutputTable& table, const fit::Observations& observations,
                                          const std::string& xName, const std::vector<std::string>& yNames,
                                          int plotAs) {
    std::vector<PlottedSeries> result;
    const int xcol = table.FindColumn(xName);
    const std::int64_t last = table.Rows() - 1;
    const auto first = table.ShownNumber(0, FirstDataRow), end = table.ShownNumber(0, last);
    for (const std::string& name : yNames) {
        const int ycol = table.FindColumn(name);
        PlottedSeries points{(ycol >= 0 ? table.Name(ycol) : name) + " (observed)", {}, {}};
        const auto y0 = table.ShownNumber(ycol, FirstDataRow);
        const auto observed = std::find_if(observations.Series.begin(), observations.Series.end(),
                                           [ycol](const fit::ObservedSeries& s) { return ObservedColumn(s.Var) == ycol; });
        if (xcol == 0 && ycol > 0 && first && end && y0 && observed != observations.Series.end()) {
            for (std::size_t i = 0; i < observed->Times.size(); ++i) {
                const double t = observed->Times[i];
                if (t < *first || t > *end) continue;
                const std::optional<double> v = PlotValue(plotAs, observed->Values[i], *y0);
                if (!v) continue;
                points.X.push_back(t);
                points.Y.push_back(*v);
            }
        }
        result.push_back(std::move(points));
    }
    return result;
}
