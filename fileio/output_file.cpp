// The output file: a line of column titles, a line of units, then one record
// per output time with the time, the drivers, the states and the process
// variables, each right-justified in a column of 26 characters.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "fileio/fileio.h"
#include "fileio/number_text.h"
#include "fileio/text_reader.h"
#include "fileio/text_writer.h"

namespace {

constexpr std::size_t FieldWidth = 25;
constexpr std::size_t ColumnWidth = FieldWidth + 1;

std::unique_ptr<fileio::TextReader> reader;
std::unique_ptr<fileio::TextWriter> writer;
// Lines the last output file written kept once it was closed.
std::int64_t linesStored = 0;

int Count(std::int32_t n, int capacity) { return std::clamp<int>(n, 0, capacity); }

void PutTitle(fileio::TextWriter& out, std::string_view text) {
    out.PutRight(text, FieldWidth);
    out.Put(" ");
}

// Puts a number right-justified in its 25 characters, and the blank after it.
template <class Format>
void PutColumn(char* column, double value, Format format) {
    char text[fileio::MaxNumberText];
    const std::size_t n = format(value, text);
    std::memset(column, ' ', ColumnWidth);
    std::memcpy(column + FieldWidth - n, text, n);
}

}  // namespace

void OpenOutputFile(const std::string& fileName, std::int32_t numStates, const statearray& states,
                    std::int32_t numProcesses, const processarray& processes, bool write) {
    reader.reset();
    writer.reset();
    if (!write) {
        reader = std::make_unique<fileio::TextReader>(fileName);
        reader->SkipLine();
        reader->SkipLine();
        return;
    }
    linesStored = 0;
    writer = std::make_unique<fileio::TextWriter>(fileName);
    const int nd = Count(ModelDef.NumDrivers, MaxDrivers);
    const int ns = Count(numStates, MaxStates);
    const int np = Count(numProcesses, MaxProcesses);
    PutTitle(*writer, "Time");
    for (int i = 1; i <= nd; ++i) PutTitle(*writer, Drivers[i].Name);
    for (int i = 1; i <= ns; ++i) PutTitle(*writer, states[i].Name);
    for (int i = ns + 1; i <= np; ++i) PutTitle(*writer, processes[i].Name);
    writer->EndLine();
    PutTitle(*writer, ModelDef.TimeUnit);
    for (int i = 1; i <= nd; ++i) PutTitle(*writer, Drivers[i].Units);
    for (int i = 1; i <= ns; ++i) PutTitle(*writer, states[i].Units);
    for (int i = ns + 1; i <= np; ++i) PutTitle(*writer, processes[i].Units);
    writer->EndLine();
}

bool WriteOutputRecord(std::int32_t numStates, const statearray& states, std::int32_t numProcesses,
                       const processarray& processes, double time) {
    if (!writer) throw InOutErrorFromErrno(EBADF);
    const int nd = Count(ModelDef.NumDrivers, MaxDrivers);
    const int ns = Count(numStates, MaxStates);
    const int np = std::max(Count(numProcesses, MaxProcesses), ns);
    const std::size_t columns = 1 + static_cast<std::size_t>(nd + np);
    char* p = writer->Room(columns * ColumnWidth + 2);
    PutColumn(p, time, fileio::FormatGeneral15);
    p += ColumnWidth;
    for (int i = 1; i <= nd; ++i, p += ColumnWidth) PutColumn(p, Drivers[i].Value, fileio::FormatScientific13);
    for (int i = 1; i <= ns; ++i, p += ColumnWidth) PutColumn(p, states[i].Value, fileio::FormatScientific13);
    for (int i = ns + 1; i <= np; ++i, p += ColumnWidth)
        PutColumn(p, processes[i].Value, fileio::FormatScientific13);
    p[0] = '\r';
    p[1] = '\n';
    writer->Advance(columns * ColumnWidth + 2);
    return true;
}

bool ReadOutputRecord(double& time, std::int32_t /*numDrivers: the model's count is used*/, driverarray& drivers,
                      std::int32_t numStates, statearray& states, std::int32_t numProcesses, processarray& processes) {
    if (!reader) throw InOutErrorFromErrno(EBADF);
    // Blank lines after the last record end the file; they are no record.
    if (reader->OnlyBlanksLeft()) return false;
    const int nd = Count(ModelDef.NumDrivers, MaxDrivers);
    const int ns = Count(numStates, MaxStates);
    const int np = Count(numProcesses, MaxProcesses);
    time = reader->ReadNumber();
    for (int i = 1; i <= nd; ++i) drivers[i].Value = reader->ReadNumber();
    for (int i = 1; i <= ns; ++i) states[i].Value = reader->ReadNumber();
    for (int i = ns + 1; i <= np; ++i) processes[i].Value = reader->ReadNumber();
    reader->SkipLine();
    return true;
}

void CloseOutputFile() {
    reader.reset();
    if (writer) {
        // The file is closed even when storing its last records fails.
        const std::unique_ptr<fileio::TextWriter> closing = std::move(writer);
        try {
            closing->Close();
        } catch (...) {
            linesStored = closing->LinesStored();
            throw;
        }
        linesStored = closing->LinesStored();
    }
}

std::int64_t OutputRecordsStored() {
    const std::int64_t lines = writer ? writer->LinesStored() : linesStored;
    return std::max<std::int64_t>(lines - 2, 0);  // the two title lines are no records
}
