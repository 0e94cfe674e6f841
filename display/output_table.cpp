#include "display/output_table.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/stypes.h"
#include "fileio/csv.h"
#include "fileio/fileio.h"
#include "fileio/number_text.h"

OutputTable::OutputTable() {
    auto add = [this](std::string_view name, std::string_view units) {
        names_.emplace_back(name);
        units_.emplace_back(units);
    };
    add("Time", ModelDef.TimeUnit);
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) add(Drivers[i].Name, Drivers[i].Units);
    for (int i = 1; i <= ModelDef.NumStates; ++i) add(States[i].Name, States[i].Units);
    for (int i = ModelDef.NumStates + 1; i <= ModelDef.NumProcesses; ++i) add(Processes[i].Name, Processes[i].Units);
}

std::string OutputTable::CellText(int column, std::int64_t row) const {
    if (column < 0 || column >= Columns() || row < 0 || row >= Rows()) return {};
    switch (row) {
        case 0: return std::to_string(column);
        case 1: return Name(column);
        case 2: return Units(column);
        default: {
            const double v = Value(column, row - FirstDataRow);
            return column == 0 ? TimeText(v) : ValueText(v);
        }
    }
}

std::optional<double> OutputTable::ShownNumber(int column, std::int64_t row) const {
    if (column < 0 || column >= Columns() || row < FirstDataRow || row >= Rows()) return std::nullopt;
    const double v = Value(column, row - FirstDataRow);
    if (!std::isfinite(v)) return std::nullopt;
    if (column != 0) return ShownValue(v);
    const std::string text = TimeText(v);
    double shown = 0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

int OutputTable::FindColumn(const std::string& name) const {
    for (int c = Columns() - 1; c >= 0; --c)
        if (names_[static_cast<std::size_t>(c)] == name) return c;
    return -1;
}

void OutputTable::Append(double time, const double* values) {
    values_.push_back(time);
    values_.insert(values_.end(), values, values + Columns() - 1);
}

namespace {

// Writes `value` in the general form with `digits` significant digits.
std::size_t General(double value, int digits, char* out, std::size_t size) {
    if (std::isnan(value)) return static_cast<std::size_t>(std::snprintf(out, size, "NAN"));
    if (std::isinf(value)) return static_cast<std::size_t>(std::snprintf(out, size, value < 0 ? "-INF" : "INF"));
    const auto r = std::to_chars(out, out + size, value, std::chars_format::general, digits);
    return static_cast<std::size_t>(r.ptr - out);
}

}  // namespace

std::string ValueText(double value) {
    char text[40];
    return std::string(text, General(value, 6, text, sizeof text));
}

double ShownValue(double value) {
    if (!std::isfinite(value)) return value;
    char text[40];
    const std::size_t n = General(value, 6, text, sizeof text);
    double shown = value;
    std::from_chars(text, text + n, shown);
    return shown;
}

std::string TimeText(double time) {
    char text[fileio::MaxNumberText];
    return std::string(text, fileio::FormatGeneral15(time, text));
}

void LoadOutputTable(const std::string& fileName, double startTime, OutputTable& table,
                     const std::function<void(double)>& progress) {
    table.Clear();
    // Scratch tables: reading output never changes the model's values.
    auto drivers = std::make_unique<driverarray>(Drivers);
    auto states = std::make_unique<statearray>(States);
    auto processes = std::make_unique<processarray>(Processes);
    const int nd = ModelDef.NumDrivers, ns = ModelDef.NumStates, np = ModelDef.NumProcesses;

    // Records are of one length; the file's size tells roughly how many.
    std::error_code sizeError;
    const auto bytes = std::filesystem::file_size(fileName, sizeError);
    const double recordBytes = 26.0 * table.Columns() + 2;
    const double expected = sizeError ? 0.0 : static_cast<double>(bytes) / recordBytes;
    if (expected > 0) table.Reserve(static_cast<std::int64_t>(expected) + 1);

    std::vector<double> row(static_cast<std::size_t>(table.Columns() - 1));
    OpenOutputFile(fileName, ns, *states, np, *processes, false);
    try {
        double time = 0;
        std::int64_t read = 0;
        while (ReadOutputRecord(time, nd, *drivers, ns, *states, np, *processes)) {
            if (progress && ++read % 512 == 0 && expected > 0) progress(std::min(1.0, read / expected));
            if (time < startTime) continue;
            double* v = row.data();
            for (int i = 1; i <= nd; ++i) *v++ = (*drivers)[i].Value;
            for (int i = 1; i <= ns; ++i) *v++ = (*states)[i].Value;
            for (int i = ns + 1; i <= np; ++i) *v++ = (*processes)[i].Value;
            table.Append(time, row.data());
        }
    } catch (...) {
        CloseOutputFile();
        throw;
    }
    CloseOutputFile();
}

std::string CsvText(const OutputTable& table) {
    std::string out;
    out.reserve(static_cast<std::size_t>(table.Rows() * table.Columns() * 16));
    for (int header = 0; header < 2; ++header) {
        for (int c = 0; c < table.Columns(); ++c) {
            if (c > 0) out += ',';
            out += fileio::CsvField(header == 0 ? table.Name(c) : table.Units(c));
        }
        out += "\r\n";
    }
    char text[fileio::MaxNumberText];
    for (std::int64_t r = 0; r < table.Records(); ++r) {
        for (int c = 0; c < table.Columns(); ++c) {
            if (c > 0) out += ',';
            // Values that are not finite in the words data-frame readers take as numbers.
            const double value = table.Value(c, r);
            if (std::isfinite(value))
                out.append(text, fileio::FormatGeneral15(value, text));
            else
                out += fileio::ExactText(value);
        }
        out += "\r\n";
    }
    return out;
}
