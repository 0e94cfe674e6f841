// The command line of ostrel-drivers, apart from main so that tests run it.
#pragma once

#include <iosfwd>

namespace drivers {

// 0 on success, 1 when a file is refused or fails its checks, 2 for a
// mistaken command line.
int RunDriversCommand(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace drivers
