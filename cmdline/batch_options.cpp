#include "cmdline/batch_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include <cmath>
#include <stdexcept>

#include "model/equations.h"
#include "run/run_checks.h"
#include "run/run_options.h"
#include "run/session.h"

namespace {

std::string Named(const char* option, const std::string& text) { return std::string(option) + " " + text; }

double NumberOption(const char* option, const std::string& text) {
    try {
        return TextToFloat(text);
    } catch (const EConvertError&) {
        throw UsageError{Named(option, text) + ": must be a number"};
    }
}

// A period of the special runs: a whole number of time units above 0.
std::int32_t PeriodOption(const char* option, const std::string& text) {
    std::int32_t period = 0;
    try {
        period = TextToInt(text);
    } catch (const EConvertError&) {
    }
    if (period <= 0) throw UsageError{Named(option, text) + ": must be a whole number greater than 0"};
    return period;
}

void SetFlags(const char* option, const std::vector<std::string>& symbols, bool Tstatevariable::*flag) {
    for (const std::string& symbol : symbols) {
        try {
            States[FindVariable(symbol, {VarKind::State}, std::string(option) + " takes state variables").index].*flag =
                true;
        } catch (const std::invalid_argument& e) {
            throw UsageError{std::string(option) + ": " + e.what()};
        }
    }
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
    return text;
}

void ApplyOutputOptions(const BatchOptions& o) {
    RunOptions.OutputEndOfRunOnly = o.endOnly;
    if (o.outputEvery) {
        const double every = NumberOption("--output-every", *o.outputEvery);
        const std::string subject = Named("--output-every", *o.outputEvery);
        if (every < TimeStep) throw UsageError{subject + ": must be at least the time step " + ShortNumber(TimeStep)};
        if (every > StopTime - StartTime)
            throw UsageError{subject + ": must not be longer than the run, " + ShortNumber(StopTime - StartTime)};
        const double steps = every / TimeStep;
        if (std::fabs(steps - std::nearbyint(steps)) > 0.001)
            throw UsageError{subject + ": must be a whole multiple of the time step " + ShortNumber(TimeStep)};
        RunOptions.OutputTimeStep = every;
    }
    if (o.offset) {
        const double offset = NumberOption("--offset", *o.offset);
        if (offset > StopTime)
            throw UsageError{Named("--offset", *o.offset) + ": must not be after the stop time " + ShortNumber(StopTime)};
        RunOptions.OutputOffset = offset;
    } else if (StartTime < 0.0) {
        // Without an offset the records start with the run, at negative times too.
        RunOptions.OutputOffset = StartTime;
    }
}

void ApplySpecialRun(const BatchOptions& o) {
    if (o.repeatDrivers) {
        RunOptions.RepeatDrivers = true;
        RunOptions.RepeatDriveTime = PeriodOption("--repeat-drivers", *o.repeatDrivers);
        if (RunOptions.RepeatDriveTime < StartTime)
            throw UsageError{Named("--repeat-drivers", *o.repeatDrivers) +
                             ": the drivers would repeat before the start time " + ShortNumber(StartTime)};
    }
    if (!o.reset.empty() && !o.resetStates)
        throw UsageError{Named("--reset", Joined(o.reset)) + " needs --reset-states P, the period of the reset"};
    if (o.resetStates) {
        if (o.reset.empty())
            throw UsageError{Named("--reset-states", *o.resetStates) + " needs --reset SYM[,SYM...], the states to reset"};
        RunOptions.ResetStates = true;
        RunOptions.ResetStateTime = PeriodOption("--reset-states", *o.resetStates);
    }
    if (o.steadyState && !o.ssTime)
        throw UsageError{Named("--steady-state", *o.steadyState) + " needs --ss-time N, the time between two checks"};
    if (o.ssTime && !o.steadyState)
        throw UsageError{Named("--ss-time", *o.ssTime) + " needs --steady-state PERCENT, the change allowed"};
    if (o.steadyState) {
        const double percent = NumberOption("--steady-state", *o.steadyState);
        if (!(percent > 0.0))
            throw UsageError{Named("--steady-state", *o.steadyState) + ": must be a percentage greater than 0"};
        RunOptions.RunToSS = true;
        RunOptions.SSCriteria = percent / 100.0;
        RunOptions.SSTime = PeriodOption("--ss-time", *o.ssTime);
    }
    RunOptions.NormalRun = !(RunOptions.RepeatDrivers || RunOptions.ResetStates || RunOptions.RunToSS);
}

}  // namespace

