// The output display with a large output file, as a user meets it: opening
// it in the table view, scrolling to its last row and column, and a chart of
// ten series. Prints wall times and the resident memory.
//
//   display_bench OUTPUTFILE
//
// (a hundred-year daily file: modelbatch --start 0 --stop 36600
//  --repeat-drivers 3659 samples/forest.par samples/weather.drr century.out)
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QScrollBar>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/stypes.h"
#include "frontend/workbench.h"
#include "views/column_list.h"
#include "views/display.h"
#include "chart/output_chart.h"
#include "views/output_grid.h"

namespace {

// Resident and peak resident memory in MB, from the kernel's account.
std::pair<double, double> MemoryMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    double rss = 0, peak = 0;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) rss = std::stod(line.substr(6)) / 1024;
        if (line.starts_with("VmHWM:")) peak = std::stod(line.substr(6)) / 1024;
    }
    return {rss, peak};
}

double Seconds(QElapsedTimer& clock) {
    const double s = clock.nsecsElapsed() / 1e9;
    clock.restart();
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: display_bench OUTPUTFILE\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CreateWindows("ostrel");
    StartTime = 0;
    TFmDisplayData* display = FmDisplayData;
    display->resize(1400, 1000);
    display->DisplayFileName = argv[1];
    display->ShowTable = true;

    QElapsedTimer clock;
    clock.start();
    display->show();
    QApplication::processEvents();
    const double open = Seconds(clock);
    const auto [rss, peak] = MemoryMb();
    std::printf("open in table view: %.3f s, %lld records x %d columns, resident %.0f MB (peak %.0f MB)\n", open,
                static_cast<long long>(display->Table().Records()), display->Table().Columns(), rss, peak);

    OutputGrid* grid = display->SgModelOutput;
    double slowest = 0;
    for (int i = 0; i < 50; ++i) {  // page by page down, then the far corner
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() + grid->verticalScrollBar()->pageStep());
        grid->viewport()->repaint();
        slowest = std::max(slowest, Seconds(clock));
    }
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
    grid->viewport()->repaint();
    const double corner = Seconds(clock);
    std::printf("scroll: slowest page %.1f ms; jump to last row and column and draw %.1f ms\n", slowest * 1e3,
                corner * 1e3);

    display->hide();
    display->ShowTable = false;
    display->ReloadOutput = false;
    display->show();
    QApplication::processEvents();
    for (int i = 0; i < 10; ++i) display->LbxSeries->item(5 + 17 * i)->setSelected(true);
    clock.restart();
    display->UpdateChart();
    const double update = Seconds(clock);
    display->ChOutput->replot(QCustomPlot::rpImmediateRefresh);
    const double draw = Seconds(clock);
    std::printf("chart of 10 series x %lld points: update %.3f s, drawing %.3f s\n",
                static_cast<long long>(display->Table().Records()), update, draw);
    DestroyWindows();
    return 0;
}
