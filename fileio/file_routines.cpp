// The driver and output file routines of fileio.h, on one default reader and
// one default writer of each file.
#include <cerrno>
#include <memory>
#include <utility>

#include "fileio/driver_file.h"
#include "fileio/fileio.h"
#include "fileio/output_file.h"

namespace {

std::unique_ptr<fileio::DriverReader> driverReader;
std::unique_ptr<fileio::DriverWriter> driverWriter;
std::unique_ptr<fileio::OutputReader> outputReader;
std::unique_ptr<fileio::OutputWriter> outputWriter;

// Closes a default writer. It is closed (and no longer the default) even when
// storing its last part fails; the failure is thrown.
template <class Writer>
void CloseWriter(std::unique_ptr<Writer>& writer) {
    if (!writer) return;
    const std::unique_ptr<Writer> closing = std::move(writer);
    closing->Close();
}

// Using a file that is not open is a mistake of the caller: the system's own
// answer to it.
template <class File>
File& Opened(const std::unique_ptr<File>& file) {
    if (!file) throw InOutErrorFromErrno(EBADF);
    return *file;
}

}  // namespace

void OpenDriverFile(const std::string& fileName, std::int32_t numDrivers, const driverarray& drivers, bool write) {
    if (write) {
        // A file left open is completed (or its failure shown) before the new one is made.
        driverWriter.reset();
        driverWriter = std::make_unique<fileio::DriverWriter>(fileName, numDrivers, drivers);
        return;
    }
    driverReader.reset();
    driverReader = fileio::OpenDriverReader(fileName);
}

bool ReadDriverRecord(double& time, std::int32_t numDrivers, driverarray& values) {
    return driverReader && driverReader->ReadRecord(time, numDrivers, values);
}

bool WriteDriverRecord(double time, std::int32_t numDrivers, const driverarray& values) {
    Opened(driverWriter).WriteRecord(time, numDrivers, values);
    return true;
}

void CloseDriverFile() {
    driverReader.reset();
    CloseWriter(driverWriter);
}

void GetDrivers(driverarray& drv, double time) {
    // Without an open file (it did not exist when it was opened) there is
    // nothing to go back to.
    if (!driverReader) throw InOutErrorFromErrno(ENOENT);
    // The reader works on the shared globals' place, and leaves its new place
    // there however the lookup ends.
    struct Shared {
        fileio::DriverLookup& lookup;
        ~Shared() {
            PrevDriverTime = lookup.PrevTime;
            NextDriverTime = lookup.NextTime;
            PrevDrivers = lookup.Prev;
            NextDrivers = lookup.Next;
        }
    } shared{driverReader->Lookup()};
    shared.lookup = {PrevDriverTime, NextDriverTime, PrevDrivers, NextDrivers};
    driverReader->GetDrivers(drv, time, ModelDef.NumDrivers, StopTime);
}

void OpenOutputFile(const std::string& fileName, std::int32_t numStates, const statearray& states,
                    std::int32_t numProcesses, const processarray& processes, bool write) {
    if (write) {
        outputWriter.reset();
        outputWriter = std::make_unique<fileio::OutputWriter>(fileName, numStates, states, numProcesses, processes);
        return;
    }
    outputReader.reset();
    outputReader = std::make_unique<fileio::OutputReader>(fileName);
}

bool WriteOutputRecord(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                       const processarray& processes, double time) {
    Opened(outputWriter).WriteRecord(numStates, states, numProcesses, processes, time);
    return true;
}

bool ReadOutputRecord(double& time, std::int32_t /*numDrivers: the model's count is used*/, driverarray& drivers,
                      std::int32_t numStates, statearray& states, std::int32_t numProcesses, processarray& processes) {
    return Opened(outputReader).ReadRecord(time, drivers, numStates, states, numProcesses, processes);
}

void CloseOutputFile() {
    outputReader.reset();
    CloseWriter(outputWriter);
}
