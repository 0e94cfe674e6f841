#include "run/run_loop.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/notify.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "run/run_options.h"
#include "tests/run/test_model.h"

namespace {

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        for (int i = 1; i <= MaxStates; ++i) States[i] = {States[i].Name, 0.0, States[i].Units, States[i].Symbol};
        for (int i = 1; i <= MaxParams; ++i) Params[i].Value = 0.0;
        Params[1].Value = 1.0;
        StartTime = 1;
        StopTime = 10;
        TimeStep = 1;
        CancelRequested = false;
        OutputAvailable = false;
        RunOptions = StartRunOptions();
        DriverFileName = dir / "d.drr";
        OutputFileName = dir / "o.out";
        WriteDrivers(DriverFileName, {"0 1"});
    }

    RunStatistics Run(RunObserver* observer = nullptr) {
        RunObserver none;
        RunStatistics stats;
        RunModel(observer ? *observer : none, RunMode::Quiet, stats, &TestModel);
        return stats;
    }

    // Runs a failing run and returns the failure's message.
    std::string RunFailing(RunStatistics& stats) {
        RunObserver none;
        try {
            RunModel(none, RunMode::Quiet, stats, &TestModel);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "no failure";
    }

    TempFolder dir;
};

void ExpectTimes(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t j = 0; j < expected.size(); ++j) EXPECT_NEAR(actual[j], expected[j], 1e-9) << "record " << j;
}

TEST_F(RunLoopTest, RecordTimesFollowIntervalOffsetAndEndOfRunOutput) {
    struct Case {
        double start, stop, step, every, offset;
        bool endOnly;
        std::vector<double> times;
        int steps;
    };
    const Case cases[] = {
        {1, 10, 1, 1, 0, false, {2, 3, 4, 5, 6, 7, 8, 9, 10}, 9},
        {0, 10, 1, 3, 0, false, {3, 6, 9}, 10},
        {0, 12, 1, 2, 5, false, {7, 9, 11}, 12},
        {0, 10, 1, 1, 0, true, {10}, 10},
        {5, 5, 1, 1, 0, false, {}, 0},
        // The run stops at the last whole step; the end-of-run record is then never due.
        {0, 10.5, 1, 1, 0, true, {}, 10},
        // Sums of 0.1 that round above the stop time still make the last step.
        {0, 0.3, 0.1, 0.1, 0, true, {0.3}, 3},
        {0, 3, 0.1, 1, 0, false, {1, 2, 3}, 30},
        // An interval left below a later, larger time step writes every step.
        {0, 10, 5, 1, 0, false, {5, 10}, 2},
        // One that a later time step no longer divides: steps per interval
        // rounded halves to even, 5 / 2 to 2 and 7 / 2 to 4.
        {0, 20, 2, 5, 0, false, {4, 8, 12, 16, 20}, 10},
        {0, 20, 2, 7, 0, false, {8, 16}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " stop " << c.stop << " step " << c.step
                                        << " every " << c.every << " offset " << c.offset << " end-only " << c.endOnly);
        for (int i = 1; i <= MaxStates; ++i) States[i].Value = 0.0;
        StartTime = c.start;
        StopTime = c.stop;
        TimeStep = c.step;
        RunOptions = StartRunOptions();
        RunOptions.OutputTimeStep = c.every;
        RunOptions.OutputOffset = c.offset;
        RunOptions.OutputEndOfRunOnly = c.endOnly;
        const RunStatistics stats = Run();
        const OutputColumn line = ReadColumn(OutputFileName, StateColumn(1));
        EXPECT_EQ(line.headerLines, 2);
        ExpectTimes(line.times, c.times);
        // Each record holds the state at its own time: it grows by 1 per time unit.
        for (std::size_t j = 0; j < line.times.size(); ++j) EXPECT_NEAR(line.values[j], line.times[j] - c.start, 1e-9);
        EXPECT_EQ(stats.Steps, c.steps);
        EXPECT_EQ(stats.RecordsWritten, static_cast<std::int64_t>(c.times.size()));
        EXPECT_NEAR(CurrentTime, c.start + c.steps * c.step, 1e-9);
        EXPECT_TRUE(OutputAvailable);
    }
}

