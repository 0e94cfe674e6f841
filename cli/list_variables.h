#pragma once

#include <ostream>

// Writes the catalogue as tab-separated lines, one per entry, after a header
// line: kind, index, symbol, name, units, paramcount, tabcategory, marked,
// owner. Columns that do not apply to an entry's kind are empty.
void ListVariables(std::ostream& out);
