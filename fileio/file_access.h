// Opening files for the model files, with failures turned into the
// input/output errors the user sees.
#pragma once

#include <string>

#include "core/stypes.h"

namespace fileio {

// The EInOutError for a failed open() of `fileName`: as InOutErrorFromErrno,
// except that a missing folder is "Invalid filename" rather than "File not
// found" (the system says ENOENT for both).
EInOutError OpenFailure(const std::string& fileName, int err);

// Opens an existing file for reading. Folders are refused ("File access denied").
int OpenForReading(const std::string& fileName);

// Creates or empties a file for writing.
int OpenForWriting(const std::string& fileName);

// True when `fileName` names an existing file that is not a folder.
bool IsExistingFile(const std::string& fileName);

}  // namespace fileio
