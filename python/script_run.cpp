#include "python/script_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "checks/driver_checks.h"
#include "checks/param_checks.h"
#include "cmdline/input_checks.h"
#include "cmdline/table_output.h"
#include "core/notify.h"
#include "fileio/driver_file.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "run/output_lock.h"
#include "run/run_checks.h"
#include "run/run_options.h"

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool EndsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TableFormat OutputFormat(const std::string& fileName) {
    if (EndsWith(fileName, ".csv")) return TableFormat::Csv;
    if (EndsWith(fileName, ".tsv")) return TableFormat::Tsv;
    return TableFormat::Model;
}

// The engine's messages while the files are read: errors after the file's
// name, warnings kept for the caller.
class ScriptNotifier final : public Notifier {
public:
    explicit ScriptNotifier(ScriptRunOutcome& outcome) : outcome_(outcome), previous_(SetNotifier(this)) {}
    ~ScriptNotifier() override { SetNotifier(previous_); }
    ScriptNotifier(const ScriptNotifier&) = delete;
    ScriptNotifier& operator=(const ScriptNotifier&) = delete;

    void SetContext(std::string context) { context_ = std::move(context); }

    MsgResult Show(MsgKind kind, MsgButtons buttons, std::string_view text) override {
        if (kind == MsgKind::Error) {
            if (!outcome_.Message.empty()) outcome_.Message += "\n";
            outcome_.Message += (context_.empty() ? "" : context_ + ": ") + std::string(text);
        } else {
            outcome_.Warnings.emplace_back(text);
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::Yes : MsgResult::Ok;
    }

private:
    ScriptRunOutcome& outcome_;
    Notifier* previous_;
    std::string context_;
};

// Gathers the records into the table, the metrics and the table file.
class GatheringObserver final : public RunObserver {
public:
    GatheringObserver(RecordTable& table, std::vector<int> positions, const ScriptRunRequest& request)
        : table_(table), positions_(std::move(positions)), request_(request) {}

    void SetMetrics(MetricSet* metrics) { metrics_ = metrics; }
    void SetTable(TableOutput* file) { file_ = file; }

    bool WantsRecords() override { return true; }
    void RecordWritten(double time, std::span<const double> values) override {
        table_.Times.push_back(time);
        const std::size_t at = table_.Values.size();
        table_.Values.resize(at + positions_.size());
        double* row = table_.Values.data() + at;
        for (const int position : positions_) *row++ = values[static_cast<std::size_t>(position)];
        if (metrics_) metrics_->Add(time, values);
        if (file_) file_->Write(time, values);
    }
    void Progress(int percent, double timeReached) override {
        if (request_.Progress) request_.Progress(percent, timeReached);
    }
    bool CancelRequested() override { return request_.Cancel && request_.Cancel(); }

private:
    RecordTable& table_;
    std::vector<int> positions_;
    const ScriptRunRequest& request_;
    MetricSet* metrics_ = nullptr;
    TableOutput* file_ = nullptr;
};

class ScriptRun {
public:
    ScriptRun(const ScriptRunRequest& request, ScriptRunOutcome& outcome)
        : request_(request), o_(request.Options), outcome_(outcome) {}
    void Execute();

private:
    bool Refuse(const std::string& text) {
        outcome_.End = ScriptRunEnd::Refused;
        outcome_.Message = text;
        return false;
    }
    bool CheckOptions();
    bool ReadParams(ScriptNotifier& notifier);
    bool ReadDrivers(ScriptNotifier& notifier);
    void RunAndFinish(std::optional<TableOutput>& file);

