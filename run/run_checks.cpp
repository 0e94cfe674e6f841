#include "run/run_checks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "fileio/text_reader.h"
#include "run/run_loop.h"

namespace {

// Most steps a run can count: beyond 2^53 steps the sum of the steps no longer
// tells one step from the next.
constexpr double MaxRunSteps = 9007199254740992.0;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// True when both names lead to one existing regular file.
bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec && std::filesystem::is_regular_file(a, ec);
}

[[noreturn]] void RefuseFile(RunEntry entry, const std::string& subject, const std::string& name,
                             const std::string& input, const char* action) {
    throw ERunRefused(entry, subject + " " + Quoted(name), " ",
                      "is the " + input + ": " + action + " would write over it");
}

}  // namespace

std::string ShortNumber(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12);
    return std::string(text, result.ptr);
}

void CheckRunTimes(double start, double stop, double step) {
    const std::string stepSubject = "Time step " + ShortNumber(step);
    if (!(step > 0.0)) throw ERunRefused(RunEntry::TimeStep, stepSubject, ": ", "the time step must be greater than 0");
    if (stop < start)
        throw ERunRefused(RunEntry::StopTime, "Stop time " + ShortNumber(stop), ": ",
                          "the stop time is before the start time " + ShortNumber(start));
    // A step lost in the rounding of the times would never end the run.
    const double farthest = std::max(std::fabs(start), std::fabs(stop));
    if (farthest + step == farthest)
        throw ERunRefused(RunEntry::TimeStep, stepSubject, ": ",
                          "the time step is too small to advance the time from " + ShortNumber(farthest));
    if ((stop - start) / step > MaxRunSteps)
        throw ERunRefused(RunEntry::TimeStep, stepSubject, ": ",
                          "the run from " + ShortNumber(start) + " to " + ShortNumber(stop) +
                              " would take more than 9007199254740992 steps");
}

void CheckRunFiles(const std::string& paramFile, const std::string& driverFile, const std::string& outputFile) {
    if (SameFile(outputFile, paramFile))
        RefuseFile(RunEntry::OutputFile, "Output file", outputFile, "parameter file " + Quoted(paramFile), "the run");
    if (SameFile(outputFile, driverFile))
        RefuseFile(RunEntry::OutputFile, "Output file", outputFile, "driver file " + Quoted(driverFile), "the run");
}

void CheckSavedParamFile(const std::string& savedFile, const std::string& driverFile, const std::string& outputFile) {
    if (SameFile(savedFile, driverFile))
        RefuseFile(RunEntry::SavedParamFile, "Parameter file", savedFile, "driver file " + Quoted(driverFile),
                   "the save");
    if (SameFile(savedFile, outputFile))
        RefuseFile(RunEntry::SavedParamFile, "Parameter file", savedFile, "output file " + Quoted(outputFile),
                   "the save");
}

double LastStepEnd(double start, double stop, double step) {
    const double slack = StepSlack(step);
    const double steps = std::floor((stop - start + slack) / step);
    if (steps > 1e8) return start + steps * step;  // too long to count step by step
    double time = start;
    while (time + step <= stop + slack) time += step;
    return time;
}

std::string RunLengthWarning(double start, double stop, double step) {
    const double lastEnd = LastStepEnd(start, stop, step);
    if (std::fabs(lastEnd - stop) <= StepSlack(step)) return {};
    return "the run length " + ShortNumber(stop - start) + " is not a whole multiple of the time step " +
           ShortNumber(step) + ": the run stops at " + ShortNumber(lastEnd);
}

std::string RunFailurePlace(const RunStatistics& stats, const std::string& driverFile,
                            const std::string& outputFile) {
    switch (stats.FailedIn) {
        case RunStage::OpenDrivers:
        case RunStage::ReadDrivers: return "driver file " + Quoted(driverFile);
        case RunStage::OpenOutput:
        case RunStage::WriteOutput:
        case RunStage::Finish: return "output file " + Quoted(outputFile);
        case RunStage::SetUp: return "run";
        case RunStage::Integrate:
        case RunStage::Evaluate:
        case RunStage::ResetTest:
        case RunStage::SteadyState: break;
    }
    return "run failed at time " + ShortNumber(stats.TimeReached);
}

std::string FailureSubject(const std::string& subject, const std::exception& failure) {
    const auto* number = dynamic_cast<const fileio::EInvalidNumber*>(&failure);
    if (number == nullptr) return subject;
    return subject + " line " + std::to_string(number->Line) + (number->Field.empty() ? "" : ", " + number->Field);
}
