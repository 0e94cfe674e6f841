// Output files written and read back: records of the full model (208 columns,
// 5,408 bytes each) per second, and the bytes that makes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "fileio/fileio.h"
#include "model/equations.h"

namespace {

constexpr int RecordsPerFile = 2000;
constexpr std::int64_t RecordBytes = 208 * 26 + 2;

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() / ("ostrel-bench-" + std::to_string(::getpid()) + ".out")).string();
}

// Values of every magnitude and sign, as a run produces them.
void FillValues(statearray& states, processarray& processes) {
    DefineModel();
    states = States;
    processes = Processes;
    double v = 0.7315;
    for (int i = 1; i <= ModelDef.NumDrivers; ++i, v *= -3.17) Drivers[i].Value = v;
    for (int i = 1; i <= ModelDef.NumStates; ++i, v = std::fmod(v * 7.3, 1e6) + 1e-4) states[i].Value = v;
    for (int i = 1; i <= ModelDef.NumProcesses; ++i, v = -std::fmod(v * 1.9, 1e3) / 7) processes[i].Value = v;
}

void WriteFile(const std::string& name, const statearray& states, const processarray& processes) {
    OpenOutputFile(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, true);
    for (int r = 0; r < RecordsPerFile; ++r)
        WriteOutputRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, r * 0.25);
    CloseOutputFile();
}

void BM_WriteOutputRecords(benchmark::State& state) {
    statearray states;
    processarray processes;
    FillValues(states, processes);
    const std::string name = BenchFile();
    for (auto _ : state) WriteFile(name, states, processes);
    std::filesystem::remove(name);
    state.SetItemsProcessed(state.iterations() * RecordsPerFile);
    state.SetBytesProcessed(state.iterations() * RecordsPerFile * RecordBytes);
}
BENCHMARK(BM_WriteOutputRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadOutputRecords(benchmark::State& state) {
    statearray states;
    processarray processes;
    FillValues(states, processes);
    const std::string name = BenchFile();
    WriteFile(name, states, processes);
    driverarray drivers;
    for (auto _ : state) {
        OpenOutputFile(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, false);
        double time = 0;
        int count = 0;
        while (ReadOutputRecord(time, ModelDef.NumDrivers, drivers, ModelDef.NumStates, states,
                                ModelDef.NumProcesses, processes))
            ++count;
        CloseOutputFile();
        if (count != RecordsPerFile) state.SkipWithError("records lost");
        benchmark::DoNotOptimize(time);
    }
    std::filesystem::remove(name);
    state.SetItemsProcessed(state.iterations() * RecordsPerFile);
    state.SetBytesProcessed(state.iterations() * RecordsPerFile * RecordBytes);
}
BENCHMARK(BM_ReadOutputRecords)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
