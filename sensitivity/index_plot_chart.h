// The drawing of a sensitivity chart on a plot of the chart library, as the
// files of --plot are made from it.
#pragma once

#include <QSize>

#include "sensitivity/index_chart.h"

class QCustomPlot;

namespace sensitivity {

// Draws `chart` (title, bars or the Morris plane, intervals, labels) on an
// empty `plot` and returns the size of the picture.
QSize DrawIndexChartOn(QCustomPlot& plot, const IndexChart& chart);

}  // namespace sensitivity
