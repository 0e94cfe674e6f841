// The run: integrates the model from StartTime towards StopTime in steps of
// TimeStep with the drivers of DriverFileName, writes the chosen records to
// OutputFileName, and carries out the special-run options of RunOptions
// (repeated drivers, periodic reset of states, steady-state stop).
//
// Whatever ends a run (the stop time, a steady state, a cancel or a failure,
// in the set-up as in the loop), the driver and output files are closed, the
// records written until then stay in the output file, CancelRequested is
// cleared and OutputAvailable is set.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/stypes.h"
#include "fileio/driver_file.h"

// The states as they were when the last run started; the periodic reset
// restores the flagged states from here.
extern statearray RunStartStates;

// For every state flagged Reset, the value it had when the run started.
void ResetSelectedStates();

// What a run tells the window or the command line around it. Every member has
// a do-nothing default.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Before anything else of the run.
    virtual void RunStarting() {}
    // After every step. `percent` is the share of the run length done, 0..100.
    virtual void Progress(int /*percent*/, double /*timeReached*/) {}
    // Asked once as the run starts: true when RecordWritten should be called.
    // A run for an observer that wants no records gathers nothing for it.
    virtual bool WantsRecords() { return false; }
    // After every record handed to the output file: its time and its values
    // in the order of the file's columns (the drivers, the states, the process
    // variables after the derivatives), as exact doubles; the file holds them
    // to 13 significant digits. The view is valid during the call only.
    virtual void RecordWritten(double /*time*/, std::span<const double> /*values*/) {}
    // The file the observer writes the records to in place of the run's
    // output file (a table of them), or "". The run holds the output lock on
    // it as on an output file of its own.
    virtual std::string RecordsFile() { return {}; }
    // Once the run holds the lock on its output file, before the first
    // record: the moment for the observer to create RecordsFile.
    virtual void OpenRecordsFile() {}
    // After every step: the moment to serve pending user actions.
    virtual void PumpEvents() {}
    // Asked after PumpEvents; true ends the run after the step just done, as
    // the global CancelRequested does.
    virtual bool CancelRequested() { return false; }
    // At the end of every run, once the files are closed and OutputAvailable
    // is set. A failure thrown from here is reported like a failure of the run.
    virtual void RunFinished() {}
    // Outside the quiet mode: the message of the failure that ended the run.
    virtual void ShowError(std::string_view /*message*/) {}
};

// Where in the run a failure came from, so that its report can name the file.
enum class RunStage {
    SetUp,        // checks before anything is opened (ERunRefused, run/run_checks.h)
    OpenDrivers,  // opening the driver file
    OpenOutput,   // creating the output file
    ReadDrivers,  // looking up the drivers
    Integrate,    // integrating one step
    Evaluate,     // the evaluation at the start or at the end of a step
    WriteOutput,  // writing a record
    ResetTest,    // the periodic reset of states
    SteadyState,  // the steady-state test
    Finish,       // closing the files and the observer's own completion
};

struct RunStatistics {
    std::int64_t Steps = 0;            // time steps completed: CurrentTime has passed them
    double TimeReached = 0.0;          // CurrentTime at the end
    std::int64_t RecordsWritten = 0;   // output records, the header lines not counted
    std::int64_t AcceptedSteps = 0;    // integrator steps kept at the size tried first
    std::int64_t ShrunkSteps = 0;      // integrator steps that had to be shrunk
    std::int64_t ModelEvaluations = 0; // the integrator's and the run's own
    std::int64_t StateResets = 0;      // periodic resets carried out
    std::int64_t SteadyStateTests = 0;
    double SecondsIntegrating = 0.0;   // wall time in the integrator and the end-of-step evaluations
    double SecondsWriting = 0.0;       // wall time writing and closing the output file
    double SecondsTotal = 0.0;
    bool SteadyState = false;          // a steady state ended the run
    double SteadyStateTestTime = 0.0;  // the last steady-state test: the end of its step,
    std::int32_t LargestChangeState = 0;  // the state with the largest relative change (0: none above 0),
    double LargestChange = 0.0;        // and that change, as a fraction
    bool Cancelled = false;
    bool Failed = false;
    RunStage FailedIn = RunStage::SetUp;
    std::string Error;                 // message of the failure that ended the run
};

// The model equations the run evaluates. Tests pass a simpler model of the same
// shape; the integrator then gets its derivatives from that model too.
using EvaluateFunction = void (*)(const driverarray& drivers, const paramarray& params, statearray& states,
                                  double time, processarray& processes, bool endOfStep);

enum class RunMode {
    Interactive,  // failures go to observer.ShowError
    Quiet,        // failures are thrown on to the caller, after the completion
};

// Runs the model once with the settings in force. `stats` is filled however
// the run ends. Every run starts from the same clean state: whatever the
// model, the frame and the driver reader carry between calls is set up anew,
// so the same settings, files and starting states give the same records
// whatever ran before in the process. The run holds an advisory lock on the
// file it writes; a file another run is writing is refused (EOutputBusy)
// and left as it is. In Quiet mode the failure that ended the run is re-thrown.
// The run reads DriverFileName and writes OutputFileName through files of its
// own, so other driver and output files may be open meanwhile (the default
// files of fileio.h included, which the run leaves alone). `drivers`, when
// given, is a reader open on DriverFileName that the run takes in place of
// opening the file again (one that has kept the file's records, after a
// check read them all, saves reading them twice).
void RunModel(RunObserver& observer, RunMode mode, RunStatistics& stats, EvaluateFunction evaluate = nullptr,
              std::unique_ptr<fileio::DriverReader> drivers = nullptr);

// The output file of a run whose records only its observer wants (metrics,
// a table, a fit): nothing keeps what goes there, so the run does not format
// its records.
inline constexpr std::string_view NullOutputFile = "/dev/null";

// ---- Times reached ----

// A time within a millionth of a step of another counts as reaching it, so
// that rounded sums of steps neither lose nor add a step.
inline double StepSlack(double step) { return std::fabs(step) * 1e-6; }

// ---- Period tests of the special runs ----

// Tells, step by step, whether a step is the one of its period: the step that
// begins at, or within one step after, a whole multiple of the period. Each
// multiple is claimed by exactly one step, however the times are rounded: a
// step start within a millionth of a step below a multiple counts as at it.
// Steps are expected in the order they run. A period of 0 fails as
// EZeroDivide; a negative period acts as its magnitude.
class PeriodTest {
public:
    PeriodTest(double period, double step) : period_(period), step_(step), slack_(StepSlack(step)) {}
    bool Due(double stepStart);

private:
    double period_;
    double step_;
    double slack_;
    bool first_ = true;
    double lastMultiple_ = 0.0;
};

// The progress of a run as a share 0..100: the time done over the run length,
// both rounded to whole time units. A run length below half a time unit
// counts as done.
int RunProgressPercent(double timeReached, double start, double stop);
