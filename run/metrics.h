// Scalar results of a run, computed from its records as they are written:
// mean, min, max, first, last and integral of one output column, over the
// whole run or a window of time. Ensembles collect these instead of reading
// thousands of output files back.
#pragma once

#include <functional>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class EMetricError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class MetricKind { Mean, Min, Max, First, Last, Integral };

struct MetricDefinition {
    std::string Text;  // as given: "mean(LAI)@366..732"
    MetricKind Kind = MetricKind::Mean;
    int Column = 0;    // 0-based among the record's values (time excluded)
    double From = -std::numeric_limits<double>::infinity();
    double To = std::numeric_limits<double>::infinity();
};

// Parses "KIND(SYMBOL)" or "KIND(SYMBOL)@T1..T2". `columnOf` gives the
// column of a symbol, or throws EMetricError with its own message for one it
// does not know.
MetricDefinition ParseMetric(std::string_view text, const std::function<int(std::string_view)>& columnOf);

// Accumulates the metrics over the records of one run.
class MetricSet {
public:
    explicit MetricSet(std::vector<MetricDefinition> definitions);
    void Add(double time, std::span<const double> values);
    // The value of metric i; EMetricError when its window held no record.
    double Value(std::size_t i) const;
    const std::vector<MetricDefinition>& Definitions() const { return definitions_; }

private:
    struct Sum {
        long long Count = 0;
        double Total = 0, Min = 0, Max = 0, First = 0, Last = 0, Integral = 0, LastTime = 0;
    };
    std::vector<MetricDefinition> definitions_;
    std::vector<Sum> sums_;
};

// Appends one row to a results file shared by many runs: under an advisory
// lock, the header first when the file is empty; a file whose header differs
// from `header` is refused, never rewritten. Throws EMetricError.
void AppendResultsRow(const std::string& fileName, const std::vector<std::string>& header,
                      const std::vector<std::string>& row);
