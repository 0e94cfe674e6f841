#include "cmdline/input_checks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <filesystem>

#include "fileio/driver_file.h"
#include "fileio/text_reader.h"
#include "run/run_checks.h"
#include "run/run_loop.h"
#include "run/run_options.h"

namespace {

constexpr std::size_t NameWidth = 25;
constexpr std::int64_t MismatchesShown = 10;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string FolderOf(const std::string& fileName) {
    const std::string folder = std::filesystem::path(fileName).parent_path().string();
    return folder.empty() ? "." : folder;
}

}  // namespace

std::vector<std::string> ParamFileWarnings(const std::string& fileName, const std::string& subject) {
    // Read as the parameter reader does: a name field of 25 characters, then
    // the next number, then the rest of the line.
    fileio::TextReader in(fileName);
    in.SkipLine();
    std::vector<std::string> warnings;
    std::int64_t mismatches = 0;
    const int total = ModelDef.NumStates + ModelDef.NumParams;
    int values = 0;
    for (int k = 1; k <= total; ++k) {
        const std::int64_t line = in.Line();
        const std::string name = Trimmed(in.ReadUpTo(NameWidth));
        if (in.OnlyBlanksLeft()) break;
        in.ReadNumber();
        in.SkipLine();
        ++values;
        const std::string_view full = k <= ModelDef.NumStates ? States[k].Name : Params[k - ModelDef.NumStates].Name;
        const std::string expected = Trimmed(full.substr(0, NameWidth));
        if (name.empty() || name == expected) continue;  // a line without a name names nothing wrong
        if (++mismatches <= MismatchesShown)
            warnings.push_back(subject + " line " + std::to_string(line) + ": " + Quoted(name) +
                               " where the model has " + Quoted(expected) + "; values are read by position");
    }
    if (mismatches > MismatchesShown)
        warnings.push_back(subject + ": " + std::to_string(mismatches - MismatchesShown) +
                           " more lines whose names differ from the model's");
    if (values < total)
        warnings.push_back(subject + " holds " + std::to_string(values) + " values where the model has " +
                           std::to_string(total) + ": the other " + std::to_string(total - values) + " read as 0");
    return warnings;
}

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

OutputLock::~OutputLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool OutputLock::Take(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return true;
    // Opened without emptying it: a file another run is writing keeps its records.
    fd_ = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return true;
    return ::flock(fd_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}
