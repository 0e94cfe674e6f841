// The ten-year daily sample run from the window (progress window, events
// pumped after every step) against the same run as the command line makes
// it. Run on the offscreen platform: QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <filesystem>
#include <string>

#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "frontend/workbench.h"
#include "run/run_loop.h"
#include "run/run_options.h"

namespace {

const std::string Output = (std::filesystem::temp_directory_path() / "ostrel-window-bench.out").string();

void NameFiles() {
    MainForm->MEStartTime->setText("0");
    MainForm->MEStopTime->setText("3660");
    for (QLineEdit* f : {MainForm->MEStartTime, MainForm->MEStopTime}) f->setModified(true);
    MainForm->MeStartTimeExit();
    MainForm->MeStopTimeExit();
    MainForm->ParamBox->setText(OSTREL_SAMPLES_DIR "/forest.par");
    MainForm->ChooseParamFile(true);
    MainForm->DriverBox->setText(OSTREL_SAMPLES_DIR "/weather.drr");
    MainForm->ChooseDriver(true);
    MainForm->OutputBox->setText(QString::fromStdString(Output));
    MainForm->ChooseOutputFile(true);
}

void ReadSample() { ReadParamFile(OSTREL_SAMPLES_DIR "/forest.par", ModelDef.NumParams, Params, ModelDef.NumStates, States); }

void BM_TenYearsAsCommandLine(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ReadSample();
        state.ResumeTiming();
        RunObserver quiet;
        RunStatistics stats;
        RunModel(quiet, RunMode::Quiet, stats);
    }
}

void BM_TenYearsFromWindow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        ReadSample();
        state.ResumeTiming();
        MainForm->BtnRunClick();
    }
}

}  // namespace

BENCHMARK(BM_TenYearsAsCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(7);
BENCHMARK(BM_TenYearsFromWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(7);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CreateWindows("ostrel");
    NameFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyWindows();
    std::filesystem::remove(Output);
}
