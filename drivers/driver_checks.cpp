#include "drivers/driver_checks.h"

#include <cmath>

#include "fileio/csv.h"

namespace drivers {

namespace {

struct Range {
    Field What;
    double Low, High;
    const char* Units;
};
// What a forest stand on this planet can see as a daily value.
constexpr Range Ranges[] = {
    {Field::Ca, 150.0, 2000.0, "ppm"},           {Field::Tamax, -70.0, 60.0, "oC"},
    {Field::Tamin, -80.0, 50.0, "oC"},           {Field::Ts, -50.0, 50.0, "oC"},
    {Field::Ppt, 0.0, 1000.0, "mm day-1"},       {Field::II, 0.0, 50.0, "MJ m-2 day-1"},
    {Field::DNH4, 0.0, 0.1, "g N m-2 day-1"},    {Field::DNO3, 0.0, 0.1, "g N m-2 day-1"},
};
constexpr double OverrideHigh = 1000.0;

std::string Number(double v) { return fileio::ExactText(v); }

void CheckRecord(const DriverRecord& r, std::size_t index, std::vector<DriverProblem>& problems) {
    auto add = [&](std::string text) { problems.push_back({index, std::move(text)}); };
    for (const Range& range : Ranges) {
        const double v = r.Value[static_cast<int>(range.What)];
        if (!std::isfinite(v) || v < range.Low || v > range.High)
            add(std::string(FieldSymbol(range.What)) + " " + Number(v) + " outside " + Number(range.Low) + " to " +
                Number(range.High) + " " + range.Units);
    }
    const double tmax = r.Value[static_cast<int>(Field::Tamax)];
    const double tmin = r.Value[static_cast<int>(Field::Tamin)];
    if (tmin > tmax) add("Tamin " + Number(tmin) + " above Tamax " + Number(tmax));
    for (int i = FirstOverrideDriver; i <= DriverCount; ++i) {
        const double v = r.Value[i];
        if (v != -1.0 && !(v >= 0.0 && v <= OverrideHigh))
            add(std::string(FieldSymbol(static_cast<Field>(i))) + " " + Number(v) +
                " is neither -1 (not measured) nor 0 to " + Number(OverrideHigh));
    }
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
