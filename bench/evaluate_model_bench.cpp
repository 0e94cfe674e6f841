// Cost of one evaluation of the model equations on a mid-summer forest stand:
// as the integrator calls it, through a derivative frame that gathered the
// tables and the day terms at the start of the step; as a single call of
// EvaluateModel on the tables (no end of step), which gathers everything
// anew; and as the run loop calls it after each step.
#include <benchmark/benchmark.h>

#include "model/derivative_frame.h"
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
    ForgetPreviousRun();
    const statearray start = stand.states;
    for (auto _ : state) {
        // The end of a step advances the calendar and the water states;
        // restore them so every call sees the same stand.
        if (endOfStep) stand.states = start;
        EvaluateModel(stand.drivers, stand.params, stand.states, 180.5, out, endOfStep);
        benchmark::DoNotOptimize(out);
    }
}

// Trial values as the integrator hands them over, at one time of the step.
void BM_EvaluateDerivatives(benchmark::State& state) {
    ForestStand stand;
    stand.S(st::Jdfs) = 170;
    stand.S(st::Ws) = 20;
    StartTime = 0;
    TimeStep = 1;
    ForgetPreviousRun();
    const statearray saved = States;
    States = stand.states;
    valuearray y, dydx;
    for (int i = 1; i <= MaxStates; ++i) y[i] = stand.states[i].Value;
    DerivativeFrame frame(stand.drivers, stand.params);
    for (auto _ : state) {
        frame(y, 180.5, dydx);
        benchmark::DoNotOptimize(dydx);
    }
    States = saved;
}

void BM_EvaluateModel(benchmark::State& state) { EvaluateModelCall(state, false); }
void BM_EvaluateModelEndOfStep(benchmark::State& state) { EvaluateModelCall(state, true); }

}  // namespace

BENCHMARK(BM_EvaluateDerivatives);
BENCHMARK(BM_EvaluateModel);
BENCHMARK(BM_EvaluateModelEndOfStep);
