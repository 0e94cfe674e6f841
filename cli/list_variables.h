#pragma once

#include <ostream>
#include <string>
#include <vector>

// Writes the catalogue as tab-separated lines, one per entry, after a header
// line: kind, index, symbol, name, units, paramcount, tabcategory, marked,
// owner. Columns that do not apply to an entry's kind are empty; a symbol
// shared by several entries is written qualified (SYM.KINDINDEX). With
// symbols given, only their entries are written, in the order given (every
// entry of a shared symbol given plain). Throws std::invalid_argument for a
// symbol of no entry.
void ListVariables(std::ostream& out, const std::vector<std::string>& symbols = {});
