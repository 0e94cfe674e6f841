// The parameter file: a header line naming the model and its version, then one
// fixed-column line per state and per parameter, matched by position.
#include <algorithm>
#include <cctype>
#include <string>

#include "core/notify.h"
#include "fileio/file_replace.h"
#include "fileio/fileio.h"
#include "fileio/number_text.h"
#include "fileio/text_reader.h"
#include "fileio/text_writer.h"

namespace {

constexpr std::size_t FieldWidth = 25;
// The header's model field with the blank after it.
constexpr std::size_t ModelTestWidth = 26;
// Enough of the header line for any version this model can have.
constexpr std::size_t HeaderKept = 4096;

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// The version the header line declares: from character 27 on, up to its first
// blank; "Unknown" when the line names another model.
std::string FileVersion(const std::string& header) {
    const std::string_view model = std::string_view(header).substr(0, ModelTestWidth);
    if (!SameIgnoringCase(WithoutBlanks(model), WithoutBlanks(ModelDef.Name))) return "Unknown";
    if (header.size() <= ModelTestWidth) return "";
    const std::string version = header.substr(ModelTestWidth);
    return version.substr(0, version.find(' '));
}

int Count(std::int32_t n, int capacity) { return std::clamp<int>(n, 0, capacity); }

void PutDataLine(fileio::TextWriter& out, std::string_view name, double value, std::string_view units) {
    out.PutLeft(name, FieldWidth);
    char* p = out.Room(fileio::StandardRealWidth);
    fileio::FormatStandardReal(value, p);
    out.Advance(fileio::StandardRealWidth);
    out.Put(" ");
    out.PutLeft(units, FieldWidth);
    out.EndLine();
}

}  // namespace

bool ReadParamFile(const std::string& fileName, std::int32_t numParams, paramarray& params, std::int32_t numStates,
                   statearray& states) {
    ParamsModified = false;
    fileio::TextReader in(fileName);
    // The rest of a header line too long for any version is read only when
    // the file is this model's: a file of another kind may have no line end.
    const std::string version = FileVersion(in.ReadUpTo(HeaderKept));
    if (version != ModelDef.Version) {
        Notify(MsgKind::Error, MsgButtons::Ok,
               "The parameter file selected is not compatible with this model. No parameters read.");
        return false;
    }
    in.SkipLine();
    // Each line: a name field of 25 characters, the value, the units; the value
    // is the first number after the name field, on this line or a later one,
    // and whatever follows it on its line is for people only.
    const auto value = [&in](const char* kind, std::string_view symbol) {
        in.SkipField(FieldWidth);
        try {
            const double v = in.ReadNumber();
            in.SkipLine();
            return v;
        } catch (fileio::EInvalidNumber& e) {
            e.Field = std::string(kind) + " '" + std::string(symbol) + "'";
            throw;
        }
    };
    for (int i = 1; i <= Count(numStates, MaxStates); ++i) states[i].Value = value("state", states[i].Symbol);
    for (int i = 1; i <= Count(numParams, MaxParams); ++i) params[i].Value = value("parameter", params[i].Symbol);
    return true;
}

namespace {
void PutParamFile(fileio::TextWriter& out, std::int32_t numParams, const paramarray& params, std::int32_t numStates,
                  const statearray& states) {
    out.PutLeft(ModelDef.Name, FieldWidth);
    out.Put(" ");
    out.PutLeft(ModelDef.Version, FieldWidth);
    out.EndLine();
    for (int i = 1; i <= Count(numStates, MaxStates); ++i)
        PutDataLine(out, states[i].Name, states[i].Value, states[i].Units);
    for (int i = 1; i <= Count(numParams, MaxParams); ++i)
        PutDataLine(out, params[i].Name, params[i].Value, params[i].Units);
}

}  // namespace

void WriteParamFile(const std::string& fileName, std::int32_t numParams, const paramarray& params,
                    std::int32_t numStates, const statearray& states) {
    fileio::WriteReplacing(fileName, [&](fileio::TextWriter& out) {
        PutParamFile(out, numParams, params, numStates, states);
    });
    ParamsModified = false;
}
