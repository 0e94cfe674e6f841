#include "run/metrics.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "fileio/csv.h"

namespace {

std::string Quote(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

MetricDefinition ParseMetric(std::string_view text, const std::function<int(std::string_view)>& columnOf) {
    MetricDefinition metric;
    metric.Text = std::string(text);
    const auto refuse = [&text](const std::string& why) { throw EMetricError("--metric " + Quote(text) + ": " + why); };
    const auto open = text.find('(');
    const auto close = text.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        refuse("a metric is KIND(SYMBOL) or KIND(SYMBOL)@FROM..TO, KIND one of mean, min, max, first, last, integral");
    const std::string_view kind = text.substr(0, open);
    static constexpr std::pair<std::string_view, MetricKind> kinds[] = {
        {"mean", MetricKind::Mean}, {"min", MetricKind::Min},   {"max", MetricKind::Max},
        {"first", MetricKind::First}, {"last", MetricKind::Last}, {"integral", MetricKind::Integral}};
    bool known = false;
    for (const auto& [name, k] : kinds)
        if (kind == name) metric.Kind = k, known = true;
    if (!known) refuse("unknown kind " + Quote(kind) + "; the kinds are mean, min, max, first, last, integral");
    metric.Column = columnOf(text.substr(open + 1, close - open - 1));
    std::string_view rest = text.substr(close + 1);
    if (rest.empty()) return metric;
    const auto dots = rest.find("..");
    if (rest.front() != '@' || dots == std::string_view::npos ||
        !fileio::ParseDouble(rest.substr(1, dots - 1), metric.From) ||
        !fileio::ParseDouble(rest.substr(dots + 2), metric.To))
        refuse("a time window is @FROM..TO with two numbers");
    if (metric.From > metric.To) refuse("the window's start is after its end");
    return metric;
}

MetricSet::MetricSet(std::vector<MetricDefinition> definitions)
    : definitions_(std::move(definitions)), sums_(definitions_.size()) {}

void MetricSet::Add(double time, std::span<const double> values) {
    for (std::size_t i = 0; i < definitions_.size(); ++i) {
        const MetricDefinition& metric = definitions_[i];
        if (time < metric.From || time > metric.To || metric.Column >= static_cast<int>(values.size())) continue;
        const double v = values[static_cast<std::size_t>(metric.Column)];
        Sum& s = sums_[i];
        if (s.Count == 0) {
            s.Min = s.Max = s.First = v;
        } else {
            s.Min = std::min(s.Min, v);
            s.Max = std::max(s.Max, v);
            s.Integral += (v + s.Last) / 2 * (time - s.LastTime);  // trapezoids between records
        }
        s.Total += v;
        s.Last = v;
        s.LastTime = time;
        ++s.Count;
    }
}

double MetricSet::Value(std::size_t i) const {
    const Sum& s = sums_.at(i);
    if (s.Count == 0) throw EMetricError("metric " + Quote(definitions_[i].Text) + " has no record in its time window");
    switch (definitions_[i].Kind) {
        case MetricKind::Mean: return s.Total / static_cast<double>(s.Count);
        case MetricKind::Min: return s.Min;
        case MetricKind::Max: return s.Max;
        case MetricKind::First: return s.First;
        case MetricKind::Last: return s.Last;
        case MetricKind::Integral: return s.Integral;
    }
    return 0;
}

void AppendResultsRow(const std::string& fileName, const std::vector<std::string>& header,
                      const std::vector<std::string>& row) {
    const auto fail = [&fileName](const std::string& why) {
        throw EMetricError("results file " + Quote(fileName) + ": " + why);
    };
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) fail(std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }  // closing also releases the lock
    } closer{fd};
    if (::flock(fd, LOCK_EX) != 0) fail(std::strerror(errno));
    const std::string headerLine = fileio::CsvRecord(header);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    std::string text;
    if (size == 0) {
        text = headerLine;
    } else {
        std::string first(headerLine.size(), '\0');
        if (::pread(fd, first.data(), first.size(), 0) != static_cast<ssize_t>(first.size()) || first != headerLine)
            fail("its header is not the one of this run's metrics (" + headerLine.substr(0, headerLine.size() - 2) +
                 "); use another results file");
    }
    text += fileio::CsvRecord(row);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(std::strerror(errno));
        }
        done += static_cast<std::size_t>(n);
    }
}
