// The driver file: two title lines, then one record per line, a time and one
// value per driver. A reader keeps two records in memory (the one in force
// and the one read ahead), whatever the length of the file.
#include "fileio/driver_file.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/fpfaults.h"
#include "core/notify.h"
#include "fileio/file_access.h"
#include "fileio/number_text.h"

namespace fileio {
namespace {

constexpr std::size_t FieldWidth = 25;

int Count(std::int32_t n) { return std::clamp<int>(n, 0, MaxDrivers); }

// Copies the values only: names, units and symbols stay those of the target.
void CopyValues(const driverarray& from, driverarray& to) {
    for (int i = 1; i <= MaxDrivers; ++i) to[i].Value = from[i].Value;
}

// A number in the driver file's field: 13 significant digits, left-justified
// in 25 characters, and one blank.
void PutNumber(TextWriter& out, double value) {
    char* p = out.Room(FieldWidth + 1);
    const std::size_t n = FormatScientific13(value, p);
    std::fill(p + n, p + FieldWidth + 1, ' ');
    out.Advance(FieldWidth + 1);
}

void PutTitle(TextWriter& out, std::string_view text) {
    out.PutLeft(text, FieldWidth);
    out.Put(" ");
}

}  // namespace

DriverReader::DriverReader(const std::string& fileName) : text_(fileName) { SkipTitleLines(); }

void DriverReader::SkipTitleLines() {
    text_.SkipLine();
    text_.SkipLine();
}

void DriverReader::ReadFromStart(std::int32_t numDrivers) {
    StartPass(Count(numDrivers));
    replaying_ = false;
}

void DriverReader::StartPass(int numDrivers) {
    replay_ = 0;
    replaying_ = keptAll_ && numDrivers == keptCount_;
    if (replaying_) return;
    text_.Rewind();
    SkipTitleLines();
    kept_.clear();
    keptAll_ = false;
    keeping_ = true;
    keptCount_ = numDrivers;
}

// A pass over the kept records gives what reading the file again would give:
// the same records in the same order, then the end of the data.
bool DriverReader::ReadRecord(double& time, std::int32_t numDrivers, driverarray& values) {
    const int n = Count(numDrivers);
    if (replaying_ && n == keptCount_) {
        if (replay_ == kept_.size()) return false;
        const KeptRecord& r = kept_[replay_++];
        time = r.time;
        for (int i = 1; i <= n; ++i) values[i].Value = r.values[i - 1];
        return true;
    }
    if (replaying_) {
        // Another count of drivers than the records were kept with: on from
        // the same record in the file.
        replaying_ = false;
        text_.Rewind();
        SkipTitleLines();
        double skippedTime = 0;
        driverarray skipped = values;
        for (std::size_t i = 0; i < replay_; ++i) ReadFileRecord(skippedTime, keptCount_, skipped);
    }
    const bool read = ReadFileRecord(time, n, values);
    if (keeping_) {
        if (!read) {
            keptAll_ = true;
            keeping_ = false;
        } else if (n == keptCount_ && kept_.size() < MaxKeptRecords) {
            KeptRecord& r = kept_.emplace_back();
            r.time = time;
            for (int i = 1; i <= n; ++i) r.values[i - 1] = values[i].Value;
        } else {
            keeping_ = false;
            kept_.clear();
            kept_.shrink_to_fit();
        }
    }
    return read;
}

bool DriverReader::ReadFileRecord(double& time, int n, driverarray& values) {
    if (text_.AtEnd()) return false;
    driverarray record = values;
    // A number the file ends before reads as 0.
    bool cutShort = false;
    const auto next = [this, &cutShort, n](int position) {
        if (text_.OnlyBlanksLeft()) cutShort = true;
        try {
            return text_.ReadNumber();
        } catch (EInvalidNumber& e) {
            e.Field = "value " + std::to_string(position) + " of " + std::to_string(n + 1);
            throw;
        }
    };
    const double t = next(1);
    bool allZero = t == 0;
    for (int i = 1; i <= n; ++i) {
        record[i].Value = next(i + 1);
        allZero = allZero && record[i].Value == 0;
    }
    text_.SkipLine();
    if (allZero) {
        // A record of zeros (a blank line reads as one) ends the data.
        text_.SkipToEnd();
        return false;
    }
    // A record the end of the file cuts short (a copy broken off, a disk
    // that filled up) is refused rather than completed with zeros.
    if (cutShort) throw ReadBeyondEndOfFile();
    time = t;
    values = record;
    return true;
}

void DriverReader::GetDrivers(driverarray& drv, double time, std::int32_t numDrivers, double stopTime) {
    const int n = Count(numDrivers);
    DriverLookup& l = lookup_;

    if (l.PrevTime == 0 && l.NextTime == 0) {
        StartPass(n);
        dataEnded_ = !ReadRecord(l.NextTime, n, l.Next);
        l.PrevTime = l.NextTime;
        CopyValues(l.Next, l.Prev);
        CopyValues(l.Next, drv);
    }

    // Records at or before `time` take effect in turn; the record read ahead
    // waits in l.Next.
    while (std::fabs(l.NextTime) <= time) {
        l.PrevTime = l.NextTime;
        CopyValues(l.Next, drv);
        CopyValues(l.Next, l.Prev);
        if (!ReadRecord(l.NextTime, n, l.Next)) {
            // No record left: the last one holds beyond the run, and on to any
            // later time asked for.
            l.NextTime = 2 * stopTime;
            dataEnded_ = true;
            if (std::fabs(l.NextTime) <= time) break;
        }
    }

    // A record with a negative time is approached linearly from the one before.
    const double prev = std::fabs(l.PrevTime);
    const double next = std::fabs(l.NextTime);
    // Its arithmetic faults like the equations': an infinite record value or
    // a difference beyond the largest double is reported, not passed on.
    if (!dataEnded_ && l.NextTime < 0 && next != prev) {
        ClearFloatingPointFaults();
        const double f = (time - prev) / (next - prev);
        for (int i = 1; i <= n; ++i) drv[i].Value = l.Prev[i].Value + (l.Next[i].Value - l.Prev[i].Value) * f;
        CheckFloatingPointFaults();
    }
}

std::unique_ptr<DriverReader> OpenDriverReader(const std::string& fileName) {
    if (!IsExistingFile(fileName)) {
        Notify(MsgKind::Error, MsgButtons::Ok, "Cannot read driver file. File does not exist.");
        return nullptr;
    }
    return std::make_unique<DriverReader>(fileName);
}

void PutDriverTitles(TextWriter& out, std::int32_t numDrivers, const driverarray& drivers) {
    const int n = Count(numDrivers);
    PutTitle(out, "Time");
    for (int i = 1; i <= n; ++i) PutTitle(out, drivers[i].Name);
    out.EndLine();
    PutTitle(out, ModelDef.TimeUnit);
    for (int i = 1; i <= n; ++i) PutTitle(out, drivers[i].Units);
    out.EndLine();
}

void PutDriverRecord(TextWriter& out, double time, std::int32_t numDrivers, const driverarray& values) {
    PutNumber(out, time);
    for (int i = 1; i <= Count(numDrivers); ++i) PutNumber(out, values[i].Value);
    out.EndLine();
}

DriverWriter::DriverWriter(const std::string& fileName, std::int32_t numDrivers, const driverarray& drivers)
    : text_(fileName) {
    PutDriverTitles(text_, numDrivers, drivers);
}

void DriverWriter::WriteRecord(double time, std::int32_t numDrivers, const driverarray& values) {
    PutDriverRecord(text_, time, numDrivers, values);
}

}  // namespace fileio
