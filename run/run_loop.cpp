#include "run/run_loop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <memory>
#include <optional>

#include "core/fpfaults.h"
#include "fileio/driver_file.h"
#include "fileio/output_file.h"
#include "model/equations.h"
#include "run/model_integration.h"
#include "run/output_lock.h"
#include "run/run_checks.h"
#include "run/run_options.h"

statearray RunStartStates;

void ResetSelectedStates() {
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        if (States[i].Reset) States[i].Value = RunStartStates[i].Value;
}

bool PeriodTest::Due(double stepStart) {
    if (period_ == 0.0) throw EZeroDivide();
    // Index of the last multiple of the period at or before the step start;
    // the step in which it changes is the step of the new period.
    const double multiple = std::floor((stepStart + slack_) / period_);
    const double before = first_ ? std::floor((stepStart - step_ + slack_) / period_) : lastMultiple_;
    first_ = false;
    lastMultiple_ = multiple;
    return multiple != before;
}

int RunProgressPercent(double timeReached, double start, double stop) {
    const double done = std::nearbyint(timeReached - start);
    const double length = std::nearbyint(stop - start);
    if (!(length >= 1.0)) return 100;
    double percent;
    constexpr double exactLimit = 1e15;  // whole numbers times 100 stay exact in 64 bits
    if (std::fabs(done) < exactLimit && length < exactLimit)
        percent = static_cast<double>(static_cast<std::int64_t>(done) * 100 / static_cast<std::int64_t>(length));
    else
        percent = std::trunc(done / length * 100.0);
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Run {
public:
    Run(RunObserver& observer, RunStatistics& stats, EvaluateFunction evaluate,
        std::unique_ptr<fileio::DriverReader> drivers)
        : observer_(observer), stats_(stats), evaluate_(evaluate ? evaluate : &EvaluateModel),
          drivers_(std::move(drivers)) {}

    // Set-up and time loop; every failure leaves through an exception.
    void Execute();
    // The completion steps, carried out however the run ended. A failure of
    // one of them does not stop the others; the first becomes the run's
    // failure when there was none before.
    void Complete(std::exception_ptr& failure);

    RunStage Stage() const { return stage_; }

private:
    void SetUp();
    void AdvanceStates();
    bool WriteDueRecord(double stepEnd);
    bool SpecialRunTests(double stepEnd, bool written);
    void NextStep();
    void Integrate(valuearray& y, double x1, double x2);
    void Evaluate(double time, bool endOfStep);
    void LookUpDrivers(double time);
    void WriteRecord(double time);
    bool SteadyStateReached();

    RunObserver& observer_;
    RunStatistics& stats_;
    EvaluateFunction evaluate_;
    RunStage stage_ = RunStage::SetUp;
    std::unique_ptr<fileio::DriverReader> drivers_;  // null when the file did not exist
    std::optional<fileio::OutputWriter> output_;
    OutputLock lock_;  // held until the run has closed its files
    bool wantsRecords_ = false;
    double record_[fileio::MaxOutputValues];  // the values of the record being written
    IntegratorStats integratorStats_;
    double h_ = 0.0;  // the integrator's step size, carried from step to step
    TRunOptions options_;    // the settings in force when the run started
    double slack_ = 0.0;     // StepSlack of the time step
    std::int64_t nOut_ = 1;  // steps per output interval
    std::int64_t k_ = 1;     // steps since the last interval record
    double t_ = 0.0;         // driver time: goes back to StartTime when the drivers repeat
    std::optional<PeriodTest> resetTest_, steadyTest_;
    statearray prevStates_;
    // Scratch tables of the derivative frame of a model other than the
    // compiled-in one.
    statearray scratchStates_;
    processarray scratchProcesses_;
};

void Run::Integrate(valuearray& y, double x1, double x2) {
    std::int32_t nok = 0, nbad = 0;
    const std::int32_t n = ModelDef.NumStates;
    const double hmin = 1e-6 * TimeStep;
    if (evaluate_ == &EvaluateModel) {
        ODEIntegrator(y, n, h_, x1, x2, IntegratorAccuracy, hmin, nok, nbad, Drivers, Params, &integratorStats_);
        return;
    }
    const auto derivatives = [this, n](const valuearray& trial, double time, valuearray& dydx) {
        scratchStates_ = States;
        for (int i = 1; i <= n; ++i) scratchStates_[i].Value = trial[i];
        scratchProcesses_ = processarray{};
        evaluate_(Drivers, Params, scratchStates_, time, scratchProcesses_, false);
        for (int i = 1; i <= n; ++i) dydx[i] = scratchProcesses_[i].Value;
    };
    ODEIntegrator(y, n, h_, x1, x2, IntegratorAccuracy, hmin, nok, nbad, DerivativeFunction(derivatives),
                  &integratorStats_);
}

void Run::Evaluate(double time, bool endOfStep) {
    stage_ = RunStage::Evaluate;
    ++stats_.ModelEvaluations;
    evaluate_(Drivers, Params, States, time, Processes, endOfStep);
}

void Run::LookUpDrivers(double time) {
    stage_ = RunStage::ReadDrivers;
    // A driver file that did not exist when the run opened it has no start to go back to.
    if (!drivers_) throw InOutErrorFromErrno(ENOENT);
    drivers_->GetDrivers(Drivers, time, ModelDef.NumDrivers, StopTime);
}

void Run::WriteRecord(double time) {
    stage_ = RunStage::WriteOutput;
    const auto start = Clock::now();
    const int n = fileio::GatherOutputValues(ModelDef.NumStates, States, ModelDef.NumProcesses, Processes, record_);
    const std::span<const double> values(record_, static_cast<std::size_t>(n));
    if (output_) output_->WriteRecord(time, values);
    ++stats_.RecordsWritten;
    stats_.SecondsWriting += SecondsSince(start);
    if (wantsRecords_) observer_.RecordWritten(time, values);
}

// Compares every state with its value at the previous test; a state at or
// below 0 never stands in the way.
bool Run::SteadyStateReached() {
    bool steady = true;
    stats_.LargestChangeState = 0;
    stats_.LargestChange = 0.0;
    for (int i = 1; i <= ModelDef.NumStates; ++i) {
        const double v = States[i].Value;
        if (!(v > 0.0)) continue;
        const double change = std::fabs(prevStates_[i].Value - v) / v;
        if (change > RunOptions.SSCriteria) steady = false;
        if (stats_.LargestChangeState == 0 || change > stats_.LargestChange) {
            stats_.LargestChangeState = i;
            stats_.LargestChange = change;
        }
    }
    ClearFloatingPointFaults();  // a tiny state's change may overflow; it is simply not steady
    prevStates_ = States;
    ++stats_.SteadyStateTests;
    return steady;
}

// Refuses what the run cannot do, then takes the output file, opens the
// files and evaluates the model at the start time.
void Run::SetUp() {
    stage_ = RunStage::SetUp;
    // A run that cannot start stops before it replaces the previous output.
    CheckRunTimes(StartTime, StopTime, TimeStep);
    CheckRunFiles(ParamFileName, DriverFileName, OutputFileName);
    ForgetPreviousRun();
    const std::string recordsFile = OutputFileName != NullOutputFile ? OutputFileName : observer_.RecordsFile();
    if (!recordsFile.empty() && !lock_.Take(recordsFile)) throw EOutputBusy(recordsFile);
    options_ = RunOptions;
    wantsRecords_ = observer_.WantsRecords();
    slack_ = StepSlack(TimeStep);
    // At least one step per interval: an interval left below the time step
    // by a later change of the step would otherwise write nothing at all.
    const double steps = std::nearbyint(options_.OutputTimeStep / TimeStep);
    ClearFloatingPointFaults();
    nOut_ = steps >= 1.0 ? static_cast<std::int64_t>(std::min(steps, 4e18)) : 1;

    RunStartStates = States;
    stage_ = RunStage::OpenDrivers;
    if (drivers_) drivers_->Restart();
    else drivers_ = fileio::OpenDriverReader(DriverFileName);
    stage_ = RunStage::OpenOutput;
    if (OutputFileName != NullOutputFile)
        output_.emplace(OutputFileName, ModelDef.NumStates, States, ModelDef.NumProcesses, Processes);
    observer_.OpenRecordsFile();

    h_ = TimeStep;
    CurrentTime = StartTime;
    t_ = CurrentTime;
    k_ = 1;
    LookUpDrivers(t_);
    Evaluate(t_, false);
    prevStates_ = States;

    if (options_.ResetStates) resetTest_.emplace(options_.ResetStateTime, TimeStep);
    if (options_.RunToSS) steadyTest_.emplace(options_.SSTime, TimeStep);
}

// The integration of one step and the evaluation at its end, with the
// model's end-of-step updates.
void Run::AdvanceStates() {
    stage_ = RunStage::Integrate;
    const auto integrating = Clock::now();
    valuearray y;
    for (int i = 1; i <= ModelDef.NumStates; ++i) y[i] = States[i].Value;
    Integrate(y, t_, t_ + TimeStep);
    for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Value = y[i];
    Evaluate(t_ + TimeStep, true);
    stats_.SecondsIntegrating += SecondsSince(integrating);
}

// The record of the step ending at `stepEnd` when one is due; true when it was written.
bool Run::WriteDueRecord(double stepEnd) {
    if (options_.OutputEndOfRunOnly) {
        if (stepEnd < StopTime - slack_) return false;
        WriteRecord(stepEnd);
        return true;
    }
    if (CurrentTime < options_.OutputOffset - slack_) {
        k_ = 0;
        return false;
    }
    if (k_ != nOut_) return false;
    WriteRecord(stepEnd);
    k_ = 0;
    return true;
}

// The periodic reset and the steady-state test, after the step's output: a
// record of this step shows the values before the reset. True when a
// steady state ends the run.
bool Run::SpecialRunTests(double stepEnd, bool written) {
    if (resetTest_) {
        stage_ = RunStage::ResetTest;
        if (resetTest_->Due(CurrentTime)) {
            ResetSelectedStates();
            ++stats_.StateResets;
        }
    }
    if (!steadyTest_) return false;
    stage_ = RunStage::SteadyState;
    if (!steadyTest_->Due(CurrentTime)) return false;
    stats_.SteadyStateTestTime = stepEnd;
    const bool steady = SteadyStateReached();
    stats_.SteadyState = steady;
    if (!steady || !options_.OutputEndOfRunOnly) return steady;
    // The run ends with this step, and the state reached is its end-of-run record.
    StopTime = stepEnd;
    if (!written) WriteRecord(stepEnd);
    return false;
}

// On to the next step's time and drivers, the driver file read again from
// its first record when the drivers repeat.
void Run::NextStep() {
    CurrentTime += TimeStep;
    t_ += TimeStep;
    ++stats_.Steps;
    if (options_.RepeatDrivers && t_ > options_.RepeatDriveTime + slack_) {
        if (drivers_) drivers_->Restart();
        t_ = StartTime;
    }
    LookUpDrivers(t_);
    ++k_;
}

void Run::Execute() {
    SetUp();
    bool steady = false;
    while (CurrentTime + TimeStep <= StopTime + slack_ && !steady) {
        const double stepEnd = CurrentTime + TimeStep;
        AdvanceStates();
        const bool written = WriteDueRecord(stepEnd);
        observer_.Progress(RunProgressPercent(stepEnd, StartTime, StopTime), stepEnd);
        steady = SpecialRunTests(stepEnd, written);
        NextStep();
        observer_.PumpEvents();
        if (CancelRequested || observer_.CancelRequested()) {
            stats_.Cancelled = true;
            break;
        }
    }
}

void Run::Complete(std::exception_ptr& failure) {
    const auto attempt = [&failure](auto&& step) {
        try {
            step();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    };
    CancelRequested = false;
    drivers_.reset();
    if (output_) {
        attempt([this] {
            const auto start = Clock::now();
            output_->Close();
            stats_.SecondsWriting += SecondsSince(start);
        });
        // Records that never reached the disk (it filled up) were not written.
        stats_.RecordsWritten = std::min(stats_.RecordsWritten, output_->RecordsStored());
        output_.reset();
    }
    OutputAvailable = true;
    stats_.TimeReached = CurrentTime;
    stats_.AcceptedSteps = integratorStats_.NOk;
    stats_.ShrunkSteps = integratorStats_.NBad;
    stats_.ModelEvaluations += integratorStats_.Evaluations;
    attempt([this] { observer_.RunFinished(); });
}

}  // namespace

void RunModel(RunObserver& observer, RunMode mode, RunStatistics& stats, EvaluateFunction evaluate,
              std::unique_ptr<fileio::DriverReader> drivers) {
    const auto start = Clock::now();
    stats = RunStatistics{};
    Run run(observer, stats, evaluate, std::move(drivers));
    std::exception_ptr failure;
    try {
        observer.RunStarting();
        run.Execute();
    } catch (const EUserCancel&) {
        stats.Cancelled = true;
    } catch (...) {
        failure = std::current_exception();
    }
    // A failure of the completion itself is reported only when the run had none.
    stats.FailedIn = failure ? run.Stage() : RunStage::Finish;
    run.Complete(failure);
    stats.SecondsTotal = SecondsSince(start);
    if (!failure) {
        stats.FailedIn = RunStage::SetUp;
        return;
    }
    stats.Failed = true;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        stats.Error = e.what();
    } catch (...) {
        stats.Error = "Unknown failure";
    }
    if (mode == RunMode::Quiet) std::rethrow_exception(failure);
    observer.ShowError(stats.Error);
}
