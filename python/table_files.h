// The files of the model read into the tables of a script: output files and
// the CSV tables of modelbatch as records, parameter files as values. The
// catalogue must be defined. Failures throw ETableFileError with the
// file, and the line where there is one, in the text.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "python/record_table.h"
#include "python/script_run.h"

class ETableFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The records of an output file of the model: every column after the time.
RecordTable ReadOutputTable(const std::string& fileName);
// A CSV or TSV table as modelbatch --format csv/tsv writes it: a line of
// symbols (the time first), a line of units, then one line per record.
RecordTable ReadCsvTable(const std::string& fileName);

// A parameter file's values; `warnings` gets what modelbatch warns of.
ParamValues ReadParamValues(const std::string& fileName, std::vector<std::string>& warnings);
// Writes a parameter file of these values (replaced only once complete).
void WriteParamValues(const std::string& fileName, const ParamValues& values);
