// ostrel-fit: fits parameters of the Ostrel model to observations.
#include <unistd.h>

#include <iostream>

#include "fit/fit_command.h"

#ifdef OSTREL_FIT_PLOT
#include <QApplication>

#include "fit/fit_plot.h"

namespace {

// The toolkit's own notes (a missing runtime folder and the like) are no
// concern of the user of a command line.
void QuietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

// The plot is drawn without a window, on the offscreen platform unless told otherwise.
std::string Plot(const std::string& fileName, const fit::ModelEvaluator& evaluator, const fit::FitResult& result) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietToolkit);
    int argc = 1;
    char name[] = "ostrel-fit";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
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
