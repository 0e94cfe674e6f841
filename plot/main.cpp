// ostrel-plot: draws without a window, on the offscreen platform unless told otherwise.
#include <QApplication>
#include <iostream>

#include "model/equations.h"
#include "plot/ostrel_plot.h"

namespace {

// The toolkit's own notes (a missing runtime folder and the like) are no
// concern of the user of a command line.
void QuietToolkit(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietToolkit);
    QApplication app(argc, argv);
    DefineModel();
    return RunOstrelPlot(argc, argv, std::cout, std::cerr);
}
