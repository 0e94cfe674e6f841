// ostrel-plot: the display's chart of an output file, drawn without a window
// into a PNG, SVG or PDF file, for scripts and papers.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "display/output_table.h"

// The grid column of a series named by its name or by its symbol (as
// `modelbatch --list-variables` lists them); "Time" is the time. Throws
// std::invalid_argument with a message naming the nearest symbols when no
// series has that name or symbol, or the series it could mean when a symbol
// belongs to more than one.
int SeriesColumn(const OutputTable& table, const std::string& nameOrSymbol);

// The whole program; needs a QApplication. Returns the exit status: 0 done,
// 1 the output file or the chart file failed, 2 a wrong command line.
int RunOstrelPlot(int argc, char** argv, std::ostream& out, std::ostream& err);
