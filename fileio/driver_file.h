// The driver file as objects: any number can be open at once, each with its
// own position and lookup. The free routines of fileio.h work on one default
// reader and one default writer of these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/stypes.h"
#include "fileio/text_reader.h"
#include "fileio/text_writer.h"

namespace fileio {

// Where a lookup stands: the record in force (Prev) and the record read ahead
// (Next, whose time keeps the sign read from the file). Both times 0 is the
// restart signal: the next lookup reads the file again from its first record.
struct DriverLookup {
    double PrevTime = 0.0;
    double NextTime = 0.0;
    driverarray Prev;
    driverarray Next;
};

class DriverReader {
public:
    // Opens an existing driver file and passes over its two title lines.
    // Throws EInOutError ("File not found", ...).
    explicit DriverReader(const std::string& fileName);

    const std::string& FileName() const noexcept { return text_.FileName(); }
    // The line the reader stands on, from 1: after ReadRecord, the line after the record.
    std::int64_t Line() const noexcept { return text_.Line(); }

    // The next record into `time` and the values of entries 1..numDrivers;
    // false at the end of data (the end of the file, or a record of zeros),
    // leaving both unchanged. A record the end of the file cuts short is
    // "Read beyond end of file".
    bool ReadRecord(double& time, std::int32_t numDrivers, driverarray& values);

    // The first numDrivers values of `drv` become the drivers in force at
    // `time`: records at or before it hold until the next record, a record
    // with a negative time is approached linearly from the one before. Times
    // must not decrease between two restarts. After the last record, its
    // values hold on; the record read ahead then has the time 2 x stopTime.
    void GetDrivers(driverarray& drv, double time, std::int32_t numDrivers, double stopTime);

    // The next lookup reads the file again from its first record.
    void Restart() noexcept { lookup_.PrevTime = lookup_.NextTime = 0.0; }

    // ReadRecord goes back to the first record and keeps the records it
    // reads, as the lookup's first pass does: once they have all been read,
    // the lookup takes them from memory instead of reading the file again.
    void ReadFromStart(std::int32_t numDrivers);

    DriverLookup& Lookup() noexcept { return lookup_; }

private:
    // A record as read, kept for the next pass when the drivers repeat.
    struct KeptRecord {
        double time;
        double values[MaxDrivers];
    };
    // Records kept at most: a driver file larger than this is read again
    // from the disk at every pass.
    static constexpr std::size_t MaxKeptRecords = 200'000;

    void SkipTitleLines();
    // The lookup goes back to the first record: read from the kept records
    // when the pass before kept them all, otherwise from the file.
    void StartPass(int numDrivers);
    bool ReadFileRecord(double& time, int numDrivers, driverarray& values);

    TextReader text_;
    DriverLookup lookup_;
    // The last record has been read: no record follows lookup_.Prev.
    bool dataEnded_ = false;

    std::vector<KeptRecord> kept_;
    int keptCount_ = 0;       // drivers per kept record
    bool keeping_ = false;    // this pass began at the first record and has kept every record so far
    bool keptAll_ = false;    // kept_ holds every record of the file
    bool replaying_ = false;  // this pass reads kept_ instead of the file
    std::size_t replay_ = 0;  // the next kept record of this pass
};

// A reader of an existing driver file. For a file that does not exist the
// user is told "Cannot read driver file. File does not exist." and the result
// is null.
std::unique_ptr<DriverReader> OpenDriverReader(const std::string& fileName);

// The driver file's two title lines and its record lines, for a writer of
// the caller's (an atomic save through WriteReplacing).
void PutDriverTitles(TextWriter& out, std::int32_t numDrivers, const driverarray& drivers);
void PutDriverRecord(TextWriter& out, double time, std::int32_t numDrivers, const driverarray& values);

class DriverWriter {
public:
    // Creates the file (replacing any file of that name) with its two title
    // lines: "Time" and the names of drivers 1..numDrivers, then the time unit
    // and their units.
    DriverWriter(const std::string& fileName, std::int32_t numDrivers, const driverarray& drivers);
    // Stores what is left, or tells the user that it could not.
    ~DriverWriter() { CloseOrReport(text_); }
    DriverWriter(const DriverWriter&) = delete;
    DriverWriter& operator=(const DriverWriter&) = delete;

    void WriteRecord(double time, std::int32_t numDrivers, const driverarray& values);
    // Stores everything and closes; throws the failure of storing the rest.
    void Close() { text_.Close(); }

private:
    TextWriter text_;
};

}  // namespace fileio
