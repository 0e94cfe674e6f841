// The editors with the sample files: opening the parameter editor (53 pages,
// process values calculated), "&Update processes", and the driver editor
// showing ten years of daily drivers. Run on the offscreen platform.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "core/stypes.h"
#include "fileio/fileio.h"
#include "frontend/main_form.h"
#include "frontend/workbench.h"
#include "views/note.h"
#include "views/params.h"

namespace {

void LoadSamples() {
    ParamFileName = OSTREL_SAMPLES_DIR "/forest.par";
    ReadParamFile(ParamFileName, ModelDef.NumParams, Params, ModelDef.NumStates, States);
    DriverFileName = OSTREL_SAMPLES_DIR "/weather.drr";
}

void ParameterEditorOpens(benchmark::State& state) {
    LoadSamples();
    for (auto _ : state) {
        FmParameter->show();
        QApplication::processEvents();
        FmParameter->hide();
    }
}
BENCHMARK(ParameterEditorOpens)->Unit(benchmark::kMillisecond);

void ParameterEditorIsMade(benchmark::State& state) {
    for (auto _ : state) {
        TFmParameter editor(MainForm);
        benchmark::DoNotOptimize(&editor);
    }
}
BENCHMARK(ParameterEditorIsMade)->Unit(benchmark::kMillisecond);

void UpdateProcesses(benchmark::State& state) {
    LoadSamples();
    FmParameter->show();
    FmParameter->ValuesApplied = true;  // the question was answered
    for (auto _ : state) {
        FmParameter->UpdateProcesses();
        QApplication::processEvents();
    }
    FmParameter->hide();
}
BENCHMARK(UpdateProcesses)->Unit(benchmark::kMillisecond);

void DriverEditorShowsTenYears(benchmark::State& state) {
    LoadSamples();
    for (auto _ : state) {
        FmNote->show();
        QApplication::processEvents();
        FmNote->hide();
    }
}
BENCHMARK(DriverEditorShowsTenYears)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    CreateWindows("ostrel");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyWindows();
}
