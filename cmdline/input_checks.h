// What modelbatch checks in its files before a run, beyond what the run
// itself refuses: mistakes that would otherwise pass without a word and give
// wrong results (parameter lines out of place, drivers that do not cover the
// run), and destinations that would fail only after the whole run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fileio {
class DriverReader;
}

// Warnings about a parameter file of this model (its header already read):
// lines whose name differs from the catalogue's name at that position, and a
// file that ends before every value. `subject` names the file in the texts.
std::vector<std::string> ParamFileWarnings(const std::string& fileName, const std::string& subject);

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

// An advisory lock on the output file for the whole run, so that a second
// run writing the same file is refused instead of mixing the two.
class OutputLock {
public:
    OutputLock() = default;
    ~OutputLock();
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;
    // False when another run holds the lock. A file that cannot be opened, or
    // is no plain file, is left to the run to report.
    bool Take(const std::string& fileName);

private:
    int fd_ = -1;
};