TEST_F(RunLoopTest, RepeatedDriversStartAgainFromTheFirstRecord) {
    WriteDrivers(DriverFileName, {"1 10", "2 20", "3 30", "4 40"});
    StopTime = 9;
    RunOptions.NormalRun = false;
    RunOptions.RepeatDrivers = true;
    RunOptions.RepeatDriveTime = 4;
    Run();
    // Each record shows the drivers of its step's start: driver times 1 2 3 4 1 2 3 4.
    ExpectTimes(ReadColumn(OutputFileName, DriverColumn).values, {10, 20, 30, 40, 10, 20, 30, 40});
    ExpectTimes(ReadColumn(OutputFileName, StateColumn(2)).values, {10, 30, 60, 100, 110, 130, 160, 200});
    // The end-of-step evaluation is at the end of the step in driver time,
    // which goes back with the drivers; the record keeps the run's own time.
    const OutputColumn evaluated = ReadColumn(OutputFileName, EvaluationTimeColumn);
    ExpectTimes(evaluated.times, {2, 3, 4, 5, 6, 7, 8, 9});
    ExpectTimes(evaluated.values, {2, 3, 4, 5, 2, 3, 4, 5});
}

TEST(PeriodTest, EachPeriodIsClaimedByOneStepHoweverTimesRound) {
    struct Case {
        double period, step, start;
        int steps, every, first;  // due in steps first, first + every, ...
    };
    const Case cases[] = {
        {5, 1, 0, 21, 5, 0},       // 5/5 and 6/5 round so that a plain fraction test also fires at 6
        {365, 1, 1, 800, 365, 364},  // from start 1: the steps beginning at 365 and 730
        {5, 1, 0.5, 30, 5, 0},     // the step beginning within one step after the multiple
        {3, 0.1, 0, 3000, 30, 0},  // sums of 0.1 fall on both sides of the multiples
        {0.3, 0.1, 0, 3000, 3, 0},
        {-5, 1, 0, 21, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "period " << c.period << " step " << c.step << " start " << c.start);
        PeriodTest test(c.period, c.step);
        double time = c.start;
        for (int i = 0; i < c.steps; ++i, time += c.step)
            ASSERT_EQ(test.Due(time), i >= c.first && (i - c.first) % c.every == 0) << "step " << i << " at " << time;
    }
}

