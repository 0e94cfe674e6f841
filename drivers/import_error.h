// A refusal of the driver tools: its message names the file and, where there
// is one, the line; nothing has been written when it is thrown.
#pragma once

#include <stdexcept>
#include <string>

namespace drivers {

class ImportError : public std::runtime_error {
public:
    explicit ImportError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace drivers
