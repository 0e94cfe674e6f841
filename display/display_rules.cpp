#include "display/display_rules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <charconv>

DisplayLayout LayOutDisplay(bool showTable, int windowHeight, const int (&buttonHeights)[3]) {
    DisplayLayout layout;
    if (showTable) {
        layout.BottomHeight = std::max(windowHeight / 20, 30);
        layout.MoveAllButtons = false;
        layout.ButtonTops[2] = (layout.BottomHeight - buttonHeights[2]) / 2 - 1;
        return layout;
    }
    layout.BottomHeight = windowHeight / 3;
    const int h = layout.BottomHeight;
    const int a = (h / 2) / 3;
    for (int n = 0; n < 3; ++n) layout.ButtonTops[n] = h / 2 + n * a + (a - buttonHeights[n]) / 2 - 1;
    return layout;
}

int PlotAsHeight(int rightPanelHeight, int plotAsTop) { return rightPanelHeight / 2 - plotAsTop; }

int ListColumns(int clientWidth) {
    const double columns = std::max(clientWidth / 200.0, 1.0);
    return static_cast<int>(std::nearbyint(columns));  // the default rounding mode: halves to even
}

bool SeriesListBefore(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
    if (less) return true;
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
    return !greater && a < b;
}

AxisRange DependentRange(std::optional<double> lowest, std::optional<double> highest, bool logarithmic) {
    if (logarithmic) {
        if (!lowest || !highest || *highest <= 0) return {1, 10};
        if (*lowest == *highest) return {*lowest / 2, *highest * 2};
        return {*lowest, *highest};
    }
    if (!lowest || !highest) return {0, 1};
    AxisRange range{std::min(*lowest, 0.0), *highest};
    if (range.Max <= range.Min) range.Max = range.Min + (range.Min == 0 ? 1 : std::fabs(range.Min));
    return range;
}

std::optional<double> PlotValue(int plotAs, double y, double y0) {
    double v = y;
    if (plotAs == 1) {
        if (y0 == 0) return std::nullopt;
        v = y / y0;
    } else if (plotAs == 2) {
        v = y - y0;
    }
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

std::string FormatPattern(double value, const std::string& pattern) {
    const std::size_t point = pattern.find('.');
    const std::string whole = pattern.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : pattern.substr(point + 1);
    const bool grouped = whole.find(',') != std::string::npos;
    const int minWhole = static_cast<int>(std::count(whole.begin(), whole.end(), '0'));
    const int minFraction = static_cast<int>(std::count(fraction.begin(), fraction.end(), '0'));
    const int maxFraction = static_cast<int>(fraction.size());

    // Fixed notation with the point, whatever the locale.
    char text[400];
    const auto written =
        std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::fixed, maxFraction);
    if (written.ec != std::errc()) return std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF";
    const std::string digits(text, written.ptr);
    std::string intPart = digits.substr(0, digits.find('.'));
    std::string fracPart = maxFraction > 0 ? digits.substr(digits.find('.') + 1) : "";
    while (static_cast<int>(fracPart.size()) > minFraction && fracPart.back() == '0') fracPart.pop_back();
    if (intPart == "0" && minWhole == 0) intPart.clear();
    while (static_cast<int>(intPart.size()) < minWhole) intPart.insert(intPart.begin(), '0');
    if (grouped)
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3) intPart.insert(static_cast<std::size_t>(i), ",");
    std::string result = intPart;
    if (!fracPart.empty()) result += "." + fracPart;
    if (result.empty()) result = "0";
    const bool zero = result.find_first_not_of("0.,") == std::string::npos;
    if (value < 0 && !zero) result.insert(result.begin(), '-');
    return result;
}

std::string HiddenPointsNotice(std::int64_t count) {
    return std::to_string(count) + (count == 1 ? " value" : " values") + " \u2264 0 not shown";
}

std::vector<std::vector<int>> GroupByUnits(const std::vector<SeriesUnits>& series) {
    std::vector<std::vector<int>> groups;
    for (int i = 0; i < static_cast<int>(series.size()); ++i) {
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const std::vector<int>& g) {
            return series[static_cast<std::size_t>(g.front())].Units == series[static_cast<std::size_t>(i)].Units;
        });
        if (same == groups.end())
            groups.push_back({i});
        else
            same->push_back(i);
    }
    return groups;
}

std::string AxisTitle(const std::vector<std::string>& names, const std::string& units) {
    std::string title;
    for (const std::string& n : names) title += (title.empty() ? "" : ", ") + n;
    return units.empty() ? title : title + " (" + units + ")";
}

std::string AxisTitle(const std::vector<SeriesUnits>& series) {
    std::string title;
    for (const std::vector<int>& group : GroupByUnits(series)) {
        std::vector<std::string> names;
        for (const int i : group) names.push_back(series[static_cast<std::size_t>(i)].Name);
        title += (title.empty() ? "" : "; ") + AxisTitle(names, series[static_cast<std::size_t>(group.front())].Units);
    }
    return title;
}

namespace {
std::string FitTitleLine(const std::string& title, std::size_t maxChars) {
    if (title.size() <= maxChars) return title;
    std::string fitted = title;
    const std::size_t units = title.rfind(" (");
    if (units != std::string::npos && units > 0) {
        fitted[units] = '\n';
        return fitted;
    }
    const double middle = static_cast<double>(title.size()) / 2;
    std::size_t best = std::string::npos;
    for (std::size_t at = title.find(", "); at != std::string::npos; at = title.find(", ", at + 1))
        if (best == std::string::npos || std::fabs(double(at) - middle) < std::fabs(double(best) - middle)) best = at;
    if (best != std::string::npos) fitted[best + 1] = '\n';
    return fitted;
}
}  // namespace

std::string FitAxisTitle(const std::string& title, std::size_t maxChars) {
    if (title.size() <= maxChars) return title;
    std::string fitted;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = title.find("; ", from);
        fitted += FitTitleLine(title.substr(from, end == std::string::npos ? end : end - from), maxChars);
        if (end == std::string::npos) return fitted;
        fitted += '\n';
        from = end + 2;
    }
}
