#include "python/record_table.h"

#include <algorithm>

#include "model/equations.h"

namespace {

std::string_view UnitsOf(Variable v) {
    switch (v.kind) {
        case VarKind::Driver:
            return Drivers[v.index].Units;
        case VarKind::State:
            return States[v.index].Units;
        case VarKind::Parameter:
            return Params[v.index].Units;
        default:
            return Processes[v.index].Units;
    }
}

std::string_view NameOf(Variable v) {
    switch (v.kind) {
        case VarKind::Driver:
            return Drivers[v.index].Name;
        case VarKind::State:
            return States[v.index].Name;
        case VarKind::Parameter:
            return Params[v.index].Name;
        default:
            return Processes[v.index].Name;
    }
}

}  // namespace

RecordTable TableFor(const std::vector<Variable>& columns) {
    RecordTable table;
    for (const Variable v : columns) {
        table.Symbols.push_back(QualifiedSymbol(v));
        table.Units.emplace_back(UnitsOf(v));
        table.Names.emplace_back(NameOf(v));
    }
    return table;
}

std::vector<MetricOutcome> MetricOutcomes(const MetricSet& metrics) {
    std::vector<MetricOutcome> outcomes;
    for (std::size_t i = 0; i < metrics.Definitions().size(); ++i) {
        MetricOutcome outcome;
        outcome.Text = metrics.Definitions()[i].Text;
        try {
            outcome.Value = metrics.Value(i);
            outcome.HasValue = true;
        } catch (const EMetricError& e) {
            outcome.Problem = e.what();
        }
        outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

std::vector<MetricOutcome> TableMetrics(const RecordTable& table, const std::vector<std::string>& texts) {
    // A symbol is looked up as --metric looks it up, then among the table's
    // columns, by its qualified form.
    const auto columnOf = [&table](std::string_view symbol) {
        std::string qualified(symbol);
        try {
            qualified = QualifiedSymbol(FindVariable(symbol, {VarKind::Driver, VarKind::State, VarKind::Process},
                                                     "--metric takes drivers, states and process variables"));
        } catch (const std::invalid_argument& e) {
            if (std::find(table.Symbols.begin(), table.Symbols.end(), qualified) == table.Symbols.end())
                throw EMetricError(e.what());
        }
        const auto found = std::find(table.Symbols.begin(), table.Symbols.end(), qualified);
        if (found == table.Symbols.end()) throw EMetricError(qualified + " is not among the columns of the records");
        return static_cast<int>(found - table.Symbols.begin());
    };
    std::vector<MetricDefinition> definitions;
    for (const std::string& text : texts) {
        try {
            definitions.push_back(ParseMetric(text, columnOf));
        } catch (const EMetricError& e) {
            const std::string message = e.what();
            throw EMetricError(message.rfind("--metric", 0) == 0 ? message : "--metric " + text + ": " + message);
        }
    }
    MetricSet metrics(std::move(definitions));
    const std::span<const double> values(table.Values);
    for (std::size_t row = 0; row < table.Rows(); ++row)
        metrics.Add(table.Times[row], values.subspan(row * table.Width(), table.Width()));
    return MetricOutcomes(metrics);
}
