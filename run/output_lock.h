// The advisory lock a run holds on the file it writes its records to, so that
// a second run writing the same file, in this process or another, is refused
// instead of mixing the two. Every writer of output files takes it: the run
// loop for the model's output file and for a table an observer writes.
#pragma once

#include <string>

#include "core/stypes.h"

class OutputLock {
public:
    OutputLock() = default;
    ~OutputLock();
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;
    // False when another run holds the lock. A file that cannot be opened, or
    // is no plain file, is left to the run to report. The file is opened
    // without emptying it: a file another run is writing keeps its records.
    bool Take(const std::string& fileName);
    // Gives the lock up; Take may then be called again.
    void Release();

private:
    int fd_ = -1;
};

// "output file 'x' is being written by another run": the refusal of a run
// whose output file another run holds. Nothing has been opened or written.
class EOutputBusy : public ERunTimeError {
public:
    explicit EOutputBusy(const std::string& fileName);
};
