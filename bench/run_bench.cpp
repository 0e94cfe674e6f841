// A hundred-year daily run of the bundled forest sample, with a record once a
// model year and with a record every day. Besides the wall time it reports
// the number of model evaluations and, measured in the same process on the
// state the run ended with, the cost of one evaluation as the integrator makes
// it: `loop_overhead` is the wall time over (evaluations x cost of one), so
// 1.0 would mean the loop, the integrator's own arithmetic, the driver lookups
// and the output cost nothing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "fileio/fileio.h"
#include "model/derivative_frame.h"
#include "model/equations.h"
#include "run/run_loop.h"
#include "run/run_options.h"
#include "run/session.h"

namespace {

constexpr double Years = 100;
constexpr double DaysPerYear = 366;

double SecondsPerEvaluation() {
    valuearray y, dydx;
    for (int i = 1; i <= ModelDef.NumStates; ++i) y[i] = States[i].Value;
    DerivativeFrame frame(Drivers, Params);
    constexpr int calls = 200000;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        frame(y, CurrentTime + 0.5, dydx);
        benchmark::DoNotOptimize(dydx);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / calls;
}

void HundredYears(benchmark::State& state, double outputEvery) {
    const std::string out = (std::filesystem::temp_directory_path() / "ostrel-run-bench.out").string();
    RunStatistics stats;
    for (auto _ : state) {
        StartSession(0, Years * DaysPerYear, 1);
        ReadParamFile(OSTREL_SAMPLES_DIR "/forest.par", ModelDef.NumParams, Params, ModelDef.NumStates, States);
        DriverFileName = OSTREL_SAMPLES_DIR "/weather.drr";
        OutputFileName = out;
        RunOptions.NormalRun = false;
        RunOptions.RepeatDrivers = true;
        RunOptions.RepeatDriveTime = 3659;  // the time of the sample's last record
        RunOptions.OutputTimeStep = outputEvery;
        RunObserver quiet;
        stats = RunStatistics{};
        RunModel(quiet, RunMode::Quiet, stats);
    }
    const double perEvaluation = SecondsPerEvaluation();
    state.counters["evaluations"] = static_cast<double>(stats.ModelEvaluations);
    state.counters["records"] = static_cast<double>(stats.RecordsWritten);
    state.counters["s_integrating"] = stats.SecondsIntegrating;
    state.counters["s_writing"] = stats.SecondsWriting;
    state.counters["ns_per_evaluation"] = perEvaluation * 1e9;
    state.counters["loop_overhead"] =
        stats.SecondsTotal / (static_cast<double>(stats.ModelEvaluations) * perEvaluation);
    std::filesystem::remove(out);
}

void BM_HundredYearsYearlyOutput(benchmark::State& state) { HundredYears(state, DaysPerYear); }
void BM_HundredYearsDailyOutput(benchmark::State& state) { HundredYears(state, 1); }

}  // namespace

BENCHMARK(BM_HundredYearsYearlyOutput)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_HundredYearsDailyOutput)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
