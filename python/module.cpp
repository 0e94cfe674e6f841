// The compiled part of the ostrel package: runs, files and the catalogue as
// plain Python values and numpy arrays. The package's Python layer gives
// them their classes, warnings and exceptions.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <pthread.h>

#include <chrono>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>

#include "cli/list_variables.h"
#include "model/equations.h"
#include "python/table_files.h"

namespace py = pybind11;

namespace {

// The model's tables are one per process: one run (or file read through
// them) at a time.
std::mutex modelInUse;

class EModelBusy : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr const char* BusyMessage =
    "the model is running in another thread of this process: its tables are one per process, so runs go one at a "
    "time; run ensembles in processes (multiprocessing, concurrent.futures.ProcessPoolExecutor)";

// The thread whose run is going, while the progress callback it calls
// runs: the model cannot be used from there (its lock is held).
thread_local bool runGoing = false;

constexpr const char* WithinRunMessage = "the model cannot be used from the progress callback of its own run";

// A process forked while another thread ran the model (a process pool
// started meanwhile) has only the forking thread: no run goes there, so its
// lock starts free.
void FreeModelInChild() {
    new (&modelInUse) std::mutex();
    runGoing = false;
}

// Waits for a run of another thread to end, without holding the interpreter.
std::unique_lock<std::mutex> WaitForModel() {
    if (runGoing) throw EModelBusy(WithinRunMessage);
    py::gil_scoped_release release;
    std::unique_lock<std::mutex> lock(modelInUse);
    DefineModel();
    return lock;
}

// A vector handed to numpy without a copy.
py::array_t<double> Array(std::vector<double>&& data, std::vector<py::ssize_t> shape) {
    auto* owned = new std::vector<double>(std::move(data));
    py::capsule free(owned, [](void* p) { delete static_cast<std::vector<double>*>(p); });
    return py::array_t<double>(shape, owned->data(), free);
}

py::dict TableDict(RecordTable&& table) {
    py::dict d;
    const auto rows = static_cast<py::ssize_t>(table.Rows()), width = static_cast<py::ssize_t>(table.Width());
    d["columns"] = table.Symbols;
    d["units"] = table.Units;
    d["names"] = table.Names;
    d["times"] = Array(std::move(table.Times), {rows});
    d["values"] = Array(std::move(table.Values), {rows, width});
    return d;
}

py::dict StatisticsDict(const RunStatistics& s) {
    py::dict d;
    d["steps"] = s.Steps;
    d["time_reached"] = s.TimeReached;
    d["records"] = s.RecordsWritten;
    d["accepted_steps"] = s.AcceptedSteps;
    d["shrunk_steps"] = s.ShrunkSteps;
    d["evaluations"] = s.ModelEvaluations;
    d["state_resets"] = s.StateResets;
    d["steady_state_tests"] = s.SteadyStateTests;
    d["steady_state"] = s.SteadyState;
    d["seconds_integrating"] = s.SecondsIntegrating;
    d["seconds_writing"] = s.SecondsWriting;
    d["seconds"] = s.SecondsTotal;
    return d;
}

std::optional<std::string> Text(const py::dict& options, const char* key) {
    if (!options.contains(key) || options[key].is_none()) return std::nullopt;
    return py::cast<std::string>(options[key]);
}

std::vector<std::string> Texts(const py::dict& options, const char* key) {
    if (!options.contains(key) || options[key].is_none()) return {};
    return py::cast<std::vector<std::string>>(options[key]);
}

// The options as modelbatch would have parsed them from its command line.
BatchOptions OptionsOf(const py::dict& options) {
    BatchOptions o;
    o.paramFile = Text(options, "param_file").value_or("");
    o.driverFile = Text(options, "driver_file").value_or("");
    o.start = Text(options, "start").value_or(o.start);
    o.stop = Text(options, "stop").value_or(o.stop);
    o.step = Text(options, "step").value_or(o.step);
    o.outputEvery = Text(options, "output_every");
    o.offset = Text(options, "offset");
    o.repeatDrivers = Text(options, "repeat_drivers");
    o.resetStates = Text(options, "reset_every");
    o.steadyState = Text(options, "steady_state");
    o.ssTime = Text(options, "ss_time");
    o.endOnly = options.contains("end_only") && py::cast<bool>(options["end_only"]);
    o.hold = Texts(options, "hold");
    o.reset = Texts(options, "reset");
    o.columns = Texts(options, "columns");
    o.sets = Texts(options, "set");
    o.metrics = Texts(options, "metrics");
    o.format = "csv";  // the records hold the columns chosen
    return o;
}

// What a run asks of the interpreter, with the interpreter held: whether
// Ctrl+C was pressed (its own handler is asked, at most every 20 ms), and the
// progress for a callback of the caller (at most ten times a second). What
// either raises ends the run after its step and is raised again afterwards.
class PythonHooks {
public:
    explicit PythonHooks(py::object progress) : progress_(std::move(progress)) {}

    bool Cancel() {
        if (raised_) return true;
        if (!Due(lastCheck_, std::chrono::milliseconds(20))) return false;
        py::gil_scoped_acquire hold;
        if (PyErr_CheckSignals() == 0) return false;
        raised_ = py::error_already_set();
        return true;
    }
    void Progress(int percent, double timeReached) {
        if (raised_ || (percent < 100 && !Due(lastProgress_, std::chrono::milliseconds(100)))) return;
        py::gil_scoped_acquire hold;
        try {
            progress_(percent, timeReached);
        } catch (py::error_already_set& e) {
            raised_ = std::move(e);
        }
    }
    bool HasProgress() const { return !progress_.is_none(); }

