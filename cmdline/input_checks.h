// What modelbatch checks in its files before a run, beyond what the run
// itself refuses: mistakes that would otherwise pass without a word and give
// wrong results (parameter lines out of place, drivers that do not cover the
// run), and destinations that would fail only after the whole run.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace fileio {
class DriverReader;
}
struct RunStatistics;

// The parameter file's own checks are shared with the windows.
#include "checks/param_checks.h"

// The record times of a driver file, read through the driver reader.
struct DriverTimes {
    std::int64_t records = 0;
    double first = 0.0, last = 0.0;  // magnitudes: a negative time only marks interpolation
    double lastSpacing = 0.0;        // between the last two records
    std::int64_t backwards = 0;      // records whose time is before the previous record's
    std::int64_t backwardsLine = 0;  // the first of them: its line, its time and the time before it
    double backwardsTime = 0.0, backwardsBefore = 0.0;
};
// Throws EInOutError (fileio::EInvalidNumber for a text that is no number).
// The reader keeps the records it read, for a run to take it.
DriverTimes ScanDriverTimes(fileio::DriverReader& reader);

// Warnings about drivers that do not cover the run set in force (StartTime,
// StopTime, TimeStep, RunOptions).
std::vector<std::string> DriverWarnings(const DriverTimes& times, const std::string& subject);

// "" when a file can be made at `fileName`; otherwise what stands in the way
// ("folder 'x' does not exist", "File access denied", ...). A file made to
// try is removed again.
std::string WriteProblem(const std::string& fileName);

// "" or what is wrong with the place of a file to read or write: "folder 'x'
// does not exist", "is a folder, not a file".
std::string PlaceProblem(const std::string& fileName);

// What follows the failure of a run that failed at its first evaluation: a
// fault there comes from the starting values, so the parameter file (and the
// --set values, when there are any) to look at, and the parameters that are
// 0. A fault within the first step comes from the integrator's trial values,
// which the starting values passed, so it gets no hint. An empty `paramFile`
// names the parameter values given without a file.
std::string FirstEvaluationHint(const RunStatistics& stats, const std::exception& e, const std::string& paramFile,
                                bool sets);

// What follows the failure of a run: what the input checks found (values no
// real site has, misplaced records, parameters out of order) as its likely
// cause, or without a finding the hint of a fault at the first evaluation.
std::string FailureHint(const RunStatistics& stats, const std::exception& e, const std::string& paramFile, bool sets,
                        const std::vector<std::string>& findings);
