#include "python/table_files.h"

#include <cerrno>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "checks/param_checks.h"
#include "cmdline/input_checks.h"
#include "cmdline/table_output.h"
#include "core/notify.h"
#include "fileio/csv.h"
#include "fileio/fileio.h"
#include "fileio/output_file.h"
#include "model/equations.h"
#include "run/run_checks.h"

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Errors of the engine's readers become the failure of the call.
class ErrorCollector final : public Notifier {
public:
    ErrorCollector() : previous_(SetNotifier(this)) {}
    ~ErrorCollector() override { SetNotifier(previous_); }
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    MsgResult Show(MsgKind kind, MsgButtons, std::string_view text) override {
        (kind == MsgKind::Error ? errors : warnings).emplace_back(text);
        return MsgResult::Ok;
    }
    std::vector<std::string> errors, warnings;

private:
    Notifier* previous_;
};

// A number of a table: as ExactText writes it, the words of values that are
// not finite included.
bool TableNumber(std::string_view text, double& value) {
    if (fileio::ParseDouble(text, value)) return true;
    if (text == "NAN") return value = std::numeric_limits<double>::quiet_NaN(), true;
    if (text == "INF") return value = std::numeric_limits<double>::infinity(), true;
    if (text == "-INF") return value = -std::numeric_limits<double>::infinity(), true;
    return false;
}

// The fields of one line of a tab-separated table, or of a CSV record.
class TableLines {
public:
    TableLines(const std::string& fileName, bool tabs) : in_(fileName, std::ios::binary), tabs_(tabs) {
        if (!in_) throw InOutErrorFromErrno(errno);
    }
    bool Next(std::vector<std::string>& fields, int& line) {
        if (!tabs_) return fileio::ReadCsvRecord(in_, fields, line_, line);
        std::string text;
        if (!std::getline(in_, text)) return false;
        line = ++line_;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        fields.clear();
        for (std::size_t start = 0;;) {
            const std::size_t tab = text.find('\t', start);
            fields.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        return true;
    }

private:
    std::ifstream in_;
    bool tabs_;
    int line_ = 0;
};

void CsvHeader(RecordTable& table, TableLines& lines, const std::string& subject) {
    std::vector<std::string> fields;
    int line = 0;
    if (!lines.Next(fields, line) || fields.empty() || fields[0] != "Time")
        throw ETableFileError(subject + " line 1: the first line must name the columns, 'Time' first");
    for (std::size_t i = 1; i < fields.size(); ++i) {
        table.Symbols.push_back(fields[i]);
        std::string name;
        try {
            const Variable v = FindVariable(fields[i], {VarKind::Driver, VarKind::State, VarKind::Process}, "");
            name = TableFor({v}).Names.front();
        } catch (const std::invalid_argument&) {
            // A column of another program: kept, without a name.
        }
        table.Names.push_back(name);
    }
    if (!lines.Next(fields, line) || fields.size() != table.Symbols.size() + 1)
        throw ETableFileError(subject + " line 2: a line of units must follow the line of symbols");
    table.Units.assign(fields.begin() + 1, fields.end());
}

// The titles of an output file stand in columns of 26 characters, one for
// the time and one for every value: a file of another shape is not one this
// model wrote, and its numbers would be read into the wrong columns.
void CheckOutputTitles(const std::string& fileName, const std::string& subject) {
    constexpr std::size_t width = 26;
    std::ifstream in(fileName, std::ios::binary);
    std::string titles;
    if (!in || !std::getline(in, titles)) return;  // left to the reader to report
    if (!titles.empty() && titles.back() == '\r') titles.pop_back();
    const std::size_t columns = 1 + OutputColumns().size();
    if (titles.size() != columns * width)
        throw ETableFileError(subject + " line 1: " + std::to_string((titles.size() + width - 1) / width) +
                              " column titles where an output file of this model has " + std::to_string(columns));
}

}  // namespace

