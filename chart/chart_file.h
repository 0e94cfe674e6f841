// Charts of the workbench's chart library written to files and given the
// display's look; shared by the output display, ostrel-plot and the
// sensitivity plots.
#pragma once

#include <QString>
#include <memory>

class QApplication;
class QCPTextElement;
class QCustomPlot;

// The toolkit application a command line needs to draw charts without a
// window: on the offscreen platform unless QT_QPA_PLATFORM names another,
// with the toolkit's notes below critical kept from the user. Null when the
// program has one already. argc and argv must outlive it.
std::unique_ptr<QApplication> OffscreenApplication(int& argc, char** argv);

// Writes `chart` to `fileName` as PNG (twice the given size in pixels), SVG
// or PDF (vector), by the name's extension, through a temporary file beside
// it; `title` names the drawing inside SVG and PDF files. Throws
// std::runtime_error "Cannot write FILE: why" on failure.
void SaveChart(QCustomPlot& chart, const QString& fileName, int width, int height, const QString& title);

// The display's title row above the plot (the chart's font, bold, two points
// larger) and its legend (the chart's font, visible); its numbers keep the
// decimal point under any locale.
QCPTextElement* AddChartTitle(QCustomPlot& chart, const QString& text);