    std::optional<py::error_already_set> raised_;

private:
    using Clock = std::chrono::steady_clock;
    static bool Due(Clock::time_point& last, Clock::duration every) {
        const auto now = Clock::now();
        if (now - last < every) return false;
        last = now;
        return true;
    }
    py::object progress_;
    Clock::time_point lastCheck_ = Clock::now(), lastProgress_ = Clock::now();
};

const char* EndName(ScriptRunEnd end) {
    switch (end) {
        case ScriptRunEnd::Completed:
            return "completed";
        case ScriptRunEnd::Refused:
            return "refused";
        case ScriptRunEnd::Failed:
            return "failed";
        case ScriptRunEnd::Cancelled:
            return "cancelled";
    }
    return "";
}

py::dict MetricsDict(const std::vector<MetricOutcome>& metrics) {
    py::dict d;
    for (const MetricOutcome& m : metrics)
        d[py::str(m.Text)] = m.HasValue ? py::object(py::float_(m.Value)) : py::str(m.Problem);
    return d;
}

py::dict Run(const py::dict& options, std::optional<std::pair<std::vector<double>, std::vector<double>>> values,
             const std::string& output, py::object progress) {
    if (runGoing) throw EModelBusy(WithinRunMessage);
    std::unique_lock<std::mutex> lock(modelInUse, std::try_to_lock);
    if (!lock.owns_lock()) throw EModelBusy(BusyMessage);
    ScriptRunRequest request;
    request.Options = OptionsOf(options);
    if (values) request.Values = ParamValues{std::move(values->first), std::move(values->second)};
    request.OutputFile = output;
    PythonHooks hooks(std::move(progress));
    request.Cancel = [&hooks] { return hooks.Cancel(); };
    if (hooks.HasProgress()) request.Progress = [&hooks](int percent, double time) { hooks.Progress(percent, time); };
    ScriptRunOutcome outcome;
    {
        struct Going {
            Going() { runGoing = true; }
            ~Going() { runGoing = false; }
        } going;
        py::gil_scoped_release release;
        outcome = RunForScript(request);
    }
    py::dict d = TableDict(std::move(outcome.Records));
    d["end"] = EndName(outcome.End);
    d["message"] = outcome.Message;
    d["warnings"] = outcome.Warnings;
    d["statistics"] = StatisticsDict(outcome.Statistics);
    d["metrics"] = MetricsDict(outcome.Metrics);
    d["final_states"] = outcome.Final.States;
    d["final_params"] = outcome.Final.Params;
    d["raised"] = hooks.raised_ ? hooks.raised_->value() : py::none();
    return d;
}

py::tuple Symbols() {
    auto lock = WaitForModel();
    std::vector<std::string> states, params;
    for (int i = 1; i <= ModelDef.NumStates; ++i) states.push_back(QualifiedSymbol({VarKind::State, i}));
    for (int i = 1; i <= ModelDef.NumParams; ++i) params.push_back(QualifiedSymbol({VarKind::Parameter, i}));
    return py::make_tuple(states, params);
}

}  // namespace

PYBIND11_MODULE(_ostrel, m) {
    m.doc() = "The Ostrel forest ecosystem model: runs, files and the catalogue";
    DefineModel();
    pthread_atfork(nullptr, nullptr, &FreeModelInChild);
    m.attr("model_name") = std::string(ModelDef.Name);
    m.attr("model_version") = std::string(ModelDef.Version);
    m.attr("time_unit") = std::string(ModelDef.TimeUnit);
    m.def("run", &Run, py::arg("options"), py::arg("values") = py::none(), py::arg("output") = "",
          py::arg("progress") = py::none());
    m.def("list_variables", [](const std::vector<std::string>& symbols) {
        auto lock = WaitForModel();
        std::ostringstream out;
        ListVariables(out, symbols);  // std::invalid_argument becomes ValueError
        return out.str();
    });
    m.def("symbols", &Symbols, "The qualified symbols of the states and of the parameters, in file order");
    m.def("resolve", [](const std::string& symbol) {
        auto lock = WaitForModel();
        return QualifiedSymbol(
            FindVariable(symbol, {VarKind::Parameter, VarKind::State}, "--set takes parameters and state variables"));
    });
    m.def("read_output", [](const std::string& path) {
        auto lock = WaitForModel();
        return TableDict(ReadOutputTable(path));
    });
    m.def("read_csv", [](const std::string& path) {
        auto lock = WaitForModel();
        return TableDict(ReadCsvTable(path));
    });
    m.def("read_params", [](const std::string& path) {
        auto lock = WaitForModel();
        std::vector<std::string> warnings;
        ParamValues values = ReadParamValues(path, warnings);
        return py::make_tuple(values.States, values.Params, warnings);
    });
    m.def("write_params", [](const std::string& path, std::vector<double> states, std::vector<double> params) {
        auto lock = WaitForModel();
        WriteParamValues(path, ParamValues{std::move(states), std::move(params)});
    });
    m.def("metrics", [](py::array_t<double, py::array::c_style | py::array::forcecast> times,
                        py::array_t<double, py::array::c_style | py::array::forcecast> values,
                        const std::vector<std::string>& columns, const std::vector<std::string>& texts) {
        auto lock = WaitForModel();
        RecordTable table;
        table.Symbols = columns;
        table.Times.assign(times.data(), times.data() + times.size());
        table.Values.assign(values.data(), values.data() + values.size());
        if (table.Values.size() != table.Rows() * table.Width())
            throw std::invalid_argument("the values must hold one row per time and one column per symbol");
        return MetricsDict(TableMetrics(table, texts));
    });
    py::register_exception<EMetricError>(m, "MetricError", PyExc_ValueError);
    py::register_exception<EModelBusy>(m, "ModelBusy", PyExc_RuntimeError);
    py::register_exception<ETableFileError>(m, "FileError", PyExc_OSError);
}
