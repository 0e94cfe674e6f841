#include "cli/model_batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "budget/books.h"
#include "budget/report.h"
#include "checks/driver_checks.h"
#include "checks/run_inputs.h"
#include "cmdline/batch_options.h"
#include "cmdline/input_checks.h"
#include "cmdline/interrupt.h"
#include "cmdline/terminal.h"
#include "cli/list_variables.h"
#include "fileio/csv.h"
#include "fileio/driver_file.h"
#include "cmdline/table_output.h"
#include "core/notify.h"
#include "fileio/file_access.h"
#include "fileio/fileio.h"
#include "fileio/text_reader.h"
#include "model/equations.h"
#include "run/output_lock.h"
#include "run/run_checks.h"
#include "run/run_options.h"
#include "run/session.h"

namespace {

constexpr const char* Program = "modelbatch";

// ---- Messages ----

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// ---- Progress ----

class BatchObserver final : public RunObserver {
public:
    BatchObserver(std::ostream& err, bool showProgress)
        : progress_(err, showProgress, std::chrono::milliseconds(100)) {}

    void RunStarting() override {
        progress_.Start();  // none for a run that is over sooner than an interval
        if (books_) books_->OpenAt(StartTime, States);
    }

    void Progress(int percent, double timeReached) override {
        if (!progress_.Due()) return;  // at most ten updates a second
        constexpr int width = 40;
        const int filled = percent * width / 100;
        progress_.Show(std::string(Program) + ": [" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(width - filled), '.') + "] " + std::to_string(percent) +
                       "%  time " + ShortNumber(timeReached) + "   ");
    }

    bool CancelRequested() override { return Interrupted(); }

    // Records go on to a table of the run's output in CSV or TSV, when there
    // is one: created once the run holds the lock on its file, closed as the
    // run completes.
    void SetTable(std::string fileName, TableFormat format, std::vector<Variable> columns) {
        tableFile_ = std::move(fileName);
        tableFormat_ = format;
        tableColumns_ = std::move(columns);
    }
    std::string RecordsFile() override { return tableFile_; }
    void OpenRecordsFile() override {
        if (!tableFile_.empty()) table_.emplace(tableFile_, tableFormat_, tableColumns_);
    }
    // Records go into the run's metrics, when it has any.
    void SetMetrics(MetricSet* metrics) { metrics_ = metrics; }
    // Records go into the run's budget, when it is asked for.
    void SetBooks(budget::Books* books) { books_ = books; }
    bool WantsRecords() override { return !tableFile_.empty() || metrics_ != nullptr || books_ != nullptr; }
    void RecordWritten(double time, std::span<const double> values) override {
        if (table_) table_->Write(time, values);
        if (metrics_) metrics_->Add(time, values);
        if (books_) books_->Add(time, values);
    }

    // A table that cannot be stored whole fails the run as its output file.
    void RunFinished() override {
        progress_.Clear(79);
        if (!table_) return;
        try {
            table_->Close();
        } catch (...) {
            table_.reset();
            throw;
        }
        table_.reset();
    }

private:
    ProgressLine progress_;
    std::string tableFile_;
    TableFormat tableFormat_ = TableFormat::Model;
    std::vector<Variable> tableColumns_;
    std::optional<TableOutput> table_;
    MetricSet* metrics_ = nullptr;
    budget::Books* books_ = nullptr;
};

// Seconds with three decimals, as "0.305 s".
std::string Seconds(double s) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, s, std::chars_format::fixed, 3);
    return std::string(text, end.ptr) + " s";
}

// A fraction in percent, to 3 significant digits.
std::string Percent(double fraction) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, fraction * 100.0, std::chars_format::general, 3);
    return std::string(text, end.ptr);
}

// How the steady state asked for came out: reached (and when), or the state
// that changed most at the last check.
std::string SteadyStateOutcome(const RunStatistics& stats) {
    if (stats.SteadyState) return ", steady state reached at time " + ShortNumber(stats.SteadyStateTestTime);
    if (stats.SteadyStateTests == 0)
        return ", no steady state: no check was due (one every " + std::to_string(RunOptions.SSTime) + ")";
    std::string text = ", no steady state";
    if (stats.LargestChangeState > 0)
        text += ": at the last check (time " + ShortNumber(stats.SteadyStateTestTime) + ") " +
                std::string(States[stats.LargestChangeState].Symbol) + " changed by " +
                Percent(stats.LargestChange) + " % (more than " +
                Percent(RunOptions.SSCriteria) + " %)";
    return text;
}

