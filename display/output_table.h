// The values of one output file as the display holds them: a column for the
// time, each driver, each state and each process variable, one row per
// record, kept as the numbers read and written as text only when shown.
//
// Cells are addressed as the display's grid shows them: row 0 holds the
// column numbers, row 1 the names, row 2 the units, rows 3 and on the
// records; column 0 is the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

inline constexpr int FirstDataRow = 3;

class OutputTable {
public:
    // The header from the model's catalogue: "Time", the drivers, the states
    // and the process variables (not the derivative entries).
    OutputTable();

    int Columns() const { return static_cast<int>(names_.size()); }
    std::int64_t Records() const { return static_cast<std::int64_t>(values_.size()) / Columns(); }
    // Grid rows: the three header rows and one per record.
    std::int64_t Rows() const { return FirstDataRow + Records(); }

    const std::string& Name(int column) const { return names_[static_cast<std::size_t>(column)]; }
    const std::string& Units(int column) const { return units_[static_cast<std::size_t>(column)]; }
    // The value read from the file, unrounded.
    double Value(int column, std::int64_t record) const {
        return values_[static_cast<std::size_t>(record * Columns() + column)];
    }

    // The text of a grid cell: the time with up to 15 significant digits,
    // values with 6 ("%.6g"); empty outside the table.
    std::string CellText(int column, std::int64_t row) const;
    // The number a data cell shows (the time rounded to 15 significant
    // digits, a value to 6); nothing for a cell that shows no number.
    std::optional<double> ShownNumber(int column, std::int64_t row) const;

    // The last column whose name is `name` exactly; -1 when none is.
    int FindColumn(const std::string& name) const;

    void Clear() { values_.clear(); }
    void Reserve(std::int64_t records) { values_.reserve(static_cast<std::size_t>(records * Columns())); }
    // Appends one record: the time, then Columns() - 1 values.
    void Append(double time, const double* values);

private:
    std::vector<std::string> names_;
    std::vector<std::string> units_;
    std::vector<double> values_;  // row-major, Columns() per record
};

// "%.6g" of a value, as the grid shows it ("1e-05", "123457"); "NAN", "INF"
// and "-INF" as the model files write them.
std::string ValueText(double value);
// The value as that text shows it.
double ShownValue(double value);
// The time with up to 15 significant digits, as the output file writes it.
std::string TimeText(double time);

// Reads the output file `fileName` into `table` (emptied first) through the
// engine's output-file reader, dropping the records before `startTime`. The
// model's own tables are not touched. `progress` is told the share read so
// far (0..1) every few hundred records. A failure to open or read the file is
// thrown after the file is closed; the records read before it stay.
void LoadOutputTable(const std::string& fileName, double startTime, OutputTable& table,
                     const std::function<void(double)>& progress = {});

// The records of `table` as CSV (RFC 4180): a row of names, a row of units,
// then every record with its values in full (up to 15 significant digits;
// NaN, Inf and -Inf for values that are not finite).
// Lines end with CR LF.
std::string CsvText(const OutputTable& table);
