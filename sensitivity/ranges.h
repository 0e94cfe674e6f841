// Which parameters vary, and over what: read from a ranges file, or every
// parameter with a non-zero value around its value.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sensitivity/design.h"

namespace sensitivity {

// A ranges file: one factor a line, "SYMBOL LOW HIGH" or "SYMBOL LOW HIGH
// log", fields separated by tabs or blanks; blank lines, lines starting with
// '#' and a first line starting with "symbol" are skipped. Symbols are
// parameters or state variables of the model. Refusals name the file, line
// and field.
std::vector<Factor> ReadRanges(std::istream& in, const std::string& fileName);

// Every parameter whose value (in Params now) is not 0, from value × (1 −
// fraction) to value × (1 + fraction), the lower end first.
std::vector<Factor> DefaultRanges(double fraction);

}  // namespace sensitivity