void PrintSummary(std::ostream& out, const RunStatistics& stats, const BatchOptions& o) {
    out << Program << ": " << stats.Steps << (stats.Steps == 1 ? " step" : " steps") << ", time reached "
        << ShortNumber(stats.TimeReached) << ", " << stats.RecordsWritten
        << (stats.RecordsWritten == 1 ? " record" : " records") << " written to " << Quoted(o.outputFile);
    if (RunOptions.RunToSS && !stats.Failed && !stats.Cancelled) out << SteadyStateOutcome(stats);
    if (stats.Cancelled) out << (InterruptedStatus() == 128 + SIGTERM ? ", stopped by SIGTERM" : ", cancelled");
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

std::string Place(const std::string& subject, const std::exception& e) { return FailureSubject(subject, e); }

class BatchRun {
public:
    BatchRun(const BatchOptions& o, std::ostream& out, std::ostream& err, const BatchEnvironment& env)
        : o_(o), out_(out), err_(err), env_(env) {}
    int Execute();

private:
    void Warn(const std::string& text) const {
        if (!o_.quiet) err_ << Program << ": warning: " << text << '\n';
    }
    int Fail(const std::string& text) const {
        err_ << Program << ": " << text << '\n';
        return ExitFailure;
    }
    // Warnings about the files, or with --strict the refusal of the run.
    // Those about values are kept as the likely cause of a failing run.
    bool Findings(const std::vector<std::string>& texts) {
        findings_.insert(findings_.end(), texts.begin(), texts.end());
        return Warnings(texts);
    }
    bool Warnings(const std::vector<std::string>& texts) const {
        for (const std::string& text : texts) {
            if (o_.strict) err_ << Program << ": " << text << '\n';
            else Warn(text);
        }
        return !(o_.strict && !texts.empty());
    }
    int CheckPlaces() const;
    int ReadInputs(TerminalNotifier& notifier);
    // The metrics of a run that ended (with `failure` when it failed): one
    // row of the results file, or lines on the standard output. False when a
    // metric has no value or the row could not be written.
    bool ReportMetrics(const MetricSet& metrics, const std::string& failure) const;

    const BatchOptions& o_;
    std::ostream& out_;
    std::ostream& err_;
    const BatchEnvironment& env_;
    // The driver file as the checks read it, records kept, for the run.
    std::unique_ptr<fileio::DriverReader> drivers_;
    std::vector<std::string> findings_;
};

int BatchRun::ReadInputs(TerminalNotifier& notifier) {
    const std::string paramSubject = "parameter file " + Quoted(o_.paramFile);
    notifier.SetContext(paramSubject);
    try {
        if (!ReadParamFile(o_.paramFile, ModelDef.NumParams, Params, ModelDef.NumStates, States)) return ExitFailure;
        if (!Warnings(ParamFileWarnings(o_.paramFile, paramSubject))) return ExitFailure;
    } catch (const std::exception& e) {
        return Fail(Place(paramSubject, e) + ": " + e.what());
    }
    // A driver file that cannot be read is reported before the output file is replaced.
    const std::string driverSubject = "driver file " + Quoted(o_.driverFile);
    notifier.SetContext(driverSubject);
    try {
        // The driver file is read again from its start at every run, which a
        // pipe cannot be (opening one would also wait for a writer), and a
        // device has no start and end of its own (/dev/zero has no line end).
        struct stat st {};
        if (::stat(o_.driverFile.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            throw InOutErrorFromErrno(ESPIPE);
        // The ranges of real sites are the model's: other equations (a
        // test's) have their lines' shape checked only.
        const DriverCheck check =
            CheckDriverFile(o_.driverFile, driverSubject, ModelDef.NumDrivers, env_.Evaluate == nullptr);
        if (!check.Refusal.empty()) return Fail(check.Refusal);
        if (!Findings(check.Warnings)) return ExitFailure;
        drivers_ = std::make_unique<fileio::DriverReader>(o_.driverFile);
        if (!Warnings(DriverWarnings(ScanDriverTimes(*drivers_), driverSubject))) return ExitFailure;
    } catch (const std::exception& e) {
        return Fail(Place(driverSubject, e) + ": " + e.what());
    }
    return 0;
}

bool BatchRun::ReportMetrics(const MetricSet& metrics, const std::string& failure) const {
    std::vector<std::string> header{"member", "status"}, row{o_.member, failure.empty() ? "ok" : failure};
    bool complete = failure.empty();
    for (std::size_t i = 0; i < metrics.Definitions().size(); ++i) {
        header.push_back(metrics.Definitions()[i].Text);
        if (!complete) continue;
        try {
            row.push_back(fileio::ExactText(metrics.Value(i)));
        } catch (const EMetricError& e) {
            // A metric without a value makes the row a failure's.
            if (!o_.metricsOut) return Fail(e.what()), false;
            row.resize(1);
            row.push_back(e.what());
            complete = false;
        }
    }
    row.resize(header.size());
    if (!o_.metricsOut) {
        if (complete)
            for (std::size_t i = 2; i < header.size(); ++i) out_ << header[i] << " = " << row[i] << '\n';
        return complete || !failure.empty();
    }
    try {
        AppendResultsRow(*o_.metricsOut, header, row);
    } catch (const EMetricError& e) {
        return Fail(e.what()), false;
    }
    if (!complete && failure.empty()) Fail(row[1]);
    return complete || !failure.empty();
}

// Places that cannot hold the files, reported before anything is read: a
// spin-up is not lost to a destination found wrong only after the run.
int BatchRun::CheckPlaces() const {
    const std::pair<const char*, const std::string*> files[] = {
        {"parameter file ", &o_.paramFile}, {"driver file ", &o_.driverFile}, {"output file ", &o_.outputFile}};
    for (const auto& [subject, name] : files)
        if (const std::string problem = name->empty() ? "" : PlaceProblem(*name); !problem.empty())
            return Fail(subject + Quoted(*name) + ": " + problem);
    if (o_.saveParams)
        if (const std::string problem = WriteProblem(*o_.saveParams); !problem.empty())
            return Fail("--save-params " + Quoted(*o_.saveParams) + ": " + problem + "; nothing was run");
    return 0;
}

int BatchRun::Execute() {
    if (const int status = CheckPlaces(); status != 0) return status;
    TerminalNotifier notifier(err_, Program, {.Quiet = o_.quiet});
    InterruptGuard interrupt;
    if (const int status = ReadInputs(notifier); status != 0) return status;
    if (Interrupted()) {
        if (!o_.quiet) err_ << Program << ": " << InterruptedText() << " before the run\n";
        return InterruptedStatus();
    }

    // The values of this member of an ensemble, over those of the file.
    for (const auto& [v, value] : SetValues(o_))
        (v.kind == VarKind::Parameter ? Params[v.index].Value : States[v.index].Value) = value;
    if (env_.Evaluate == nullptr) {
        const std::string subject = "parameter file " + Quoted(o_.paramFile) + (o_.sets.empty() ? "" : " with --set");
        if (!Findings(ParamOrderWarnings(subject))) return ExitFailure;
    }

    const TableFormat format = FormatOf(o_);
    const bool table = format != TableFormat::Model && !o_.noOutput;

    DriverFileName = o_.driverFile;
    // A table takes the records in place of the model's output file.
    OutputFileName = table || o_.noOutput ? std::string(NullOutputFile) : o_.outputFile;
    ParamFileName = o_.paramFile;
    BatchObserver observer(err_, env_.ProgressOnTerminal && !o_.quiet);
    if (table) observer.SetTable(o_.outputFile, format, TableColumns(o_));
    std::optional<MetricSet> metrics;
    if (!o_.metrics.empty()) {
        metrics.emplace(MetricDefinitions(o_));
        observer.SetMetrics(&*metrics);
    }
    std::optional<budget::Books> books;
    if (o_.budget) {
        books.emplace("the run of " + o_.paramFile);
        books->SetRunFlags(States, RunOptions.ResetStates);
        observer.SetBooks(&*books);
    }
    RunStatistics stats;
    int status = 0;
    std::string failure;
    try {
        RunModel(observer, RunMode::Quiet, stats, env_.Evaluate, std::move(drivers_));
    } catch (const EOutputBusy& e) {
        status = Fail(failure = e.what());
    } catch (const std::exception& e) {
        failure = Place(RunFailurePlace(stats, o_.driverFile, o_.outputFile), e) + ": " + e.what() +
                  FailureHint(stats, e, o_.paramFile, !o_.sets.empty(), findings_);
        status = Fail(failure);
    }
    notifier.SetContext({});
    if (stats.Cancelled) {
        if (!o_.quiet)
            err_ << Program << ": " << InterruptedText() << " at time " << ShortNumber(stats.TimeReached) << '\n';
        status = InterruptedStatus();
    }

    if (metrics && !stats.Cancelled && !ReportMetrics(*metrics, failure)) status = ExitFailure;

    if (status == 0 && o_.saveParams) {
        notifier.SetContext("parameter file " + Quoted(*o_.saveParams));
        try {
            WriteParamFile(*o_.saveParams, ModelDef.NumParams, Params, ModelDef.NumStates, States);
        } catch (const std::exception& e) {
            status = Fail("parameter file " + Quoted(*o_.saveParams) + ": " + e.what());
        }
    }
    if (!o_.quiet) PrintSummary(out_, stats, o_);
    if (o_.stats) PrintStatistics(out_, stats);
    if (books && !stats.Cancelled) out_ << '\n' << budget::ReportText(books->Close());
    return status;
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

int Run(const BatchOptions& o, std::ostream& out, std::ostream& err, const BatchEnvironment& env) {
    if (o.version) {
        out << ModelDef.Name << ' ' << ModelDef.Version << '\n';
        return 0;
    }
    if (o.listVariables) {
        try {
            // The option given alone leaves one empty value.
            std::vector<std::string> symbols;
            for (const std::string& symbol : o.listSymbols)
                if (!symbol.empty()) symbols.push_back(symbol);
            ListVariables(out, symbols);
        } catch (const std::invalid_argument& e) {
            err << Program << ": --list-variables: " << e.what() << '\n';
            return ExitUsage;
        }
        return 0;
    }
    if (o.noOutput && !o.outputFile.empty()) {
        err << Program << ": --no-output writes no output file: leave OUTPUTFILE '" << o.outputFile << "' out\n";
        return ExitUsage;
    }
    if ((o.metricsOut || !o.member.empty()) && o.metrics.empty()) {
        err << Program << ": " << (o.metricsOut ? "--metrics-out" : "--member") << " needs --metric METRIC, the results to record\n";
        return ExitUsage;
    }
    if (o.paramFile.empty() || o.driverFile.empty() || (o.outputFile.empty() && !o.noOutput)) {
        err << Program << ": PARAMFILE, DRIVERFILE and OUTPUTFILE are required\n"
            << "Run with --help for more information.\n";
        return ExitUsage;
    }
    try {
        if (!o.noOutput) CheckFilesApart(o);
        ApplyOptions(o);
        SetValues(o);
        MetricDefinitions(o);
    } catch (const UsageError& e) {
        err << Program << ": " << e.what() << '\n';
        return ExitUsage;
    }
    if (std::string text = RunLengthWarning(StartTime, StopTime, TimeStep); !text.empty() && !o.quiet) {
        if (RunOptions.OutputEndOfRunOnly) text += " and --end-only writes no record";
        err << Program << ": warning: " << text << '\n';
    }
    return BatchRun(o, out, err, env).Execute();
}

}  // namespace

int RunModelBatch(int argc, char** argv, std::ostream& out, std::ostream& err, const BatchEnvironment& env) {
    BatchOptions options;
    if (const auto exit = ParseBatchCommandLine(argc, argv, options, out, err, Program)) return *exit;
    DefineModel();
    return Run(options, out, err, env);
}
