#include "plot/table_file.h"

#include <cerrno>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "cmdline/symbols.h"
#include "cmdline/table_output.h"
#include "fileio/csv.h"
#include "fileio/file_access.h"

TableFileKind TableFileKindOf(const std::string& firstLine) {
    if (firstLine.find('\t') != std::string::npos) return TableFileKind::Tsv;
    if (firstLine.rfind("Time,", 0) == 0 || firstLine.rfind("\"Time\",", 0) == 0) return TableFileKind::Csv;
    return TableFileKind::Model;
}

namespace {

// Appends the next piece of the file to `text`; false at its end.
bool ReadMore(int fd, const std::string& fileName, std::string& text) {
    char buffer[65536];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
        const int err = errno;
        ::close(fd);
        throw fileio::OpenFailure(fileName, err);
    }
    text.append(buffer, static_cast<std::size_t>(n));
    return n > 0;
}

// The next record of a table, CSV or TSV.
bool NextRecord(std::istream& in, TableFileKind kind, std::vector<std::string>& fields, int& line) {
    if (kind == TableFileKind::Csv) {
        int first = 0;
        const bool read = fileio::ReadCsvRecord(in, fields, line, first);
        line = read ? first : line;
        return read;
    }
    return fileio::ReadTsvRecord(in, fields, line);
}

std::runtime_error AtLine(int line, const std::string& why) {
    return std::runtime_error("line " + std::to_string(line) + ": " + why);
}

// The table column of each field of the header: the time, then the symbols.
std::vector<int> HeaderColumns(const std::vector<std::string>& header, int line) {
    if (header.empty() || header[0] != "Time") throw AtLine(line, "the first column must be Time");
    std::vector<int> columns{0};
    for (std::size_t i = 1; i < header.size(); ++i) {
        try {
            const Variable v = FindVariable(header[i], {VarKind::Driver, VarKind::State, VarKind::Process},
                                            "a table holds drivers, states and process variables");
            columns.push_back(OutputPosition(v) + 1);
        } catch (const std::invalid_argument& e) {
            throw AtLine(line, "column " + std::to_string(i + 1) + ": " + e.what());
        }
    }
    return columns;
}

double Number(const std::string& field, int line, std::size_t column) {
    if (field == "NAN") return std::numeric_limits<double>::quiet_NaN();
    if (field == "INF" || field == "-INF")
        return field[0] == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    double value = 0;
    if (!fileio::ParseDouble(field, value))
        throw AtLine(line, "column " + std::to_string(column + 1) + ": '" + field + "' is not a number");
    return value;
}

void LoadTable(const std::string& text, TableFileKind kind, OutputTable& table, std::vector<bool>& present) {
    std::istringstream in(text);
    std::vector<std::string> fields;
    int line = 0;
    NextRecord(in, kind, fields, line);
    const std::vector<int> columns = HeaderColumns(fields, line);
    for (const int c : columns) present[static_cast<std::size_t>(c)] = true;
    if (!NextRecord(in, kind, fields, line)) return;  // the units line, for people
    std::vector<double> row(static_cast<std::size_t>(table.Columns() - 1));
    while (NextRecord(in, kind, fields, line)) {
        if (fields.size() == 1 && fields[0].empty()) continue;  // a blank line
        if (fields.size() != columns.size())
            throw AtLine(
                line, std::to_string(fields.size()) + " fields where the header has " + std::to_string(columns.size()));
        std::fill(row.begin(), row.end(), std::numeric_limits<double>::quiet_NaN());
        const double time = Number(fields[0], line, 0);
        for (std::size_t i = 1; i < fields.size(); ++i)
            row[static_cast<std::size_t>(columns[i] - 1)] = Number(fields[i], line, i);
        table.Append(time, row.data());
    }
}

}  // namespace

std::vector<bool> LoadTableFile(const std::string& fileName, OutputTable& table) {
    std::vector<bool> present(static_cast<std::size_t>(table.Columns()), false);
    const int fd = fileio::OpenForReading(fileName);
    std::string text;
    while (text.find_first_of("\r\n") == std::string::npos && ReadMore(fd, fileName, text)) {
    }
    const TableFileKind kind = TableFileKindOf(text.substr(0, text.find_first_of("\r\n")));
    if (kind == TableFileKind::Model) {
        ::close(fd);
        LoadOutputTable(fileName, -std::numeric_limits<double>::infinity(), table);
        present.assign(present.size(), true);
        return present;
    }
    while (ReadMore(fd, fileName, text)) {
    }
    ::close(fd);
    table.Clear();
    LoadTable(text, kind, table, present);
    return present;
}
