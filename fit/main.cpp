// ostrel-fit: fits parameters of the Ostrel model to observations.
#include <unistd.h>

#include <iostream>

#include "fit/fit_command.h"

#ifdef OSTREL_FIT_PLOT
#include <QApplication>

#include "fit/fit_plot.h"
#include "chart/chart_file.h"

namespace {

// The plot is drawn without a window, on the offscreen platform unless told otherwise.
std::string Plot(const std::string& fileName, const fit::ModelEvaluator& evaluator, const fit::FitResult& result) {
    int argc = 1;
    char name[] = "ostrel-fit";
    char* argv[] = {name, nullptr};
    const std::unique_ptr<QApplication> app = OffscreenApplication(argc, argv);
    return DrawFitPlot(fileName, evaluator, result);
}

}  // namespace
#endif

int main(int argc, char** argv) {
    FitEnvironment env;
    env.ProgressOnTerminal = isatty(STDERR_FILENO) != 0;
#ifdef OSTREL_FIT_PLOT
    env.Plot = Plot;
#endif
    return RunOstrelFit(argc, argv, std::cout, std::cerr, env);
}