TEST_F(RunLoopTest, FlaggedStatesAreResetOncePerPeriodAfterTheStepsOutput) {
    States[1].Reset = true;
    Params[2].Value = 1.0;  // state 3 grows alike but is not flagged
    StartTime = 0;
    StopTime = 12;
    RunOptions.NormalRun = false;
    RunOptions.ResetStates = true;
    RunOptions.ResetStateTime = 5;
    const RunStatistics stats = Run();
    // Reset in the steps beginning at 0, 5 and 10; the record of such a step shows the value before it.
    ExpectTimes(ReadColumn(OutputFileName, StateColumn(1)).values, {1, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1});
    ExpectTimes(ReadColumn(OutputFileName, StateColumn(3)).values, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(stats.StateResets, 3);

    RunOptions.ResetStateTime = 0;
    RunStatistics failed;
    EXPECT_EQ(RunFailing(failed), "Floating point division by zero");
    EXPECT_EQ(failed.FailedIn, RunStage::ResetTest);
    EXPECT_EQ(ReadColumn(OutputFileName, 0).times, std::vector<double>{1});
}

TEST_F(RunLoopTest, SteadyStateEndsTheRunAtTheFirstTestWithoutChange) {
    struct Case {
        double start;
        int period;
        bool growing, endOnly;
        int steps;
        std::vector<double> records;
    };
    const Case cases[] = {
        {0, 5, false, false, 1, {1}},  // 0 is a multiple: the first step is tested against the start
        {1, 5, false, false, 5, {2, 3, 4, 5, 6}},
        {1, 1, false, false, 1, {2}},  // a period of one step tests every step
        // State 2 grows until the driver stops at 20: the tests at 20 and 25 compare 21 with 16 and 26 with 21.
        {1, 5, true, false, 25, {}},
        {1, 5, true, true, 25, {26}},  // end-of-run output: the state reached is the end-of-run record
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " period " << c.period << " growing " << c.growing
                                        << " end-only " << c.endOnly);
        WriteDrivers(DriverFileName, c.growing ? std::vector<std::string>{"0 1", "20 0"} : std::vector<std::string>{"1 0"});
        States[1].Value = 7;  // constant
        States[2].Value = 0;
        States[3].Value = -5;  // falls all the time, but is not positive
        Params[1].Value = 0;
        Params[2].Value = -1;
        StartTime = c.start;
        StopTime = 100;
        RunOptions = StartRunOptions();
        RunOptions.NormalRun = false;
        RunOptions.RunToSS = true;
        RunOptions.SSCriteria = 0.001;
        RunOptions.SSTime = c.period;
        RunOptions.OutputEndOfRunOnly = c.endOnly;
        const RunStatistics stats = Run();
        EXPECT_TRUE(stats.SteadyState);
        EXPECT_EQ(stats.Steps, c.steps);
        EXPECT_EQ(CurrentTime, c.start + c.steps);
        const OutputColumn sum = ReadColumn(OutputFileName, StateColumn(2));
        if (!c.records.empty()) ExpectTimes(sum.times, c.records);
        if (c.growing) {
            EXPECT_EQ(sum.values.back(), 19);
        }
        EXPECT_EQ(StopTime, c.endOnly ? c.start + c.steps : 100);
    }
}

TEST_F(RunLoopTest, AChangeOfExactlyTheCriterionIsSteady) {
    // State 4 counts the steps exactly: 3 -> 4 is a change of 1/4, 4 -> 5 of
    // 1/5; no other state is positive.
    WriteDrivers(DriverFileName, {"1 0"});
    for (const double criterion : {0.25, 0.2}) {
        SCOPED_TRACE(criterion);
        States[4].Value = 3;
        Params[1].Value = 0;
        Params[3].Value = 1;
        StartTime = 1;
        StopTime = 100;
        RunOptions = StartRunOptions();
        RunOptions.NormalRun = false;
        RunOptions.RunToSS = true;
        RunOptions.SSCriteria = criterion;
        RunOptions.SSTime = 1;
        const RunStatistics stats = Run();
        EXPECT_TRUE(stats.SteadyState);
        EXPECT_EQ(stats.Steps, criterion == 0.25 ? 1 : 2);
    }
}

