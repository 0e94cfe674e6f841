// The driver file: two title lines, then one record per line, a time and one
// value per driver. The reader keeps two records in memory (PrevDrivers and
// NextDrivers), whatever the length of the file.
#include <algorithm>
#include <cmath>
#include <memory>

#include "core/fpfaults.h"
#include "core/notify.h"
#include "fileio/file_access.h"
#include "fileio/fileio.h"
#include "fileio/number_text.h"
#include "fileio/text_reader.h"
#include "fileio/text_writer.h"

namespace {

constexpr std::size_t FieldWidth = 25;

// The one driver file, open for reading or for writing.
std::unique_ptr<fileio::TextReader> reader;
std::unique_ptr<fileio::TextWriter> writer;
// The last record has been read: no record follows PrevDrivers.
bool dataEnded = false;

int Count(std::int32_t n) { return std::clamp<int>(n, 0, MaxDrivers); }

// Copies the values only: names, units and symbols stay those of the target.
void CopyValues(const driverarray& from, driverarray& to) {
    for (int i = 1; i <= MaxDrivers; ++i) to[i].Value = from[i].Value;
}

// A number in the driver file's field: 13 significant digits, left-justified
// in 25 characters, and one blank.
void PutNumber(fileio::TextWriter& out, double value) {
    char* p = out.Room(FieldWidth + 1);
    const std::size_t n = fileio::FormatScientific13(value, p);
    std::fill(p + n, p + FieldWidth + 1, ' ');
    out.Advance(FieldWidth + 1);
}

void PutTitle(fileio::TextWriter& out, std::string_view text) {
    out.PutLeft(text, FieldWidth);
    out.Put(" ");
}

void SkipTitleLines() {
    reader->SkipLine();
    reader->SkipLine();
}

}  // namespace

void OpenDriverFile(const std::string& fileName, std::int32_t numDrivers, const driverarray& drivers, bool write) {
    reader.reset();
    writer.reset();
    dataEnded = false;
    const int n = Count(numDrivers);
    if (write) {
        writer = std::make_unique<fileio::TextWriter>(fileName);
        PutTitle(*writer, "Time");
        for (int i = 1; i <= n; ++i) PutTitle(*writer, drivers[i].Name);
        writer->EndLine();
        PutTitle(*writer, ModelDef.TimeUnit);
        for (int i = 1; i <= n; ++i) PutTitle(*writer, drivers[i].Units);
        writer->EndLine();
        return;
    }
    if (!fileio::IsExistingFile(fileName)) {
        Notify(MsgKind::Error, MsgButtons::Ok, "Cannot read driver file. File does not exist.");
        return;
    }
    reader = std::make_unique<fileio::TextReader>(fileName);
    SkipTitleLines();
}

bool ReadDriverRecord(double& time, std::int32_t numDrivers, driverarray& values) {
    if (!reader || reader->AtEnd()) return false;
    const int n = Count(numDrivers);
    driverarray record = values;
    // A number the file ends before reads as 0.
    bool cutShort = false;
    const auto next = [&cutShort] {
        if (reader->OnlyBlanksLeft()) cutShort = true;
        return reader->ReadNumber();
    };
    const double t = next();
    bool allZero = t == 0;
    for (int i = 1; i <= n; ++i) {
        record[i].Value = next();
        allZero = allZero && record[i].Value == 0;
    }
    reader->SkipLine();
    if (allZero) {
        // A record of zeros (a blank line reads as one) ends the data.
        reader->SkipToEnd();
        return false;
    }
    // A record the end of the file cuts short (a copy broken off, a disk
    // that filled up) is refused rather than completed with zeros.
    if (cutShort) throw ReadBeyondEndOfFile();
    time = t;
    values = record;
    return true;
}

bool WriteDriverRecord(double time, std::int32_t numDrivers, const driverarray& values) {
    if (!writer) throw InOutErrorFromErrno(EBADF);
    PutNumber(*writer, time);
    for (int i = 1; i <= Count(numDrivers); ++i) PutNumber(*writer, values[i].Value);
    writer->EndLine();
    return true;
}

void CloseDriverFile() {
    reader.reset();
    if (writer) {
        // The file is closed even when storing its last part fails.
        const std::unique_ptr<fileio::TextWriter> closing = std::move(writer);
        closing->Close();
    }
}

void GetDrivers(driverarray& drv, double time) {
    // Without an open file (it did not exist when it was opened) there is
    // nothing to go back to.
    if (!reader) throw InOutErrorFromErrno(ENOENT);
    const int n = Count(ModelDef.NumDrivers);

    if (PrevDriverTime == 0 && NextDriverTime == 0) {
        reader->Rewind();
        SkipTitleLines();
        dataEnded = !ReadDriverRecord(NextDriverTime, n, NextDrivers);
        PrevDriverTime = NextDriverTime;
        CopyValues(NextDrivers, PrevDrivers);
        CopyValues(NextDrivers, drv);
    }

    // Records at or before `time` take effect in turn; the record read ahead
    // waits in NextDrivers.
    while (std::fabs(NextDriverTime) <= time) {
        PrevDriverTime = NextDriverTime;
        CopyValues(NextDrivers, drv);
        CopyValues(NextDrivers, PrevDrivers);
        if (!ReadDriverRecord(NextDriverTime, n, NextDrivers)) {
            // No record left: the last one holds beyond the run, and on to any
            // later time asked for.
            NextDriverTime = 2 * StopTime;
            dataEnded = true;
            if (std::fabs(NextDriverTime) <= time) break;
        }
    }

    // A record with a negative time is approached linearly from the one before.
    const double prev = std::fabs(PrevDriverTime);
    const double next = std::fabs(NextDriverTime);
    // Its arithmetic faults like the equations': an infinite record value or
    // a difference beyond the largest double is reported, not passed on.
    if (!dataEnded && NextDriverTime < 0 && next != prev) {
        ClearFloatingPointFaults();
        const double f = (time - prev) / (next - prev);
        for (int i = 1; i <= n; ++i)
            drv[i].Value = PrevDrivers[i].Value + (NextDrivers[i].Value - PrevDrivers[i].Value) * f;
        CheckFloatingPointFaults();
    }
}
