#pragma once

// Set by the end-of-step section when the day of year wraps past the end of
// a year, cleared at the next end of step. The evaluation frame reads it to
// reset the annual totals. False when the program starts.
extern bool NewYear;