// Progress after each step: the time done and the run length, each rounded
// halves to even to whole time units, as a whole percentage.
TEST_F(RunLoopTest, ProgressIsTheRoundedTimeDoneOverTheRoundedRunLength) {
    struct Recorder : RunObserver {
        std::vector<int> percents;
        void Progress(int percent, double) override { percents.push_back(percent); }
    };
    struct Case {
        double stop, step;
        std::vector<int> percents;
    };
    const Case cases[] = {
        // Length 5; step ends 0.5 1 1.5 ... 5 round to 0 1 2 2 2 3 4 4 4 5.
        {5, 0.5, {0, 20, 40, 40, 40, 60, 80, 80, 80, 100}},
        // Length 2.5 rounds to 2; step ends round to 0 1 2 2 2.
        {2.5, 0.5, {0, 50, 100, 100, 100}},
        // Length 3: 100 / 3 and 200 / 3 are cut, not rounded.
        {3, 1, {33, 66, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stop " << c.stop << " step " << c.step);
        StartTime = 0;
        StopTime = c.stop;
        TimeStep = c.step;
        RunOptions = StartRunOptions();
        Recorder recorder;
        Run(&recorder);
        EXPECT_EQ(recorder.percents, c.percents);
    }
    // The product with 100 needs 64 bits: 25E9 x 100 / 30E9.
    EXPECT_EQ(RunProgressPercent(25e9, 0, 30e9), 83);
    EXPECT_EQ(RunProgressPercent(1e9 + 25e8, 1e9, 1e9 + 3e9), 83);
}

// Cancels after a given number of steps, either through its own answer or
// through the global flag, as the progress window does.
class CancelAfter : public RunObserver {
public:
    CancelAfter(int steps, bool global) : steps_(steps), global_(global) {}
    void Progress(int, double) override { ++done_; }
    void PumpEvents() override {
        if (global_ && done_ == steps_) ::CancelRequested = true;
    }
    bool CancelRequested() override { return !global_ && done_ == steps_; }

private:
    int steps_;
    bool global_;
    int done_ = 0;
};

TEST_F(RunLoopTest, CancelEndsTheRunAfterTheStepInProgress) {
    for (bool global : {false, true}) {
        CancelAfter observer(3, global);
        const RunStatistics stats = Run(&observer);
        EXPECT_TRUE(stats.Cancelled);
        EXPECT_FALSE(stats.Failed);
        EXPECT_FALSE(CancelRequested);
        EXPECT_EQ(CurrentTime, 4);
        ExpectTimes(ReadColumn(OutputFileName, 0).times, {2, 3, 4});
    }
}

TEST_F(RunLoopTest, FailureInTheLoopKeepsTheRecordsWrittenBeforeIt) {
    WriteDrivers(DriverFileName, {"1 1", "2 1", "3 1", "4 1", "5 x"});
    RunStatistics stats;
    EXPECT_EQ(RunFailing(stats), "Invalid numeric input");
    EXPECT_EQ(stats.FailedIn, RunStage::ReadDrivers);
    ExpectTimes(ReadColumn(OutputFileName, 0).times, {2, 3, 4});
    EXPECT_TRUE(OutputAvailable);

    WriteDrivers(DriverFileName, {"0 1"});
    Params[4].Value = 5.5;  // the equations fail from time 5.5 on
    EXPECT_EQ(RunFailing(stats), "Invalid floating point operation");
    EXPECT_EQ(stats.FailedIn, RunStage::Integrate);
    EXPECT_EQ(stats.TimeReached, 5);
    ExpectTimes(ReadColumn(OutputFileName, 0).times, {2, 3, 4, 5});

    // Outside the quiet mode the message goes to the observer, after the completion.
    struct Recorder : RunObserver {
        std::vector<std::string> events;
        void RunFinished() override { events.push_back("finished"); }
        void ShowError(std::string_view message) override { events.emplace_back(message); }
    } recorder;
    RunModel(recorder, RunMode::Interactive, stats, &TestModel);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"finished", "Invalid floating point operation"}));
}

int OpenFiles() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

TEST_F(RunLoopTest, FailureInTheSetUpStillClosesTheFiles) {
    struct Messages : Notifier {
        std::vector<std::string> texts;
        MsgResult Show(MsgKind, MsgButtons, std::string_view text) override {
            texts.emplace_back(text);
            return MsgResult::Ok;
        }
    } messages;
    Notifier* previous = SetNotifier(&messages);
    const int open = OpenFiles();
    RunStatistics stats;

    OutputFileName = dir / "no-such-folder/o.out";
    EXPECT_EQ(RunFailing(stats), "Invalid filename");
    EXPECT_EQ(stats.FailedIn, RunStage::OpenOutput);
    EXPECT_EQ(OpenFiles(), open);

    OutputFileName = dir / "o.out";
    DriverFileName = dir / "missing.drr";
    EXPECT_EQ(RunFailing(stats), "File not found");
    EXPECT_EQ(stats.FailedIn, RunStage::ReadDrivers);
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Cannot read driver file. File does not exist."});
    EXPECT_EQ(ReadColumn(OutputFileName, 0).headerLines, 2);
    EXPECT_EQ(OpenFiles(), open);
    SetNotifier(previous);

    // A time step the run cannot use fails before the previous output is replaced.
    std::ofstream(OutputFileName) << "previous run";
    TimeStep = 0;
    EXPECT_EQ(RunFailing(stats), "Time step 0: the time step must be greater than 0");
    TimeStep = -1;
    EXPECT_EQ(RunFailing(stats), "Time step -1: the time step must be greater than 0");
    EXPECT_EQ(stats.FailedIn, RunStage::SetUp);
    TimeStep = 1;
    DriverFileName = dir / "d.drr";
    OutputFileName = dir / "./d.drr";  // another name of the driver file
    EXPECT_EQ(RunFailing(stats), "Output file '" + OutputFileName + "' is the driver file '" + DriverFileName +
                                     "': the run would write over it");
    EXPECT_EQ(stats.FailedIn, RunStage::SetUp);
    OutputFileName = dir / "o.out";
    std::ifstream in(OutputFileName);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "previous run");
    EXPECT_TRUE(OutputAvailable);
    EXPECT_FALSE(CancelRequested);
}

