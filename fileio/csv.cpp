#include "fileio/csv.h"

#include <charconv>
#include <cmath>
#include <istream>

namespace fileio {

bool ReadCsvRecord(std::istream& in, std::vector<std::string>& fields, int& line, int& firstLine, char separator) {
    fields.clear();
    std::string text;
    if (!std::getline(in, text)) return false;
    firstLine = ++line;
    std::string field;
    bool quoted = false;
    for (;;) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (quoted) {
                if (c != '"') {
                    field += c;
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == separator) {
                fields.push_back(std::move(field));
                field.clear();
            } else {
                field += c;
            }
        }
        if (!quoted || !std::getline(in, text)) break;
        ++line;
        field += '\n';  // a line end inside quotes belongs to the field
    }
    fields.push_back(std::move(field));
    return true;
}

bool ReadTsvRecord(std::istream& in, std::vector<std::string>& fields, int& line) {
    std::string text;
    if (!std::getline(in, text)) return false;
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    fields.clear();
    std::size_t from = 0;
    for (std::size_t tab; (tab = text.find('\t', from)) != std::string::npos; from = tab + 1)
        fields.push_back(text.substr(from, tab - from));
    fields.push_back(text.substr(from));
    return true;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\r\n";
}

std::string ExactText(double value) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf";
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

bool ParseDouble(std::string_view text, double& value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(value);
}

}  // namespace fileio
