// ostrel-plot: draws without a window, on the offscreen platform unless told otherwise.
#include <QApplication>
#include <memory>
#include <iostream>

#include "model/equations.h"
#include "plot/ostrel_plot.h"
#include "chart/chart_file.h"

int main(int argc, char** argv) {
    const std::unique_ptr<QApplication> app = OffscreenApplication(argc, argv);
    DefineModel();
    return RunOstrelPlot(argc, argv, std::cout, std::cerr);
}