// Reads another output file through the default reader after every step, as
// the display window does while a run goes on.
class ReadsAnotherOutputFile : public RunObserver {
public:
    explicit ReadsAnotherOutputFile(std::string file) : file_(std::move(file)) {}
    void PumpEvents() override {
        OpenOutputFile(file_, ModelDef.NumStates, states_, ModelDef.NumProcesses, processes_, false);
        double time = 0;
        while (ReadOutputRecord(time, ModelDef.NumDrivers, drivers_, ModelDef.NumStates, states_,
                                ModelDef.NumProcesses, processes_))
            ++recordsRead;
        CloseOutputFile();
    }
    int recordsRead = 0;

private:
    std::string file_;
    driverarray drivers_ = Drivers;
    statearray states_ = States;
    processarray processes_ = Processes;
};

TEST_F(RunLoopTest, OutputFilesReadDuringTheRunLeaveItsOutputWhole) {
    Run();
    const std::string earlier = dir / "earlier.out";
    std::filesystem::rename(OutputFileName, earlier);
    ReadsAnotherOutputFile display(earlier);
    const RunStatistics stats = Run(&display);
    EXPECT_FALSE(stats.Failed) << stats.Error;
    EXPECT_EQ(display.recordsRead, 9 * 9);
    const OutputColumn line = ReadColumn(OutputFileName, StateColumn(1));
    EXPECT_EQ(line.headerLines, 2);
    ExpectTimes(line.times, {2, 3, 4, 5, 6, 7, 8, 9, 10});
}

TEST_F(RunLoopTest, RecordsReachTheObserverAsTheFileHoldsThem) {
    struct Records : RunObserver {
        bool wanted = true;
        std::vector<double> times;
        std::vector<std::vector<double>> values;
        bool WantsRecords() override { return wanted; }
        void RecordWritten(double time, std::span<const double> v) override {
            times.push_back(time);
            values.emplace_back(v.begin(), v.end());
        }
    };
    WriteDrivers(DriverFileName, {"1 10", "4 40"});
    StartTime = 0;
    StopTime = 9;
    RunOptions.OutputTimeStep = 3;
    Records records;
    Run(&records);
    ExpectTimes(records.times, {3, 6, 9});
    ASSERT_EQ(records.values.size(), 3u);
    for (const auto& v : records.values) ASSERT_EQ(v.size(), 18u + ModelDef.NumProcesses);
    for (const int column : {DriverColumn, StateColumn(1), StateColumn(2), EvaluationTimeColumn}) {
        SCOPED_TRACE(column);
        const OutputColumn file = ReadColumn(OutputFileName, column);
        for (std::size_t j = 0; j < 3; ++j) EXPECT_EQ(records.values[j][column - 1], file.values[j]);
    }

    Records unwanted;
    unwanted.wanted = false;
    Run(&unwanted);
    EXPECT_TRUE(unwanted.times.empty());
}

}  // namespace
