// Runs that start clean: the same run twice in one process writes the same
// file, whatever the run before it left behind; and the output lock keeps
// two writers of one file apart, in this process or another.
#include <gtest/gtest.h>

#include "fileio/fileio.h"
#include "model/equations.h"
#include "run/output_lock.h"
#include "run/run_loop.h"
#include "run/run_options.h"
#include "run/session.h"
#include "tests/run/lock_holder.h"
#include "tests/test_files.h"

namespace {

const std::string Samples = OSTREL_SAMPLES_DIR;

class CleanRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartSession(0, 366, 1);
        ParamFileName = Samples + "/forest.par";
        DriverFileName = Samples + "/weather.drr";
    }

    // A run from the sample's starting values into `file`; its bytes.
    std::string RunInto(const std::string& file, const TRunOptions& options, double stop, double step,
                        const std::vector<const char*>& resetStates = {}) {
        EXPECT_TRUE(ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States));
        for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].Reset = false;
        for (const char* symbol : resetStates) States[FindSymbol(1, symbol)].Reset = true;
        StartTime = 0;
        StopTime = stop;
        TimeStep = step;
        RunOptions = options;
        OutputFileName = file;
        RunObserver none;
        RunStatistics stats;
        RunModel(none, RunMode::Quiet, stats);
        return ReadBytes(file);
    }

    TempFolder dir;
};

TEST_F(CleanRunTest, TheSameRunTwiceWritesTheSameFile) {
    const TRunOptions normal = StartRunOptions();
    TRunOptions repeated = normal, reset = normal, steady = normal, halves = normal;
    repeated.NormalRun = reset.NormalRun = steady.NormalRun = false;
    repeated.RepeatDrivers = true;
    repeated.RepeatDriveTime = 365;
    reset.ResetStates = true;
    reset.ResetStateTime = 100;
    steady.RunToSS = true;
    steady.SSTime = 100;
    steady.SSCriteria = 1e-12;  // never steady: the run goes on to the new year
    halves.OutputTimeStep = 0.5;
    struct Case {
        const char* name;
        TRunOptions options;
        double stop, step;
    };
    // Each ends on the first day of a model year, where the model starts its
    // annual totals anew.
    const Case cases[] = {{"normal", normal, 366, 1},        {"repeated drivers", repeated, 366, 1},
                          {"periodic reset", reset, 366, 1}, {"steady-state stop", steady, 366, 1},
                          {"half steps", halves, 366, 0.5},  {"two years", normal, 732, 1}};
    for (const Case& c : cases) {
        RunInto(dir / "before.out", normal, 10, 1);  // a run that ends within a year
        const std::string first = RunInto(dir / "first.out", c.options, c.stop, c.step, {"Wr", "Cs"});
        const std::string second = RunInto(dir / "second.out", c.options, c.stop, c.step, {"Wr", "Cs"});
        EXPECT_GT(first.size(), 1000u) << c.name;
        EXPECT_TRUE(first == second) << c.name << ": the second run's file differs from the first's";
    }
}

TEST_F(CleanRunTest, AFileAnotherProcessWritesIsRefusedAndLeftAlone) {
    const std::string file = dir / "held.out";
    WriteBytes(file, "records of another run\r\n");
    LockHolder other(file);
    ASSERT_TRUE(other.Held());
    try {
        RunInto(file, StartRunOptions(), 10, 1);
        ADD_FAILURE() << "the run went on";
    } catch (const EOutputBusy& e) {
        EXPECT_STREQ(e.what(), ("output file '" + file + "' is being written by another run").c_str());
    }
    EXPECT_EQ(ReadBytes(file), "records of another run\r\n");

    // Once the other run is done, the file is the run's.
    other.Release();
    EXPECT_EQ(RunInto(file, StartRunOptions(), 10, 1).size(), 12u * (26 * 208 + 2));
}

// While a run writes its file, a second run is refused; afterwards the lock is gone.
TEST_F(CleanRunTest, ARunHoldsItsFileUntilItEnds) {
    struct Probe final : RunObserver {
        std::string file;
        int heldSeen = -1;
        void PumpEvents() override {
            if (heldSeen >= 0) return;
            OutputLock lock;  // another open of the file: refused while the run holds it
            heldSeen = lock.Take(file) ? 0 : 1;
        }
    } probe;
    probe.file = OutputFileName = dir / "run.out";
    RunStatistics stats;
    ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States);
    StopTime = 5;
    RunModel(probe, RunMode::Quiet, stats);
    EXPECT_EQ(probe.heldSeen, 1);
    OutputLock after;
    EXPECT_TRUE(after.Take(probe.file));
}

}  // namespace
