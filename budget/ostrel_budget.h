// ostrel-budget: the carbon, nitrogen and water budget of an output file.
#pragma once

#include <ostream>

// Runs the program with these arguments: the report to `out`, messages to
// `err`. Returns the exit status: 0 done, 1 the file could not be read or
// the CSV not saved, 2 a wrong command line.
int RunOstrelBudget(int argc, char** argv, std::ostream& out, std::ostream& err);
