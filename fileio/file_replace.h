// Saving a file the user named: written beside it and renamed over it only
// once complete, so a failed save (a full disk, no permission) leaves the old
// file whole.
#pragma once

#include <functional>
#include <string>

#include "fileio/text_writer.h"

namespace fileio {

// Writes `fileName` through `write`. A file its owner made read-only is
// refused ("File access denied"); a device or a pipe is written into rather
// than replaced; a symbolic link keeps pointing at the file it names.
void WriteReplacing(const std::string& fileName, const std::function<void(TextWriter&)>& write);

}  // namespace fileio