RecordTable ReadOutputTable(const std::string& fileName) {
    const std::string subject = "output file " + Quoted(fileName);
    if (const std::string problem = PlaceProblem(fileName); !problem.empty())
        throw ETableFileError(subject + ": " + problem);
    RecordTable table = TableFor(OutputColumns());
    CheckOutputTitles(fileName, subject);
    try {
        ErrorCollector errors;
        fileio::OutputReader reader(fileName);
        driverarray drivers = Drivers;
        statearray states = States;
        processarray processes = Processes;
        double time = 0.0;
        const int numStates = ModelDef.NumStates, numProcesses = ModelDef.NumProcesses;
        while (reader.ReadRecord(time, drivers, numStates, states, numProcesses, processes)) {
            table.Times.push_back(time);
            for (int i = 1; i <= ModelDef.NumDrivers; ++i) table.Values.push_back(drivers[i].Value);
            for (int i = 1; i <= numStates; ++i) table.Values.push_back(states[i].Value);
            for (int i = numStates + 1; i <= numProcesses; ++i) table.Values.push_back(processes[i].Value);
        }
    } catch (const std::exception& e) {
        throw ETableFileError(FailureSubject(subject, e) + ", record " + std::to_string(table.Rows() + 1) + ": " +
                              e.what());
    }
    return table;
}

RecordTable ReadCsvTable(const std::string& fileName) {
    const std::string subject = "table " + Quoted(fileName);
    if (const std::string problem = PlaceProblem(fileName); !problem.empty())
        throw ETableFileError(subject + ": " + problem);
    RecordTable table;
    try {
        const bool tabs = fileName.size() > 4 && fileName.compare(fileName.size() - 4, 4, ".tsv") == 0;
        TableLines lines(fileName, tabs);
        CsvHeader(table, lines, subject);
        std::vector<std::string> fields;
        int line = 0;
        while (lines.Next(fields, line)) {
            if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
            if (fields.size() != table.Width() + 1)
                throw ETableFileError(subject + " line " + std::to_string(line) + ": " + std::to_string(fields.size()) +
                                      " fields where the header has " + std::to_string(table.Width() + 1));
            for (std::size_t i = 0; i < fields.size(); ++i) {
                double value = 0.0;
                if (!TableNumber(fields[i], value))
                    throw ETableFileError(subject + " line " + std::to_string(line) + ", column " +
                                          std::to_string(i + 1) + ": " + Quoted(fields[i]) + " is not a number");
                (i == 0 ? table.Times : table.Values).push_back(value);
            }
        }
    } catch (const EInOutError& e) {
        throw ETableFileError(subject + ": " + e.what());
    }
    return table;
}

ParamValues ReadParamValues(const std::string& fileName, std::vector<std::string>& warnings) {
    const std::string subject = "parameter file " + Quoted(fileName);
    if (const std::string problem = PlaceProblem(fileName); !problem.empty())
        throw ETableFileError(subject + ": " + problem);
    statearray states = States;
    paramarray params = Params;
    ErrorCollector messages;
    try {
        if (!ReadParamFile(fileName, ModelDef.NumParams, params, ModelDef.NumStates, states)) {
            std::string text = subject;
            for (const std::string& error : messages.errors) text += ": " + error;
            throw ETableFileError(text);
        }
        warnings = ParamFileWarnings(fileName, subject);
    } catch (const EInOutError& e) {
        throw ETableFileError(FailureSubject(subject, e) + ": " + e.what());
    }
    for (std::string& text : messages.warnings) warnings.push_back(std::move(text));
    ParamValues values;
    for (int i = 1; i <= ModelDef.NumStates; ++i) values.States.push_back(states[i].Value);
    for (int i = 1; i <= ModelDef.NumParams; ++i) values.Params.push_back(params[i].Value);
    return values;
}

void WriteParamValues(const std::string& fileName, const ParamValues& values) {
    const std::string subject = "parameter file " + Quoted(fileName);
    if (values.States.size() != static_cast<std::size_t>(ModelDef.NumStates) ||
        values.Params.size() != static_cast<std::size_t>(ModelDef.NumParams))
        throw ETableFileError(subject + ": the values must hold " + std::to_string(ModelDef.NumStates) +
                              " states and " + std::to_string(ModelDef.NumParams) + " parameters");
    statearray states = States;
    paramarray params = Params;
    for (int i = 1; i <= ModelDef.NumStates; ++i) states[i].Value = values.States[static_cast<std::size_t>(i - 1)];
    for (int i = 1; i <= ModelDef.NumParams; ++i) params[i].Value = values.Params[static_cast<std::size_t>(i - 1)];
    ErrorCollector messages;
    try {
        WriteParamFile(fileName, ModelDef.NumParams, params, ModelDef.NumStates, states);
    } catch (const std::exception& e) {
        throw ETableFileError(subject + ": " + e.what());
    }
}
