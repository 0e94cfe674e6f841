// Cost of one evaluation of the model equations on a mid-summer forest stand,
// as the integrator calls it (no end of step) and as the run loop calls it
// after each step.
#include <benchmark/benchmark.h>

#include "model/equations.h"
#include "model/new_year.h"
#include "tests/model/forest_stand.h"

namespace {

void EvaluateModelCall(benchmark::State& state, bool endOfStep) {
    ForestStand stand;
    stand.S(st::Jdfs) = 170;  // litterfall under way
    stand.S(st::Ws) = 20;     // some snow left to melt
    processarray out{};
    StartTime = 0;
    TimeStep = 1;
    NewYear = false;
    const statearray start = stand.states;
    for (auto _ : state) {
        // The end of a step advances the calendar and the water states;
        // restore them so every call sees the same stand.
        if (endOfStep) stand.states = start;
        EvaluateModel(stand.drivers, stand.params, stand.states, 180.5, out, endOfStep);
        benchmark::DoNotOptimize(out);
    }
}

void BM_EvaluateModel(benchmark::State& state) { EvaluateModelCall(state, false); }
void BM_EvaluateModelEndOfStep(benchmark::State& state) { EvaluateModelCall(state, true); }

}  // namespace

BENCHMARK(BM_EvaluateModel);
BENCHMARK(BM_EvaluateModelEndOfStep);
