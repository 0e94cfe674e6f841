// The output file: a line of column titles, a line of units, then one record
// per output time with the time, the drivers, the states and the process
// variables, each right-justified in a column of 26 characters.
#include "fileio/output_file.h"

#include <algorithm>
#include <cstring>

#include "core/notify.h"
#include "fileio/number_text.h"

namespace fileio {
namespace {

constexpr std::size_t FieldWidth = 25;
constexpr std::size_t ColumnWidth = FieldWidth + 1;

// The three tables' columns, each as a count of entries after its first.
struct Columns {
    int drivers, states, processes;  // the process columns are entries states+1..processes
};

Columns ColumnsOf(std::int32_t numStates, std::int32_t numProcesses) {
    const int ns = std::clamp<int>(numStates, 0, MaxStates);
    return {std::clamp<int>(ModelDef.NumDrivers, 0, MaxDrivers), ns,
            std::max(std::clamp<int>(numProcesses, 0, MaxProcesses), ns)};
}

void PutTitle(TextWriter& out, std::string_view text) {
    out.PutRight(text, FieldWidth);
    out.Put(" ");
}

// Puts a number right-justified in its 25 characters, and the blank after it.
template <class Format>
void PutColumn(char* column, double value, Format format) {
    char text[MaxNumberText];
    const std::size_t n = format(value, text);
    std::memset(column, ' ', ColumnWidth);
    std::memcpy(column + FieldWidth - n, text, n);
}

}  // namespace

int OutputValueCount(std::int32_t numStates, std::int32_t numProcesses) {
    const Columns c = ColumnsOf(numStates, numProcesses);
    return c.drivers + c.processes;
}

int GatherOutputValues(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                       const processarray& processes, std::span<double> values) {
    const Columns c = ColumnsOf(numStates, numProcesses);
    double* v = values.data();
    for (int i = 1; i <= c.drivers; ++i) *v++ = Drivers[i].Value;
    for (int i = 1; i <= c.states; ++i) *v++ = states[i].Value;
    for (int i = c.states + 1; i <= c.processes; ++i) *v++ = processes[i].Value;
    return static_cast<int>(v - values.data());
}

OutputWriter::OutputWriter(const std::string& fileName, std::int32_t numStates, const statearray& states,
                           std::int32_t numProcesses, const processarray& processes)
    : text_(fileName) {
    const Columns c = ColumnsOf(numStates, numProcesses);
    PutTitle(text_, "Time");
    for (int i = 1; i <= c.drivers; ++i) PutTitle(text_, Drivers[i].Name);
    for (int i = 1; i <= c.states; ++i) PutTitle(text_, states[i].Name);
    for (int i = c.states + 1; i <= c.processes; ++i) PutTitle(text_, processes[i].Name);
    text_.EndLine();
    PutTitle(text_, ModelDef.TimeUnit);
    for (int i = 1; i <= c.drivers; ++i) PutTitle(text_, Drivers[i].Units);
    for (int i = 1; i <= c.states; ++i) PutTitle(text_, states[i].Units);
    for (int i = c.states + 1; i <= c.processes; ++i) PutTitle(text_, processes[i].Units);
    text_.EndLine();
}

void OutputWriter::WriteRecord(double time, std::span<const double> values) {
    // The whole line is put into the buffer at once: the file only ever
    // receives whole records.
    const std::size_t length = (1 + values.size()) * ColumnWidth + 2;
    char* p = text_.Room(length);
    PutColumn(p, time, FormatGeneral15);
    p += ColumnWidth;
    for (const double value : values) {
        PutColumn(p, value, FormatScientific13);
        p += ColumnWidth;
    }
    p[0] = '\r';
    p[1] = '\n';
    text_.Advance(length);
}

void OutputWriter::WriteRecord(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                               const processarray& processes, double time) {
    double values[MaxOutputValues];
    const int n = GatherOutputValues(numStates, states, numProcesses, processes, values);
    WriteRecord(time, std::span<const double>(values, static_cast<std::size_t>(n)));
}

std::int64_t OutputWriter::RecordsStored() const noexcept {
    return std::max<std::int64_t>(text_.LinesStored() - 2, 0);  // the two title lines are no records
}

OutputReader::OutputReader(const std::string& fileName) : text_(fileName) {
    // A run that went non-finite wrote NAN or INF: its file can still be shown.
    text_.ReadNonFiniteWords();
    text_.SkipLine();
    text_.SkipLine();
}

bool OutputReader::ReadRecord(double& time, driverarray& drivers, std::int32_t numStates, statearray& states,
                              std::int32_t numProcesses, processarray& processes) {
    // Blank lines after the last record end the file; they are no record.
    if (cut_ || text_.OnlyBlanksLeft()) return false;
    const Columns c = ColumnsOf(numStates, numProcesses);
    const int count = c.drivers + c.processes;
    double t = 0.0;
    try {
        t = text_.ReadNumber();
        for (int i = 0; i < count; ++i) {
            // A number the file ends before would read as 0: the record was cut
            // short (a copy broken off, a run still writing it, a run killed).
            if (text_.OnlyBlanksLeft()) return LeaveOutCutRecord();
            values_[i] = text_.ReadNumber();
        }
    } catch (const EInvalidNumber&) {
        // A number the end of the file cuts in two is no number either.
        if (text_.AtEnd()) return LeaveOutCutRecord();
        throw;
    }
    // Every record ends with its line end: without one, its last number may
    // have lost digits.
    if (text_.AtEnd()) return LeaveOutCutRecord();
    text_.SkipLine();
    time = t;
    const double* v = values_;
    for (int i = 1; i <= c.drivers; ++i) drivers[i].Value = *v++;
    for (int i = 1; i <= c.states; ++i) states[i].Value = *v++;
    for (int i = c.states + 1; i <= c.processes; ++i) processes[i].Value = *v++;
    return true;
}

bool OutputReader::LeaveOutCutRecord() {
    cut_ = true;
    cutAt_ = text_.Offset();
    Notify(MsgKind::Warning, MsgButtons::Ok, CutRecordNote(text_.FileName(), cutAt_));
    return false;
}

std::string CutRecordNote(const std::string& fileName, std::int64_t byte) {
    return "the last record of '" + fileName + "', cut short at byte " + std::to_string(byte) + ", was left out";
}

}  // namespace fileio