void BuildCommandLine(CLI::App& app, BatchOptions& o) {
    app.add_option("PARAMFILE", o.paramFile, "Parameter file: initial states and parameters");
    app.add_option("DRIVERFILE", o.driverFile, "Driver file: the time series of the drivers");
    app.add_option("OUTPUTFILE", o.outputFile, "Output file to write (replaced)");
    app.add_option("--start", o.start, "Start time (default 1)")->type_name("T");
    app.add_option("--stop", o.stop, "Stop time (default 2)")->type_name("T");
    app.add_option("--step", o.step, "Time step (default 1)")->type_name("T");
    auto* every = app.add_option("--output-every", o.outputEvery,
                                 "Write a record every N time units, a whole multiple of the step (default: the step)")
                      ->type_name("N");
    auto* offset = app.add_option("--offset", o.offset, "No records for steps that begin before time T")->type_name("T");
    app.add_flag("--end-only", o.endOnly, "Write only the record at the end of the run")->excludes(every)->excludes(offset);
    app.add_option("--repeat-drivers", o.repeatDrivers,
                   "Read the driver file again from its first record after driver time P")
        ->type_name("P");
    app.add_option("--reset-states", o.resetStates,
                   "Every P time units reset the states named by --reset to their starting values")
        ->type_name("P");
    app.add_option("--reset", o.reset, "States to reset periodically (one comma-separated list; repeatable)")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("SYM[,SYM...]");
    app.add_option("--hold", o.hold, "States to hold constant (one comma-separated list; repeatable)")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("SYM[,SYM...]");
    app.add_option("--steady-state", o.steadyState,
                   "Stop when no positive state changed by more than PERCENT % over --ss-time")
        ->type_name("PERCENT");
    app.add_option("--ss-time", o.ssTime, "Time units between two steady-state checks")->type_name("N");
    app.add_option("--format", o.format,
                   "Output format: model (the model's output file, all columns; default), csv or tsv")
        ->check(CLI::IsMember({"model", "csv", "tsv"}))
        ->type_name("FORMAT");
    app.add_option("--columns", o.columns, "With --format csv or tsv: only these columns after the time")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("SYM[,SYM...]");
    app.add_option("--save-params", o.saveParams,
                   "After a completed run, write a parameter file with the values then in force")
        ->type_name("FILE");
    app.add_flag("--strict", o.strict,
                 "Refuse the run where the files would only be warned about (parameter names, driver times)");
    app.add_option("--list-variables", o.listSymbols,
                   "Print the named variables (all without a symbol) with their symbols, and stop")
        ->expected(0, CLI::detail::expected_max_vector_size)
        ->type_name("[SYM...]");
    app.add_option("--set", o.sets, "Give a parameter or state this value after the parameter file is read (repeatable)")
        ->allow_extra_args(false)
        ->type_name("SYM=VALUE");
    app.add_option("--metric", o.metrics,
                   "A result of the run's records: KIND(SYM) or KIND(SYM)@FROM..TO, KIND one of mean, min, max, "
                   "first, last, integral (repeatable)")
        ->allow_extra_args(false)
        ->type_name("METRIC");
    app.add_option("--metrics-out", o.metricsOut,
                   "Append the metrics as one CSV row (member, status, metrics) to this file, under a lock")
        ->type_name("FILE");
    app.add_option("--member", o.member, "The run's id in the --metrics-out file")->type_name("ID");
    app.add_flag("--no-output", o.noOutput, "Write no output file (leave OUTPUTFILE out); for --metric runs");
    app.add_flag("--budget", o.budget, "Print the run's carbon, nitrogen and water budget after the run");
    app.add_flag("--stats", o.stats, "Print the integrator's and the run's work after the run");
    app.add_flag("--version", o.version, "Print the model's name and version, and stop");
    app.add_flag("-q,--quiet", o.quiet, "Print nothing but errors (and what --stats asks for)");
    app.footer(
        "Times are in the model's time unit. The run stops at the last whole step before the stop time.\n"
        "A symbol that several variables share is written SYM.KINDINDEX (Ts.driver4, RrmetL.process100).\n"
        "Ctrl+C ends the run after the step in progress; the records written so far stay in the output file.\n"
        "A second Ctrl+C ends the program at once.\n"
        "Exit status: 0 done, 1 a file or the run failed, 2 wrong command line, 130 interrupted, 143 stopped by "
        "SIGTERM.");
}

std::optional<int> ParseBatchCommandLine(int argc, char** argv, BatchOptions& o, std::ostream& out, std::ostream& err,
                                         const char* program) {
    CLI::App app{"Runs the Ostrel forest ecosystem model from a parameter file and a driver file into an output file.",
                 program};
    BuildCommandLine(app, o);
    if (const auto exit = ParseOrExit(app, argc, argv, out, err, program)) return exit;
    o.listVariables = app.count("--list-variables") > 0;
    return std::nullopt;
}

std::optional<int> ParseOrExit(CLI::App& app, int argc, char** argv, std::ostream& out, std::ostream& err,
                               const char* program) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << program << ": " << ParseFailure(app, e, argc, argv) << '\n' << "Run with --help for more information.\n";
        return 2;
    }
    return std::nullopt;
}

