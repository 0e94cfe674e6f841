// The files ostrel-plot reads: the model's output file, and the CSV and
// tab-separated tables modelbatch writes (a line of symbols, a line of units,
// then the records with the time first), told apart by their first line.
#pragma once

#include <string>
#include <vector>

#include "display/output_table.h"

enum class TableFileKind { Model, Csv, Tsv };

// A first line with a tab is TSV, one that starts with "Time," CSV, any
// other the model's output file (fixed-width fields).
TableFileKind TableFileKindOf(const std::string& firstLine);

// Reads `fileName` into `table` (emptied first). Returns which of the
// table's columns the file holds: all of them for the model's file; the time
// and the named columns for a table, whose other columns read as NaN.
// Throws the file reader's errors, or std::runtime_error "line N: why" for
// a table whose header names no variable of the model or whose record is not
// numbers of the header's count.
std::vector<bool> LoadTableFile(const std::string& fileName, OutputTable& table);
