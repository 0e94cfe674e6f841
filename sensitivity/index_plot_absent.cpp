// A build without the windows has no chart library: --plot is refused.
#include <stdexcept>

#include "sensitivity/index_chart.h"

namespace sensitivity {

bool PlottingAvailable() { return false; }

void DrawIndexChart(const IndexChart&, const std::string&) {
    throw std::runtime_error("plotting is not available in this build (it was built without the windows)");
}

}  // namespace sensitivity
