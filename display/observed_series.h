// Observations drawn beside the chart's series: the observed points of each
// plotted series, transformed by "Plot as" as the series is.
#pragma once

#include <string>
#include <vector>

#include "fit/observations.h"
#include "display/chart_series.h"

// The column of the output table holding `variable`; -1 when none does
// (parameters and derivatives are not in output files).
int ObservedColumn(const Variable& variable);

// For each of `yNames` (as BuildSeries takes them), its observations as
// points titled "<name> (observed)"; no points for a series without any.
//
// Observations are placed by their time, so they are drawn only against the
// time axis, and only those within the times the table shows: a longer
// observation record does not stretch the axis beyond the run. "Plot as"
// transforms an observation with its series' own y0 (the series' value in the
// first row shown), not with the first observation: observed and modelled
// points keep their distance in all three views, and a series first observed
// after the start still shows its change since the start. The cumulative view
// is likewise the change y − y0, not a running sum. Points "Plot as" cannot
// compute (relative change of a series that starts at 0) are not drawn.
std::vector<PlottedSeries> ObservedSeries(const OutputTable& table, const fit::Observations& observations,
                                          const std::string& xName, const std::vector<std::string>& yNames,
                                          int plotAs);
