// What a run refuses before it replaces any file: times it cannot advance or
// count, and an output file that is one of its input files. The run makes
// these checks itself when it starts; the window and the command line call
// them earlier to refuse an entry at once, with the same words.
#pragma once

#include <exception>
#include <string>

#include "core/stypes.h"
#include "run/run_loop.h"

// The entry a refusal concerns, so that the command line can name its option.
enum class RunEntry { StopTime, TimeStep, OutputFile, SavedParamFile };

class ERunRefused : public ERunTimeError {
public:
    // `subject` names the entry ("Time step 0", "Output file 'a.out'"), which
    // `reason` follows: what() is subject + separator + reason.
    ERunRefused(RunEntry entry, const std::string& subject, const char* separator, std::string reason)
        : ERunTimeError(subject + separator + reason), Entry(entry), Reason(std::move(reason)) {}
    RunEntry Entry;
    // The text after the entry: "the time step must be greater than 0", or
    // for a file "is the driver file 'd.drr': the run would write over it".
    std::string Reason;
};

// A number of a message: up to 12 significant digits, shortest form.
std::string ShortNumber(double value);

// The time step must be greater than 0, the stop time not before the start
// time; the step must change the times it is added to, and the run must take
// at most 2^53 steps (beyond that steps can no longer be counted). Throws
// ERunRefused.
void CheckRunTimes(double start, double stop, double step);

// The output file must not be the parameter file or the driver file (the run
// empties it before it reads the first driver). Names that lead to one
// existing file are the same file. Throws ERunRefused.
void CheckRunFiles(const std::string& paramFile, const std::string& driverFile, const std::string& outputFile);

// A parameter file saved after a run must not be its driver file or its
// output file; saving over the parameter file read is allowed. Throws
// ERunRefused.
void CheckSavedParamFile(const std::string& savedFile, const std::string& driverFile, const std::string& outputFile);

// The end of the last whole step: where a run from `start` towards `stop`
// stops. The times must pass CheckRunTimes.
double LastStepEnd(double start, double stop, double step);

// "" when the run length is a whole multiple of the step; otherwise a warning
// that the run stops short of its stop time, and where.
std::string RunLengthWarning(double start, double stop, double step);

// Where the failure that ended a run happened, for its report: "driver file
// 'd.drr'" or "output file 'a.out'" for a failure of a file, "run" for one in
// the set-up, else "run failed at time 12".
std::string RunFailurePlace(const RunStatistics& stats, const std::string& driverFile,
                            const std::string& outputFile);

// "driver file 'd.drr' line 7, value 3 of 19" for a number of a file that
// cannot be read; the subject alone for any other failure.
std::string FailureSubject(const std::string& subject, const std::exception& failure);
