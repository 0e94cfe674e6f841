// The command line of modelbatch: its options, and how they become the run
// settings in force (the times, RunOptions, the hold and reset flags).
#pragma once

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cmdline/symbols.h"
#include "cmdline/table_output.h"
#include "run/metrics.h"

// The command-line library stays out of this header: a unit that includes
// it compiles for a long time, and modelbatch's run needs none of it.
namespace CLI {
class App;
class ParseError;
}  // namespace CLI

struct BatchOptions {
    std::string paramFile, driverFile, outputFile;
    std::string start = "1", stop = "2", step = "1";
    std::optional<std::string> outputEvery, offset, repeatDrivers, resetStates, steadyState, ssTime;
    bool endOnly = false;
    std::vector<std::string> reset, hold, columns;
    std::string format = "model";
    std::optional<std::string> saveParams;
    std::vector<std::string> listSymbols;
    bool listVariables = false, version = false, stats = false, budget = false, quiet = false, strict = false;
    // Ensembles: values set after the parameter file is read, metrics of the
    // records, the shared results file and this run's id in it.
    std::vector<std::string> sets, metrics;
    std::optional<std::string> metricsOut;
    std::string member;
    bool noOutput = false;
};

// A failure of the command line itself: reported with the option it
// concerns. One of the std::exception family, as every failure the command
// lines report.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void BuildCommandLine(CLI::App& app, BatchOptions& o);

// What a parse failure of CLI11 means in this program's words: an unknown
// option with the nearest known one, or the files counted.
std::string ParseFailure(const CLI::App& app, const CLI::ParseError& e, int argc, char** argv);

// Parses the command line. Nothing when the program goes on; otherwise the
// exit status after the help went to `out` (0) or the reason for refusing
// the line, with `program` before it, to `err` (2).
std::optional<int> ParseOrExit(CLI::App& app, int argc, char** argv, std::ostream& out, std::ostream& err,
                               const char* program);

// modelbatch's whole command line into `o`, as ParseOrExit.
std::optional<int> ParseBatchCommandLine(int argc, char** argv, BatchOptions& o, std::ostream& out, std::ostream& err,
                                         const char* program);

// Puts the times and the run options in force. Throws UsageError.
void ApplyOptions(const BatchOptions& o);

// The output format asked for, and the columns of a table (all of them when
// --columns is not given). Throws UsageError.
TableFormat FormatOf(const BatchOptions& o);
std::vector<Variable> TableColumns(const BatchOptions& o);

// The --set values: parameters and states with the numbers to give them.
// Throws UsageError.
std::vector<std::pair<Variable, double>> SetValues(const BatchOptions& o);
// The --metric definitions, their columns among a record's values.
// Throws UsageError.
std::vector<MetricDefinition> MetricDefinitions(const BatchOptions& o);