std::string ParseFailure(const CLI::App& app, const CLI::ParseError& e, int argc, char** argv) {
    // An argument that looks like an option but is none: named, with the
    // nearest option.
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--") break;
        if (arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.') continue;
        arg = arg.substr(0, arg.find('='));
        bool known = false;
        std::string nearest;
        std::size_t best = 3;
        // The options of the subcommands (ostrel-drivers import ...) count too.
        std::vector<const CLI::Option*> options = app.get_options();
        for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
            for (const CLI::Option* option : sub->get_options()) options.push_back(option);
        for (const CLI::Option* option : options) {
            for (const std::string& name : option->get_lnames()) {
                known = known || arg == "--" + name;
                if (const std::size_t d = EditDistance(arg, "--" + name); d < best) best = d, nearest = "--" + name;
            }
            for (const std::string& name : option->get_snames()) known = known || arg == "-" + name;
        }
        if (arg == "-h" || arg == "--help") known = true;
        if (!known)
            return "unknown option '" + arg + "'" + (nearest.empty() ? "" : "; did you mean " + nearest + "?");
    }
    // The hint on the files is modelbatch's own: the other programs share this parser.
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr && app.get_name() == "modelbatch")
        return std::string(e.what()) +
               " (modelbatch takes three files, PARAMFILE DRIVERFILE OUTPUTFILE; --hold, --reset and --columns take "
               "one comma-separated list each)";
    return e.what();
}

void ApplyOptions(const BatchOptions& o) {
    const double start = NumberOption("--start", o.start);
    const double stop = NumberOption("--stop", o.stop);
    const double step = NumberOption("--step", o.step);
    try {
        CheckRunTimes(start, stop, step);
    } catch (const ERunRefused& e) {
        throw UsageError{(e.Entry == RunEntry::StopTime ? "--stop " + o.stop : "--step " + o.step) + ": " + e.Reason};
    }
    StartSession(start, stop, step);
    CurrentTime = StartTime;
    ApplyOutputOptions(o);
    ApplySpecialRun(o);
    for (int i = 1; i <= MaxStates; ++i) States[i].HoldConstant = States[i].Reset = false;
    SetFlags("--reset", o.reset, &Tstatevariable::Reset);
    SetFlags("--hold", o.hold, &Tstatevariable::HoldConstant);
    FormatOf(o);
    TableColumns(o);
}

TableFormat FormatOf(const BatchOptions& o) {
    if (o.format == "csv") return TableFormat::Csv;
    if (o.format == "tsv") return TableFormat::Tsv;
    if (!o.columns.empty())
        throw UsageError{"--columns needs --format csv or --format tsv: the model's output file always holds all " +
                         std::to_string(1 + OutputColumns().size()) + " columns"};
    return TableFormat::Model;
}

std::vector<Variable> TableColumns(const BatchOptions& o) {
    if (o.columns.empty()) return OutputColumns();
    std::vector<Variable> columns;
    for (const std::string& symbol : o.columns) {
        Variable v{};
        try {
            v = FindVariable(symbol, {VarKind::Driver, VarKind::State, VarKind::Process},
                             "--columns takes drivers, state variables and process variables");
        } catch (const std::invalid_argument& e) {
            throw UsageError{std::string("--columns: ") + e.what()};
        }
        // A repeated header makes the table ambiguous to every program that reads it by name.
        if (std::find(columns.begin(), columns.end(), v) != columns.end())
            throw UsageError{"--columns: " + QualifiedSymbol(v) + " is named twice; each column is written once"};
        columns.push_back(v);
    }
    return columns;
}

std::vector<std::pair<Variable, double>> SetValues(const BatchOptions& o) {
    std::vector<std::pair<Variable, double>> values;
    for (const std::string& text : o.sets) {
        const auto equals = text.find('=');
        if (equals == std::string::npos) throw UsageError{Named("--set", text) + ": must be SYM=VALUE"};
        const std::string symbol = text.substr(0, equals);
        Variable v{};
        try {
            v = FindVariable(symbol, {VarKind::Parameter, VarKind::State}, "--set takes parameters and state variables");
        } catch (const std::invalid_argument& e) {
            throw UsageError{Named("--set", text) + ": " + e.what()};
        }
        double value = 0;
        try {
            value = TextToFloat(text.substr(equals + 1));
        } catch (const EConvertError&) {
            throw UsageError{Named("--set", text) + ": the value must be a number"};
        }
        if (!std::isfinite(value)) throw UsageError{Named("--set", text) + ": the value must be a finite number"};
        values.emplace_back(v, value);
    }
    return values;
}

std::vector<MetricDefinition> MetricDefinitions(const BatchOptions& o) {
    std::vector<MetricDefinition> definitions;
    const auto columnOf = [](std::string_view symbol) {
        try {
            return OutputPosition(FindVariable(symbol, {VarKind::Driver, VarKind::State, VarKind::Process},
                                               "--metric takes drivers, states and process variables"));
        } catch (const std::invalid_argument& e) {
            throw EMetricError(e.what());
        }
    };
    for (const std::string& text : o.metrics) {
        try {
            definitions.push_back(ParseMetric(text, columnOf));
        } catch (const EMetricError& e) {
            const std::string message = e.what();
            throw UsageError{message.rfind("--metric", 0) == 0 ? message : Named("--metric", text) + ": " + message};
        }
    }
    return definitions;
}
