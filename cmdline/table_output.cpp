#include "cmdline/table_output.h"

#include "fileio/csv.h"

#include <charconv>
#include <cmath>

#include "core/stypes.h"

int OutputPosition(Variable v) {
    const int drivers = ModelDef.NumDrivers;
    switch (v.kind) {
        case VarKind::Driver: return v.index - 1;
        case VarKind::State: return drivers + v.index - 1;
        default: return drivers + v.index - 1;  // process entries follow the states
    }
}

std::vector<Variable> OutputColumns() {
    std::vector<Variable> columns;
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) columns.push_back({VarKind::Driver, i});
    for (int i = 1; i <= ModelDef.NumStates; ++i) columns.push_back({VarKind::State, i});
    for (int i = ModelDef.NumStates + 1; i <= ModelDef.NumProcesses; ++i) columns.push_back({VarKind::Process, i});
    return columns;
}

namespace {
std::string_view UnitsOf(Variable v) {
    switch (v.kind) {
        case VarKind::Driver: return Drivers[v.index].Units;
        case VarKind::State: return States[v.index].Units;
        default: return Processes[v.index].Units;
    }
}
}  // namespace

TableOutput::TableOutput(const std::string& fileName, TableFormat format, std::vector<Variable> columns)
    : text_(fileName), separator_(format == TableFormat::Csv ? ',' : '\t') {
    PutField("Time");
    for (const Variable v : columns) {
        text_.Put(std::string_view(&separator_, 1));
        PutField(QualifiedSymbol(v));
        positions_.push_back(OutputPosition(v));
    }
    text_.EndLine();
    PutField(ModelDef.TimeUnit);
    for (const Variable v : columns) {
        text_.Put(std::string_view(&separator_, 1));
        PutField(UnitsOf(v));
    }
    text_.EndLine();
}

// A field of CSV is written as every CSV of the workbench writes it (quoted
// when it holds a comma, a quote or a line end, its quotes doubled);
// tab-separated values have no quoting, so tabs and line ends become blanks
// there.
void TableOutput::PutField(std::string_view text) {
    const bool special = text.find_first_of(",\"\r\n\t") != std::string_view::npos;
    if (!special) {
        text_.Put(text);
        return;
    }
    if (separator_ == ',') {
        text_.Put(fileio::CsvField(text));
        return;
    }
    std::string field;
    for (const char c : text) field += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    text_.Put(field);
}

void TableOutput::Write(double time, std::span<const double> values) {
    PutValue(time);
    for (const int position : positions_) {
        text_.Put(std::string_view(&separator_, 1));
        PutValue(values[static_cast<std::size_t>(position)]);
    }
    text_.EndLine();
}

// The shortest text that reads back as the same double; NaN, Inf and -Inf
// for values that are not finite.
void TableOutput::PutValue(double value) { text_.Put(fileio::ExactText(value)); }
