// Records of a run, or of a file a run wrote, as one table of exact doubles:
// the times, and the values of the chosen columns row after row. This is what
// the Python package hands to numpy without copying.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "cmdline/symbols.h"
#include "run/metrics.h"

struct RecordTable {
    std::vector<std::string> Symbols;  // qualified as --columns names them
    std::vector<std::string> Units;
    std::vector<std::string> Names;  // the catalogue's names; "" for a column it does not know
    std::vector<double> Times;
    std::vector<double> Values;  // Times.size() rows of Symbols.size() values

    std::size_t Rows() const { return Times.size(); }
    std::size_t Width() const { return Symbols.size(); }
};

// A table for these variables of the catalogue, with their symbols, units
// and names, and no rows yet.
RecordTable TableFor(const std::vector<Variable>& columns);

// The metrics (as --metric writes them) of a table's records. Throws
// EMetricError for a text that is no metric or names a column the table does
// not hold; a metric whose window holds no record has no value.
struct MetricOutcome {
    std::string Text;
    bool HasValue = false;
    double Value = 0.0;
    std::string Problem;  // why there is no value
};
std::vector<MetricOutcome> TableMetrics(const RecordTable& table, const std::vector<std::string>& texts);
// The values of a metric set once its records were added.
std::vector<MetricOutcome> MetricOutcomes(const MetricSet& metrics);
