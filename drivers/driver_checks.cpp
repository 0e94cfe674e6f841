#include "drivers/driver_checks.h"

#include <cmath>

#include "checks/plausible_ranges.h"
#include "fileio/csv.h"

namespace drivers {

namespace {

std::string Number(double v) { return fileio::ExactText(v); }

// Every driver against the one table of values real sites have, with the
// unit mix-up a value outside it most likely is.
void CheckRecord(const DriverRecord& r, std::size_t index, std::vector<DriverProblem>& problems) {
    auto add = [&](std::string text) { problems.push_back({index, std::move(text)}); };
    const std::span<const DriverRange> ranges = DriverRanges();
    for (int i = 1; i <= DriverCount && i <= static_cast<int>(ranges.size()); ++i) {
        const DriverRange& range = ranges[static_cast<std::size_t>(i - 1)];
        const double v = r.Value[i];
        if (Plausible(range, v)) continue;
        std::string text = std::string(range.Symbol) + " " + Number(v) + " outside " + Number(range.Low) + " to " +
                           Number(range.High) + " " + std::string(range.Units);
        if (range.MissingMarker) text += " (or -1, not measured)";
        if (const std::string_view mixUp = MixUpOf(range, v); !mixUp.empty()) text += ": " + std::string(mixUp);
        add(std::move(text));
    }
    const double tmax = r.Value[static_cast<int>(Field::Tamax)];
    const double tmin = r.Value[static_cast<int>(Field::Tamin)];
    if (tmin > tmax) add("Tamin " + Number(tmin) + " above Tamax " + Number(tmax));
}

}  // namespace

std::vector<DriverProblem> CheckDriverRecords(const std::vector<DriverRecord>& records) {
    std::vector<DriverProblem> problems;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i > 0 && std::fabs(records[i].Time) < std::fabs(records[i - 1].Time))
            problems.push_back({i, "time " + Number(records[i].Time) + " before the time " +
                                       Number(records[i - 1].Time) + " of the record above"});
        CheckRecord(records[i], i, problems);
    }
    return problems;
}

}  // namespace drivers
