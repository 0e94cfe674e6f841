#include "cmdline/input_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>

#include "checks/run_inputs.h"
#include "fileio/driver_file.h"
#include "run/run_checks.h"
#include "run/run_loop.h"
#include "run/run_options.h"

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string FolderOf(const std::string& fileName) {
    const std::string folder = std::filesystem::path(fileName).parent_path().string();
    return folder.empty() ? "." : folder;
}

}  // namespace

DriverTimes ScanDriverTimes(fileio::DriverReader& reader) {
    reader.ReadFromStart(ModelDef.NumDrivers);
    DriverTimes times;
    double time = 0.0;
    driverarray values = Drivers;
    while (reader.ReadRecord(time, ModelDef.NumDrivers, values)) {
        const double t = std::fabs(time);
        if (times.records == 0) {
            times.first = t;
        } else {
            times.lastSpacing = t - times.last;
            if (t < times.last && times.backwards++ == 0) {
                times.backwardsLine = reader.Line() - 1;
                times.backwardsTime = t;
                times.backwardsBefore = times.last;
            }
        }
        times.last = t;
        ++times.records;
    }
    return times;
}

std::vector<std::string> DriverWarnings(const DriverTimes& times, const std::string& subject) {
    std::vector<std::string> warnings;
    if (times.records == 0) {
        warnings.push_back(subject + " holds no record: every driver keeps the value 0");
        return warnings;
    }
    const double slack = StepSlack(TimeStep);
    if (times.first > StartTime + slack)
        warnings.push_back(subject + " starts at time " + ShortNumber(times.first) + ", after the start time " +
                           ShortNumber(StartTime) + ": the first record's values apply before it");
    if (times.backwards > 0) {
        std::string text = subject + " line " + std::to_string(times.backwardsLine) + ": the time " +
                           ShortNumber(times.backwardsTime) + " is before the time " +
                           ShortNumber(times.backwardsBefore) + " of the record before it";
        if (times.backwards > 1) text += " (and " + std::to_string(times.backwards - 1) + " more records)";
        warnings.push_back(text + "; records are read in the order of the file and must not go back in time");
    }
    // The last record is taken to last as long as the spacing before it.
    const double covered = times.last + times.lastSpacing;
    if (RunOptions.RepeatDrivers) {
        if (RunOptions.RepeatDriveTime > times.last + slack)
            warnings.push_back("--repeat-drivers " + std::to_string(RunOptions.RepeatDriveTime) +
                               " lies beyond the last record of " + subject + ", at time " +
                               ShortNumber(times.last) + ": its values hold until the drivers repeat");
    } else if (times.records > 1) {  // a single record is a file of constant drivers
        const double lastStepStart = LastStepEnd(StartTime, StopTime, TimeStep) - TimeStep;
        if (lastStepStart > times.last + slack && lastStepStart >= covered - slack)
            warnings.push_back("the run goes past the last record of " + subject + ", at time " +
                               ShortNumber(times.last) +
                               ": its values hold to the end of the run (--repeat-drivers repeats the file)");
    }
    return warnings;
}

std::string PlaceProblem(const std::string& fileName) {
    std::error_code ec;
    const std::string folder = FolderOf(fileName);
    if (!std::filesystem::exists(folder, ec)) return "folder " + Quoted(folder) + " does not exist";
    if (!std::filesystem::is_directory(folder, ec)) return Quoted(folder) + " is a file, not a folder";
    if (std::filesystem::is_directory(fileName, ec)) return "is a folder, not a file";
    return {};
}

std::string WriteProblem(const std::string& fileName) {
    if (std::string problem = PlaceProblem(fileName); !problem.empty()) return problem;
    // A file its owner made read-only is not replaced; any other is replaced
    // by a new file made beside it.
    if (::access(fileName.c_str(), F_OK) == 0 && ::access(fileName.c_str(), W_OK) != 0)
        return InOutErrorFromErrno(errno).what();
    const std::string trial = FolderOf(fileName) + "/.modelbatch-check-" + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(trial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return InOutErrorFromErrno(errno).what();
    ::close(fd);
    ::unlink(trial.c_str());
    return {};
}

std::string FirstEvaluationHint(const RunStatistics& stats, const std::exception& e, const std::string& paramFile,
                                bool sets) {
    if (stats.Steps > 0 || dynamic_cast<const EMathError*>(&e) == nullptr || stats.FailedIn != RunStage::Evaluate)
        return {};
    std::string zeros;
    int count = 0;
    for (int i = 1; i <= ModelDef.NumParams; ++i) {
        if (Params[i].Value != 0.0 && std::isfinite(Params[i].Value)) continue;
        if (++count <= 12) zeros += (zeros.empty() ? "" : ", ") + std::string(Params[i].Symbol);
    }
    std::string hint =
        "; the model failed on the starting values: check " +
        (paramFile.empty() ? std::string("the parameter values") : "parameter file '" + paramFile + "'") +
        (sets ? " and the --set values" : "");
    if (count > 0)
        hint += " (parameters that are 0: " + zeros +
                (count > 12 ? " and " + std::to_string(count - 12) + " more" : "") + ")";
    return hint;
}

std::string FailureHint(const RunStatistics& stats, const std::exception& e, const std::string& paramFile, bool sets,
                        const std::vector<std::string>& findings) {
    if (std::string cause = LikelyCause(findings, stats.FailedIn); !cause.empty()) return cause;
    return FirstEvaluationHint(stats, e, paramFile, sets);
}
