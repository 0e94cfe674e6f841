#include "cli/model_batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "cli/list_variables.h"
#include "core/notify.h"
#include "fileio/file_access.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "model/new_year.h"
#include "run/run_checks.h"
#include "run/run_options.h"
#include "run/session.h"

namespace {

constexpr const char* Program = "modelbatch";

// ---- Ctrl+C ----

volatile std::sig_atomic_t interrupted = 0;

// A second Ctrl+C ends the program at once: the first one is only looked at
// between two steps, and a program waiting to open a pipe never gets there.
extern "C" void OnInterrupt(int) {
    if (interrupted) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
    interrupted = 1;
}

// Ctrl+C cancels the run after the step in progress, like the Cancel button
// of the window. The handler only raises the flag; the run looks at it.
class InterruptGuard {
public:
    InterruptGuard() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        installed_ = sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptGuard() {
        if (installed_) sigaction(SIGINT, &previous_, nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

// ---- Messages ----

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// Messages of the engine (file readers) go to stderr after the program's
// name and, while a file is being read, the file's name.
class BatchNotifier final : public Notifier {
public:
    BatchNotifier(std::ostream& err, bool quiet) : err_(err), quiet_(quiet), previous_(SetNotifier(this)) {}
    ~BatchNotifier() override { SetNotifier(previous_); }
    BatchNotifier(const BatchNotifier&) = delete;
    BatchNotifier& operator=(const BatchNotifier&) = delete;

    void SetContext(std::string context) { context_ = std::move(context); }

    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override {
        if (kind == MsgKind::Error) {
            err_ << Program << ": ";
            if (!context_.empty()) err_ << context_ << ": ";
            err_ << text << '\n';
        } else if (!quiet_) {
            err_ << Program << ": " << (kind == MsgKind::Warning ? "warning: " : "") << text << '\n';
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }

private:
    std::ostream& err_;
    bool quiet_;
    Notifier* previous_;
    std::string context_;
};

// A failure of the command line itself: reported with the option it concerns.
struct UsageError {
    std::string message;
};

// ---- Progress ----

class BatchObserver final : public RunObserver {
public:
    BatchObserver(std::ostream& err, bool showProgress) : err_(err), showProgress_(showProgress) {}

    void RunStarting() override { lastDrawn_ = std::chrono::steady_clock::now(); }

    void Progress(int percent, double timeReached) override {
        if (!showProgress_) return;
        // At most ten updates a second, and none for a run that is over sooner.
        const auto now = std::chrono::steady_clock::now();
        if (now - lastDrawn_ < std::chrono::milliseconds(100)) return;
        lastDrawn_ = now;
        constexpr int width = 40;
        const int filled = percent * width / 100;
        err_ << '\r' << Program << ": [" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << percent << "%  time "
             << ShortNumber(timeReached) << "   " << std::flush;
        drawn_ = true;
    }

    bool CancelRequested() override { return interrupted != 0; }

    void RunFinished() override {
        if (!drawn_) return;
        err_ << '\r' << std::string(79, ' ') << '\r' << std::flush;
        drawn_ = false;
    }

private:
    std::ostream& err_;
    bool showProgress_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDrawn_;
};

// ---- Options ----

struct BatchOptions {
    std::string paramFile, driverFile, outputFile;
    std::string start = "1", stop = "2", step = "1";
    std::optional<std::string> outputEvery, offset, repeatDrivers, resetStates, steadyState, ssTime;
    bool endOnly = false;
    std::vector<std::string> reset, hold;
    std::optional<std::string> saveParams;
    bool listVariables = false, version = false, stats = false, quiet = false;
};

double TimeOption(const char* name, const std::string& text) {
    try {
        return TextToFloat(text);
    } catch (const EConvertError& e) {
        throw UsageError{std::string(name) + ": " + e.what()};
    }
}

// A period option goes through the options dialog's own entry; the command
// line also refuses a period the run could not use.
void PeriodOption(const char* name, const std::optional<std::string>& text,
                  std::string (*enter)(TRunOptions&, std::string_view), bool TRunOptions::*option,
                  std::int32_t TRunOptions::*period) {
    if (!text) return;
    const std::string prefix = std::string(name) + " " + *text + ": ";
    const std::string warning = enter(RunOptions, *text);
    if (!warning.empty()) throw UsageError{prefix + warning};
    if (!(RunOptions.*option) || RunOptions.*period <= 0)
        throw UsageError{prefix + "the period must be a whole number greater than 0"};
}

void SetFlags(const char* name, const std::vector<std::string>& symbols, bool Tstatevariable::*flag) {
    for (const std::string& symbol : symbols) {
        const std::int32_t i = FindSymbol(1, symbol);
        if (i == 0) throw UsageError{std::string(name) + ": unknown state variable " + Quoted(symbol)};
        States[i].*flag = true;
    }
}

// Puts the times and the run options in force, as the main window and the
// options dialog would. Throws UsageError.
void ApplyOptions(const BatchOptions& o) {
    const double start = TimeOption("--start", o.start);
    const double stop = TimeOption("--stop", o.stop);
    const double step = TimeOption("--step", o.step);
    try {
        CheckRunTimes(start, stop, step);
    } catch (const ERunRefused& e) {
        throw UsageError{(e.Entry == RunEntry::StopTime ? "--stop " + o.stop : "--step " + o.step) + ": " + e.Reason};
    }
    StartSession(start, stop, step);
    CurrentTime = StartTime;

    RunOptions.NormalRun = !(o.repeatDrivers || o.resetStates || o.steadyState || o.ssTime);

    if (o.outputEvery) {
        const std::string warning = EnterOutputTimeStep(RunOptions, *o.outputEvery);
        if (!warning.empty()) throw UsageError{"--output-every " + *o.outputEvery + ": " + warning};
    }
    if (o.offset) {
        const std::string warning = EnterOutputOffset(RunOptions, *o.offset);
        if (!warning.empty()) throw UsageError{"--offset " + *o.offset + ": " + warning};
    } else if (StartTime < 0.0) {
        // Without an offset the records start with the run, at negative times too.
        RunOptions.OutputOffset = StartTime;
    }
    RunOptions.OutputEndOfRunOnly = o.endOnly;

    PeriodOption("--repeat-drivers", o.repeatDrivers, &EnterRepeatDriveTime, &TRunOptions::RepeatDrivers,
                 &TRunOptions::RepeatDriveTime);
    if (RunOptions.RepeatDrivers && RunOptions.RepeatDriveTime < StartTime)
        throw UsageError{"--repeat-drivers " + *o.repeatDrivers +
                         ": the drivers would repeat before the start time " + ShortNumber(StartTime)};
    PeriodOption("--reset-states", o.resetStates, &EnterResetStateTime, &TRunOptions::ResetStates,
                 &TRunOptions::ResetStateTime);

    if (o.steadyState.has_value() != o.ssTime.has_value())
        throw UsageError{o.steadyState ? "--steady-state needs --ss-time" : "--ss-time needs --steady-state"};
    if (o.steadyState) {
        const std::string prefix = "--steady-state " + *o.steadyState + ": ";
        const std::string warning = EnterSSCriteria(RunOptions, *o.steadyState);
        if (!warning.empty()) throw UsageError{prefix + warning};
        if (!RunOptions.RunToSS || !(RunOptions.SSCriteria > 0.0))
            throw UsageError{prefix + "the percentage must be greater than 0"};
        PeriodOption("--ss-time", o.ssTime, &EnterSSTime, &TRunOptions::RunToSS, &TRunOptions::SSTime);
    }

    for (int i = 1; i <= MaxStates; ++i) States[i].HoldConstant = States[i].Reset = false;
    SetFlags("--reset", o.reset, &Tstatevariable::Reset);
    SetFlags("--hold", o.hold, &Tstatevariable::HoldConstant);
}

// A file the program writes must not be one it reads from. Throws UsageError.
void CheckFilesApart(const BatchOptions& o) {
    try {
        CheckRunFiles(o.paramFile, o.driverFile, o.outputFile);
        if (o.saveParams) CheckSavedParamFile(*o.saveParams, o.driverFile, o.outputFile);
    } catch (const ERunRefused& e) {
        const bool output = e.Entry == RunEntry::OutputFile;
        throw UsageError{(output ? "output file " + Quoted(o.outputFile) : "--save-params " + Quoted(*o.saveParams)) +
                         " " + e.Reason};
    }
}

std::string FailurePlace(const RunStatistics& stats, const BatchOptions& o) {
    return RunFailurePlace(stats, o.driverFile, o.outputFile);
}

// Seconds with three decimals, as "0.305 s".
std::string Seconds(double s) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, s, std::chars_format::fixed, 3);
    return std::string(text, end.ptr) + " s";
}

void PrintSummary(std::ostream& out, const RunStatistics& stats, const BatchOptions& o) {
    out << Program << ": " << stats.Steps << (stats.Steps == 1 ? " step" : " steps") << ", time reached "
        << ShortNumber(stats.TimeReached) << ", " << stats.RecordsWritten
        << (stats.RecordsWritten == 1 ? " record" : " records") << " written to " << Quoted(o.outputFile);
    if (stats.SteadyState) out << ", steady state reached";
    if (stats.Cancelled) out << ", cancelled";
    if (stats.Failed) out << ", failed";
    out << ", " << Seconds(stats.SecondsTotal) << '\n';
}

void PrintStatistics(std::ostream& out, const RunStatistics& stats) {
    out << "integrator steps accepted   " << stats.AcceptedSteps << '\n'
        << "integrator steps shrunk     " << stats.ShrunkSteps << '\n'
        << "model evaluations           " << stats.ModelEvaluations << '\n'
        << "wall time integrating       " << Seconds(stats.SecondsIntegrating) << '\n'
        << "wall time writing output    " << Seconds(stats.SecondsWriting) << '\n'
        << "wall time in total          " << Seconds(stats.SecondsTotal) << '\n';
}

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
    app.add_option("--reset", o.reset, "States to reset periodically")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("SYM[,SYM...]");
    app.add_option("--hold", o.hold, "States to hold constant")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("SYM[,SYM...]");
    app.add_option("--steady-state", o.steadyState,
                   "Stop when no positive state changed by more than PERCENT % over --ss-time")
        ->type_name("PERCENT");
    app.add_option("--ss-time", o.ssTime, "Time units between two steady-state checks")->type_name("N");
    app.add_option("--save-params", o.saveParams,
                   "After a completed run, write a parameter file with the values then in force")
        ->type_name("FILE");
    app.add_flag("--list-variables", o.listVariables,
                 "Print every state, process, parameter and driver with its symbol, and stop");
    app.add_flag("--stats", o.stats, "Print the integrator's and the run's work after the run");
    app.add_flag("--version", o.version, "Print the model's name and version, and stop");
    app.add_flag("-q,--quiet", o.quiet, "Print nothing but errors (and what --stats asks for)");
    app.footer(
        "Times are in the model's time unit. The run stops at the last whole step before the stop time.\n"
        "Ctrl+C ends the run after the step in progress; the records written so far stay in the output file.\n"
        "A second Ctrl+C ends the program at once.\n"
        "Exit status: 0 done, 1 a file or the run failed, 2 wrong command line, 130 interrupted.");
}

int Run(const BatchOptions& o, std::ostream& out, std::ostream& err, const BatchEnvironment& env) {
    if (o.version) {
        out << ModelDef.Name << ' ' << ModelDef.Version << '\n';
        return 0;
    }
    if (o.listVariables) {
        ListVariables(out);
        return 0;
    }
    if (o.paramFile.empty() || o.driverFile.empty() || o.outputFile.empty()) {
        err << Program << ": PARAMFILE, DRIVERFILE and OUTPUTFILE are required\n"
            << "Run with --help for more information.\n";
        return ExitUsage;
    }

    try {
        CheckFilesApart(o);
        ApplyOptions(o);
    } catch (const UsageError& e) {
        err << Program << ": " << e.message << '\n';
        return ExitUsage;
    }
    const auto warn = [&](const std::string& text) {
        if (!o.quiet) err << Program << ": warning: " << text << '\n';
    };
    if (!o.reset.empty() && !RunOptions.ResetStates) warn("--reset has no effect without --reset-states");
    if (RunOptions.ResetStates && o.reset.empty()) warn("--reset-states resets nothing: no state is named by --reset");
    if (std::string text = RunLengthWarning(StartTime, StopTime, TimeStep); !text.empty()) {
        if (RunOptions.OutputEndOfRunOnly) text += " and --end-only writes no record";
        warn(text);
    }

    BatchNotifier notifier(err, o.quiet);
    InterruptGuard interrupt;

    // Parameter file: initial states and parameters.
    notifier.SetContext("parameter file " + Quoted(o.paramFile));
    try {
        NewYear = false;
        if (!ReadParamFile(o.paramFile, ModelDef.NumParams, Params, ModelDef.NumStates, States)) return ExitFailure;
    } catch (const std::exception& e) {
        err << Program << ": parameter file " << Quoted(o.paramFile) << ": " << e.what() << '\n';
        return ExitFailure;
    }
    // A driver file that cannot be read is reported before the output file is replaced.
    notifier.SetContext("driver file " + Quoted(o.driverFile));
    try {
        // The driver file is read again from its start at every run, which a
        // pipe cannot be (opening one would also wait for a writer), and a
        // device has no start and end of its own (/dev/zero has no line end).
        struct stat st {};
        if (::stat(o.driverFile.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            throw InOutErrorFromErrno(ESPIPE);
        const int fd = fileio::OpenForReading(o.driverFile);
        ::close(fd);
    } catch (const std::exception& e) {
        err << Program << ": driver file " << Quoted(o.driverFile) << ": " << e.what() << '\n';
        return ExitFailure;
    }
    if (interrupted) {
        if (!o.quiet) err << Program << ": interrupted before the run\n";
        return ExitCancelled;
    }

    DriverFileName = o.driverFile;
    OutputFileName = o.outputFile;
    ParamFileName = o.paramFile;
    BatchObserver observer(err, env.ProgressOnTerminal && !o.quiet);
    RunStatistics stats;
    int status = 0;
    try {
        RunModel(observer, RunMode::Quiet, stats, env.Evaluate);
    } catch (const std::exception& e) {
        err << Program << ": " << FailurePlace(stats, o) << ": " << e.what() << '\n';
        status = ExitFailure;
    }
    notifier.SetContext({});
    if (stats.Cancelled) {
        if (!o.quiet) err << Program << ": interrupted at time " << ShortNumber(stats.TimeReached) << '\n';
        status = ExitCancelled;
    }

    if (status == 0 && o.saveParams) {
        notifier.SetContext("parameter file " + Quoted(*o.saveParams));
        try {
            WriteParamFile(*o.saveParams, ModelDef.NumParams, Params, ModelDef.NumStates, States);
        } catch (const std::exception& e) {
            err << Program << ": parameter file " << Quoted(*o.saveParams) << ": " << e.what() << '\n';
            status = ExitFailure;
        }
    }
    if (!o.quiet) PrintSummary(out, stats, o);
    if (o.stats) PrintStatistics(out, stats);
    return status;
}

}  // namespace

int RunModelBatch(int argc, char** argv, std::ostream& out, std::ostream& err, const BatchEnvironment& env) {
    CLI::App app{"Runs the Ostrel forest ecosystem model from a parameter file and a driver file into an output file.",
                 Program};
    BatchOptions options;
    BuildCommandLine(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << Program << ": " << e.what() << '\n' << "Run with --help for more information.\n";
        return ExitUsage;
    }
    DefineModel();
    return Run(options, out, err, env);
}
