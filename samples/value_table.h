// A table of state and parameter values by symbol, the reviewable source of
// a bundled parameter file.
//
// Each line is `kind <TAB> symbol <TAB> value [<TAB> note]`, kind being
// "state" or "param"; blank lines and lines starting with '#' are skipped.
// Every state and every parameter of the model must be given exactly once,
// so a parameter file is never written with a value silently left at 0.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>

#include "core/stypes.h"

class ValueTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the table into the Value fields of `states` and `params` (the model
// must be defined). Throws ValueTableError naming the file and line of the
// first fault, or the entries that were not given.
void LoadValueTable(std::istream& in, const std::string& fileName, statearray& states, paramarray& params);
