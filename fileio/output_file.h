// The output file as objects: any number can be open at once. The free
// routines of fileio.h work on one default reader and one default writer of
// these.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/stypes.h"
#include "fileio/text_reader.h"
#include "fileio/text_writer.h"

namespace fileio {

// Values of one record after its time: the drivers, the states and the
// process variables after the derivatives, in the order of the columns.
inline constexpr int MaxOutputValues = MaxDrivers + (MaxProcesses > MaxStates ? MaxProcesses : MaxStates);

// Number of values of a record of a model with these counts; the drivers are
// ModelDef.NumDrivers.
int OutputValueCount(std::int32_t numStates, std::int32_t numProcesses);

// Gathers the values of a record in the order of the columns into `values`
// (at least OutputValueCount long): the drivers from the global Drivers
// table, the states and the process variables from the tables given.
// Returns the number gathered.
int GatherOutputValues(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                       const processarray& processes, std::span<double> values);

class OutputWriter {
public:
    // Creates the file (replacing any file of that name) with its line of
    // column titles and its line of units.
    OutputWriter(const std::string& fileName, std::int32_t numStates, const statearray& states,
                 std::int32_t numProcesses, const processarray& processes);
    // Stores what is left, or tells the user that it could not.
    ~OutputWriter() { CloseOrReport(text_); }
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    const std::string& FileName() const noexcept { return text_.FileName(); }

    // Appends one record: the time and the values, in the order of the columns.
    void WriteRecord(double time, std::span<const double> values);
    // Appends the record of these tables (and the global drivers).
    void WriteRecord(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                     const processarray& processes, double time);

    // Stores everything and closes; throws the failure of storing the rest.
    void Close() { text_.Close(); }

    // Records that reached the file whole: after a write failed (a full
    // disk), those stored before it.
    std::int64_t RecordsStored() const noexcept;

private:
    TextWriter text_;
};

class OutputReader {
public:
    // Opens an existing output file and passes over its two title lines.
    explicit OutputReader(const std::string& fileName);

    const std::string& FileName() const noexcept { return text_.FileName(); }

    // The next record into `time` and the Value fields of the drivers (the
    // model's count of them), states 1..numStates and process entries
    // numStates+1..numProcesses. False at the end of the file; blank lines
    // after the last record are no record. A last record the end of the file
    // cuts short (a run killed while writing it) is left out: the reader
    // reports it to the notifier in force (CutRecordNote), then ends as at
    // the end of the file, leaving the tables as they were.
    bool ReadRecord(double& time, driverarray& drivers, std::int32_t numStates, statearray& states,
                    std::int32_t numProcesses, processarray& processes);

    // Where the end of the file cut the last record short; -1 when it did not.
    std::int64_t CutAt() const noexcept { return cut_ ? cutAt_ : -1; }

private:
    bool LeaveOutCutRecord();

    TextReader text_;
    bool cut_ = false;
    std::int64_t cutAt_ = 0;
    double values_[MaxOutputValues];
};

// "the last record of 'x', cut short at byte N, was left out".
std::string CutRecordNote(const std::string& fileName, std::int64_t byte);

}  // namespace fileio
