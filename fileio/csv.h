// CSV records as RFC 4180 writes them: fields separated by commas, a field
// holding a comma, quote or line end enclosed in quotes with its quotes
// doubled. Lines end with CR LF or LF.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace fileio {

// The next record of `in`, its fields in `fields`; false at the end of the
// input. `line` counts the lines read, so a record spanning lines (a quoted
// line end) reports the line it started on through `firstLine`. Tab-separated
// files are read with the separator '\t'.
bool ReadCsvRecord(std::istream& in, std::vector<std::string>& fields, int& line, int& firstLine, char separator = ',');

// The next line of tab-separated values, which have no quoting, its fields
// in `fields`; false at the end of the input. `line` counts the lines read.
bool ReadTsvRecord(std::istream& in, std::vector<std::string>& fields, int& line);

// A field as it must stand in a record.
std::string CsvField(std::string_view text);

// A whole record of these fields, ended with CR LF.
std::string CsvRecord(const std::vector<std::string>& fields);

// The shortest text that reads back as the same double; "NaN", "Inf" and
// "-Inf" for values that are not finite, the words that data-frame readers
// (pandas, R) take as numbers (the model's output file keeps its own words).
std::string ExactText(double value);

// A number field: the whole text a decimal number, else false.
bool ParseDouble(std::string_view text, double& value);

}  // namespace fileio
