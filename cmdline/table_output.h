// The records of a run as a table for other programs: CSV (RFC 4180) or
// tab-separated values, a header line of symbols (qualified where the
// catalogue repeats one), a header line of units, then one line per record
// with the time first and the chosen columns in full precision.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "cmdline/symbols.h"
#include "fileio/text_writer.h"

enum class TableFormat { Model, Csv, Tsv };

// The columns of the output file after the time that `v` is (drivers, states
// and process variables), as a position in the values of a record.
int OutputPosition(Variable v);
// Every column of the output file after the time, in its order.
std::vector<Variable> OutputColumns();

class TableOutput {
public:
    // Creates the file with its two header lines. Throws EInOutError.
    TableOutput(const std::string& fileName, TableFormat format, std::vector<Variable> columns);
    // The record of a run: its time and all its values in the order of the output file.
    void Write(double time, std::span<const double> values);
    // Stores everything; throws the failure of storing the rest.
    void Close() { text_.Close(); }

private:
    void PutField(std::string_view text);
    void PutValue(double value);

    fileio::TextWriter text_;
    char separator_;
    std::vector<int> positions_;
};
