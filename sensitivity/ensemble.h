// Running the members of a design: each member is one modelbatch command
// line, run as a process of its own, several at a time; each writes its row
// of metrics into the shared results file itself.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "sensitivity/design.h"

namespace sensitivity {

struct EnsembleSettings {
    std::string ModelBatch;              // the modelbatch program
    std::vector<std::string> Metrics;    // --metric texts
    std::vector<std::string> RunOptions; // passed on to every member as given
    std::string ParamFile;
    std::string DriverFile;
    std::string ResultsFile;
};

// The arguments of member m's modelbatch (the program first).
std::vector<std::string> MemberArguments(const EnsembleSettings& settings, const Design& design, const Member& m);

// A command line a shell runs as it stands: arguments quoted where needed.
std::string ShellCommand(const std::vector<std::string>& arguments);

// The header of the results file: member, status, then one column per metric.
std::vector<std::string> ResultsHeader(const std::vector<std::string>& metrics);

// The member ids that already have a row in a results file (none when it
// does not exist); refuses a file whose header is not `header`.
std::set<std::string> FinishedMembers(const std::string& resultsFile, const std::vector<std::string>& header);

struct EnsembleProgress {
    std::size_t Done = 0, Failed = 0, Total = 0;
    double Seconds = 0;
};

// Runs every member not in `skip`, `jobs` at a time, calling `progress` as
// members finish. A member whose program ends without writing its row (a
// crash) gets a row saying how it ended. Returns the counts.
EnsembleProgress RunEnsemble(const EnsembleSettings& settings, const Design& design, const std::set<std::string>& skip,
                             int jobs, const std::function<void(const EnsembleProgress&)>& progress);

}  // namespace sensitivity