    const ScriptRunRequest& request_;
    const BatchOptions& o_;
    ScriptRunOutcome& outcome_;
    std::unique_ptr<fileio::DriverReader> drivers_;
    // What the input checks found about values: the likely cause of a failed run.
    std::vector<std::string> findings_;
};

// The options as modelbatch checks them, before any file is read.
bool ScriptRun::CheckOptions() {
    const std::string& output = request_.OutputFile;
    try {
        // The command line refuses these together as it parses them.
        if (o_.endOnly && (o_.outputEvery || o_.offset))
            throw UsageError{std::string(o_.outputEvery ? "--output-every" : "--offset") + " excludes --end-only"};
        if (!output.empty()) {
            try {
                CheckRunFiles(o_.paramFile, o_.driverFile, output);
            } catch (const ERunRefused& e) {
                throw UsageError{"output file " + Quoted(output) + " " + e.Reason};
            }
        }
        ApplyOptions(o_);
        SetValues(o_);
        MetricDefinitions(o_);
    } catch (const UsageError& e) {
        return Refuse(e.what());
    }
    if (std::string text = RunLengthWarning(StartTime, StopTime, TimeStep); !text.empty()) {
        if (RunOptions.OutputEndOfRunOnly) text += " and --end-only writes no record";
        outcome_.Warnings.push_back(text);
    }
    const std::pair<const char*, const std::string*> files[] = {
        {"parameter file ", &o_.paramFile}, {"driver file ", &o_.driverFile}, {"output file ", &output}};
    for (const auto& [subject, name] : files)
        if (const std::string problem = name->empty() ? "" : PlaceProblem(*name); !problem.empty())
            return Refuse(subject + Quoted(*name) + ": " + problem);
    return true;
}

bool ScriptRun::ReadParams(ScriptNotifier& notifier) {
    if (o_.paramFile.empty()) {
        const ParamValues& values = *request_.Values;
        if (values.States.size() != static_cast<std::size_t>(ModelDef.NumStates) ||
            values.Params.size() != static_cast<std::size_t>(ModelDef.NumParams))
            return Refuse("the parameter values must hold " + std::to_string(ModelDef.NumStates) + " states and " +
                          std::to_string(ModelDef.NumParams) + " parameters");
        for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Value = values.States[static_cast<std::size_t>(i - 1)];
        for (int i = 1; i <= ModelDef.NumParams; ++i) Params[i].Value = values.Params[static_cast<std::size_t>(i - 1)];
        return true;
    }
    const std::string subject = "parameter file " + Quoted(o_.paramFile);
    notifier.SetContext(subject);
    try {
        if (!ReadParamFile(o_.paramFile, ModelDef.NumParams, Params, ModelDef.NumStates, States))
            return Refuse(outcome_.Message);
        for (std::string& text : ParamFileWarnings(o_.paramFile, subject)) outcome_.Warnings.push_back(std::move(text));
    } catch (const std::exception& e) {
        return Refuse(FailureSubject(subject, e) + ": " + e.what());
    }
    return true;
}

bool ScriptRun::ReadDrivers(ScriptNotifier& notifier) {
    const std::string subject = "driver file " + Quoted(o_.driverFile);
    notifier.SetContext(subject);
    try {
        // Read again from its start at every run: no pipe, no device.
        struct stat st {};
        if (::stat(o_.driverFile.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            throw InOutErrorFromErrno(ESPIPE);
        // Records of the wrong shape and values no real site has, as modelbatch finds them.
        DriverCheck check = CheckDriverFile(o_.driverFile, subject, ModelDef.NumDrivers);
        if (!check.Refusal.empty()) return Refuse(check.Refusal);
        findings_ = check.Warnings;
        for (std::string& text : check.Warnings) outcome_.Warnings.push_back(std::move(text));
        drivers_ = std::make_unique<fileio::DriverReader>(o_.driverFile);
        for (std::string& text : DriverWarnings(ScanDriverTimes(*drivers_), subject))
            outcome_.Warnings.push_back(std::move(text));
    } catch (const std::exception& e) {
        return Refuse(FailureSubject(subject, e) + ": " + e.what());
    }
    notifier.SetContext({});
    return true;
}

// The records a run of the settings in force writes at most, for the
// table's room: one per output interval from the offset, one more at the end.
std::size_t ExpectedRecords() {
    if (RunOptions.OutputEndOfRunOnly) return 1;
    const double from = std::max(StartTime, RunOptions.OutputOffset);
    const double records = (StopTime - from) / RunOptions.OutputTimeStep + 2;
    return records > 0 && records < 1e7 ? static_cast<std::size_t>(records) : 0;
}

void ScriptRun::RunAndFinish(std::optional<TableOutput>& file) {
    const std::vector<Variable> columns = TableColumns(o_);
    std::vector<int> positions;
    for (const Variable v : columns) positions.push_back(OutputPosition(v));
    outcome_.Records = TableFor(columns);
    // Room for the records up front: a table that grows copies itself over.
    if (const std::size_t rows = ExpectedRecords(); rows * columns.size() < (std::size_t{1} << 26)) {
        outcome_.Records.Times.reserve(rows);
        outcome_.Records.Values.reserve(rows * columns.size());
    }
    GatheringObserver observer(outcome_.Records, std::move(positions), request_);
    MetricSet metrics(MetricDefinitions(o_));
    observer.SetMetrics(&metrics);
    if (file) observer.SetTable(&*file);

    DriverFileName = o_.driverFile;
    OutputFileName = file || request_.OutputFile.empty() ? std::string(NullOutputFile) : request_.OutputFile;
    ParamFileName = o_.paramFile;
    const std::string& output = request_.OutputFile.empty() ? OutputFileName : request_.OutputFile;
    try {
        RunModel(observer, RunMode::Quiet, outcome_.Statistics, nullptr, std::move(drivers_));
    } catch (const EOutputBusy& e) {
        Refuse(e.what());
    } catch (const std::exception& e) {
        outcome_.End = ScriptRunEnd::Failed;
        outcome_.Message = FailureSubject(RunFailurePlace(outcome_.Statistics, o_.driverFile, output), e) + ": " +
                           e.what() + FailureHint(outcome_.Statistics, e, o_.paramFile, !o_.sets.empty(), findings_);
    }
    if (file) {
        try {
            file->Close();
        } catch (const std::exception& e) {
            if (outcome_.End != ScriptRunEnd::Failed) {
                outcome_.End = ScriptRunEnd::Failed;
                outcome_.Message = "output file " + Quoted(output) + ": " + e.what();
            }
        }
    }
    if (outcome_.Statistics.Cancelled && outcome_.End == ScriptRunEnd::Completed) {
        outcome_.End = ScriptRunEnd::Cancelled;
        outcome_.Message = "interrupted at time " + ShortNumber(outcome_.Statistics.TimeReached);
    }
    outcome_.Metrics = MetricOutcomes(metrics);
    outcome_.Final = ValuesInForce();
}

void ScriptRun::Execute() {
    DefineModel();
    if (!CheckOptions()) return;
    ScriptNotifier notifier(outcome_);
    if (!ReadParams(notifier) || !ReadDrivers(notifier)) return;
    for (const auto& [v, value] : SetValues(o_))
        (v.kind == VarKind::Parameter ? Params[v.index].Value : States[v.index].Value) = value;
    const std::string values = o_.paramFile.empty() ? "the parameter values" : "parameter file " + Quoted(o_.paramFile);
    for (std::string& text : ParamOrderWarnings(values + (o_.sets.empty() ? "" : " with --set"))) {
        findings_.push_back(text);
        outcome_.Warnings.push_back(std::move(text));
    }

    const std::string& output = request_.OutputFile;
    // The run locks the model's output file itself; a table it does not see.
    OutputLock lock;
    const bool table = !output.empty() && OutputFormat(output) != TableFormat::Model;
    if (table && !lock.Take(output)) return void(Refuse(EOutputBusy(output).what()));
    std::optional<TableOutput> file;
    if (table) {
        try {
            file.emplace(output, OutputFormat(output), TableColumns(o_));
        } catch (const std::exception& e) {
            return void(Refuse("output file " + Quoted(output) + ": " + e.what()));
        }
    }
    RunAndFinish(file);
}

}  // namespace

ParamValues ValuesInForce() {
    ParamValues values;
    for (int i = 1; i <= ModelDef.NumStates; ++i) values.States.push_back(States[i].Value);
    for (int i = 1; i <= ModelDef.NumParams; ++i) values.Params.push_back(Params[i].Value);
    return values;
}

ScriptRunOutcome RunForScript(const ScriptRunRequest& request) {
    ScriptRunOutcome outcome;
    ScriptRun(request, outcome).Execute();
    return outcome;
}
