#include "checks/param_checks.h"

#include <cstdint>
#include <string_view>

#include "core/stypes.h"
#include "fileio/number_text.h"
#include "fileio/text_reader.h"
#include "run/run_checks.h"

namespace {

constexpr std::size_t NameWidth = 25;
constexpr std::int64_t MismatchesShown = 10;

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string_view LastWord(std::string_view text) {
    const auto end = text.find_last_not_of(" \t");
    if (end == std::string_view::npos) return {};
    const auto blank = text.find_last_of(" \t", end);
    const std::size_t start = blank == std::string_view::npos ? 0 : blank + 1;
    return text.substr(start, end - start + 1);
}

std::string_view FirstWord(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    return text.substr(0, end);
}

bool IsNumber(std::string_view text) {
    if (text.empty()) return false;
    try {
        fileio::ParseNumber(text);
        return true;
    } catch (const EInOutError&) {
        return false;
    }
}

// One data line as the parameter reader takes it: the name field, then the
// next number (on this line or a later one).
struct ParamLine {
    std::int64_t Line = 0, ValueLine = 0;
    std::string NameField;  // as it stands, up to 25 characters
    std::string ValueText;  // the text read as the value ("" when it stood on a later line)
    double Value = 0.0;
    bool Straddles = false;  // the name field ended inside the value's text
};

// False when the file ends before the value.
bool ReadParamLine(fileio::TextReader& in, ParamLine& p) {
    p = ParamLine{};
    p.Line = in.Line();
    p.NameField = in.ReadUpTo(NameWidth);
    const std::string rest = in.ReadUpTo(256);
    p.Straddles =
        p.NameField.size() == NameWidth && !IsBlank(p.NameField.back()) && !rest.empty() && !IsBlank(rest.front());
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos) {
        if (in.OnlyBlanksLeft()) return false;
        p.Value = in.ReadNumber();  // the value stands on a later line
        p.ValueLine = in.Line();
    } else {
        p.ValueText = std::string(FirstWord(std::string_view(rest).substr(start)));
        p.Value = fileio::ParseNumber(p.ValueText);
        p.ValueLine = p.Line;
    }
    in.SkipLine();
    return true;
}

// "" or what the name field did to the value: ended inside it, or took it in whole.
std::string ValueCutByName(const ParamLine& p, std::string_view symbol, std::string_view expected) {
    const std::string_view tail = LastWord(p.NameField);
    std::string text;
    if (p.Straddles && IsNumber(std::string(tail) + p.ValueText)) {
        text =
            ", and the name field of 25 characters ends inside the number " + Quoted(std::string(tail) + p.ValueText);
    } else if (!p.Straddles && IsNumber(tail) && !IsNumber(LastWord(expected))) {
        text = ", a number within the name field of 25 characters";
    } else {
        return {};
    }
    std::string from = p.ValueText.empty() ? "" : " from " + Quoted(p.ValueText);
    if (p.ValueLine != p.Line) from += " on line " + std::to_string(p.ValueLine);
    return std::string(symbol) + " is read as " + ShortNumber(p.Value) + from + "; " + Quoted(Trimmed(p.NameField)) +
           " was taken for the name" + text;
}

}  // namespace

std::vector<std::string> ParamFileWarnings(const std::string& fileName, const std::string& subject) {
    fileio::TextReader in(fileName);
    in.SkipLine();
    std::vector<std::string> warnings;
    std::int64_t mismatches = 0;
    const int total = ModelDef.NumStates + ModelDef.NumParams;
    int values = 0;
    for (int k = 1; k <= total; ++k) {
        ParamLine p;
        if (!ReadParamLine(in, p)) break;
        ++values;
        const bool state = k <= ModelDef.NumStates;
        const std::string_view full = state ? States[k].Name : Params[k - ModelDef.NumStates].Name;
        const std::string_view symbol = state ? States[k].Symbol : Params[k - ModelDef.NumStates].Symbol;
        const std::string expected = Trimmed(full.substr(0, NameWidth));
        const std::string name = Trimmed(p.NameField);
        if (name.empty() || name == expected) continue;  // a line without a name names nothing wrong
        const std::string place = subject + " line " + std::to_string(p.Line) + ": ";
        if (const std::string cut = ValueCutByName(p, symbol, expected); !cut.empty()) {
            warnings.push_back(place + cut);
            continue;
        }
        if (++mismatches <= MismatchesShown)
            warnings.push_back(place + Quoted(name) + " where the model has " + Quoted(expected) +
                               "; values are read by position");
    }
    if (mismatches > MismatchesShown)
        warnings.push_back(subject + ": " + std::to_string(mismatches - MismatchesShown) +
                           " more lines whose names differ from the model's");
    if (values < total)
        warnings.push_back(subject + " holds " + std::to_string(values) + " values where the model has " +
                           std::to_string(total) + ": the other " + std::to_string(total - values) + " read as 0");
    return warnings;
}

namespace {

// Parameters the equations divide by the difference of, or compare in one order.
struct ParamOrder {
    std::string_view Upper, Lower, Why;
};
constexpr ParamOrder Orders[] = {
    {"Wf", "Ww", "field capacity must be above wilting point"},
    {"TUmax", "TUopt", "the uptake optimum temperature must be below its maximum"},
    {"TRmax", "TRopt", "the respiration optimum temperature must be below its maximum"},
    {"DDfstop", "DDfstart", "foliage growth must start before it stops"},
    {"DDwstop", "DDwstart", "wood growth must start before it stops"},
    {"DDrstop", "DDrstart", "root growth must start before it stops"},
};

}  // namespace

std::vector<std::string> ParamOrderWarnings(const std::string& subject) {
    std::vector<std::string> warnings;
    for (const ParamOrder& o : Orders) {
        const int upper = FindSymbol(2, o.Upper), lower = FindSymbol(2, o.Lower);
        if (upper == 0 || lower == 0 || Params[upper].Value > Params[lower].Value) continue;
        warnings.push_back(subject + ": " + std::string(o.Upper) + " " + ShortNumber(Params[upper].Value) +
                           " is not above " + std::string(o.Lower) + " " + ShortNumber(Params[lower].Value) + ": " +
                           std::string(o.Why));
    }
    return warnings;
}
