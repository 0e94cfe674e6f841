#include "fit/observations.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

#include "cmdline/table_output.h"
#include "core/stypes.h"
#include "fileio/csv.h"
#include "fileio/file_access.h"

namespace fit {

std::size_t Observations::Points() const {
    std::size_t n = 0;
    for (const ObservedSeries& s : Series) n += s.Values.size();
    return n;
}

namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return std::string(text);
}

bool Missing(const std::string& cell) { return cell.empty() || cell == "NA"; }

// "SYM" of "sd(SYM)", or empty.
std::string SdOf(const std::string& header) {
    if (header.size() > 4 && Lower(header.substr(0, 3)) == "sd(" && header.back() == ')')
        return Trimmed(std::string_view(header).substr(3, header.size() - 4));
    return {};
}

// The records of a CSV file, or of a TSV file when its first line holds a
// tab and no comma.
class RecordReader {
public:
    explicit RecordReader(const std::string& fileName) : in_(fileName, std::ios::binary) {}
    bool Next(std::vector<std::string>& fields, int& line) {
        if (first_) {
            first_ = false;
            std::string text;
            const auto start = in_.tellg();
            if (std::getline(in_, text)) tabs_ = text.find('\t') != std::string::npos && text.find(',') == std::string::npos;
            in_.clear();
            in_.seekg(start);
        }
        if (!tabs_) return fileio::ReadCsvRecord(in_, fields, line_, line);
        const bool read = fileio::ReadTsvRecord(in_, fields, line_);
        line = line_;
        return read;
    }

private:
    std::ifstream in_;
    bool first_ = true, tabs_ = false;
    int line_ = 0;
};

class ObservationReader {
public:
    ObservationReader(const std::string& fileName, const std::vector<SeriesSd>& sds) : name_(fileName), sds_(sds) {}
    Observations Read();

private:
    [[noreturn]] void Fail(const std::string& text) const {
        throw EObservationError("observations file " + Quoted(name_) + ": " + text);
    }
    [[noreturn]] void Fail(int line, std::size_t column, const std::string& text) const {
        std::string where = "observations file " + Quoted(name_) + ", line " + std::to_string(line);
        if (column > 0) {
            where += ", column " + std::to_string(column);
            if (line > 1 && column <= header_.size()) where += " (" + header_[column - 1] + ")";
        }
        throw EObservationError(where + ": " + text);
    }
    void TakeHeader(const std::vector<std::string>& fields);
    void TakeRecord(const std::vector<std::string>& fields, int line);
    void ApplySdOptions();

    std::string name_;
    const std::vector<SeriesSd>& sds_;
    std::vector<std::string> header_;
    Observations obs_;
    std::vector<int> seriesOfColumn_;  // series index of a value column, else -1
    std::vector<int> sdColumn_;        // per series: the column of its sd(), else -1
    std::vector<double> fixedSd_;      // per series: the --sd value, else 1
    double lastTime_ = 0.0;
    int lastTimeLine_ = 0;
};

void ObservationReader::TakeHeader(const std::vector<std::string>& fields) {
    for (const std::string& field : fields) header_.push_back(Trimmed(field));
    if (Lower(header_[0]) != "time")
        Fail(1, 1, "the first column must be the time, headed 'time', not " + Quoted(header_[0]));
    seriesOfColumn_.assign(header_.size(), -1);
    // Value columns first, so that an sd() column may stand before its series.
    for (std::size_t c = 1; c < header_.size(); ++c) {
        if (header_[c].empty()) Fail(1, c + 1, "the column has no symbol");
        if (!SdOf(header_[c]).empty()) continue;
        ObservedSeries s;
        try {
            s.Var = FindVariable(header_[c], {VarKind::Driver, VarKind::State, VarKind::Process},
                                 "observations are of drivers, state variables and process variables");
        } catch (const std::invalid_argument& e) {
            Fail(1, c + 1, e.what());
        }
        s.Symbol = QualifiedSymbol(s.Var);
        s.Position = OutputPosition(s.Var);
        for (std::size_t k = 0; k < obs_.Series.size(); ++k)
            if (obs_.Series[k].Var == s.Var)
                Fail(1, c + 1, s.Symbol + " has a column already (column " +
                                   std::to_string(std::find(seriesOfColumn_.begin(), seriesOfColumn_.end(), int(k)) -
                                                  seriesOfColumn_.begin() + 1) + ")");
        seriesOfColumn_[c] = static_cast<int>(obs_.Series.size());
        obs_.Series.push_back(std::move(s));
    }
    if (obs_.Series.empty()) Fail(1, 0, "no column names an observed variable after the time");
    sdColumn_.assign(obs_.Series.size(), -1);
    for (std::size_t c = 1; c < header_.size(); ++c) {
        const std::string of = SdOf(header_[c]);
        if (of.empty()) continue;
        int series = -1;
        for (std::size_t k = 0; k < obs_.Series.size(); ++k)
            if (obs_.Series[k].Symbol == of || header_[std::find(seriesOfColumn_.begin(), seriesOfColumn_.end(),
                                                                 int(k)) - seriesOfColumn_.begin()] == of)
                series = static_cast<int>(k);
        if (series < 0) Fail(1, c + 1, header_[c] + " has no column " + of + " to go with");
        if (sdColumn_[series] >= 0)
            Fail(1, c + 1, header_[c] + " has a column already (column " + std::to_string(sdColumn_[series] + 1) + ")");
        sdColumn_[series] = static_cast<int>(c);
    }
    ApplySdOptions();
}

void ObservationReader::ApplySdOptions() {
    fixedSd_.assign(obs_.Series.size(), 1.0);
    for (const SeriesSd& sd : sds_) {
        const std::string option = "--sd " + sd.Symbol + "=" + fileio::ExactText(sd.Sd);
        int series = -1;
        for (std::size_t k = 0; k < obs_.Series.size(); ++k)
            if (obs_.Series[k].Symbol == sd.Symbol || SymbolOf(obs_.Series[k].Var) == sd.Symbol)
                series = static_cast<int>(k);
        if (series < 0) throw EObservationError(option + ": " + sd.Symbol + " is not a column of observations file " + Quoted(name_));
        if (sdColumn_[series] >= 0)
            throw EObservationError(option + ": observations file " + Quoted(name_) + " gives sd(" + sd.Symbol +
                                    ") in column " + std::to_string(sdColumn_[series] + 1));
        fixedSd_[series] = sd.Sd;
    }
}

void ObservationReader::TakeRecord(const std::vector<std::string>& fields, int line) {
    if (fields.size() != header_.size())
        Fail(line, 0, std::to_string(fields.size()) + (fields.size() == 1 ? " field" : " fields") +
                          " where the first line names " + std::to_string(header_.size()) + " columns");
    const std::string timeText = Trimmed(fields[0]);
    double time = 0.0;
    if (Missing(timeText)) Fail(line, 1, "the time is missing");
    if (!fileio::ParseDouble(timeText, time)) Fail(line, 1, Quoted(timeText) + " is not a time");
    if (lastTimeLine_ > 0 && !(time > lastTime_))
        Fail(line, 1, "time " + timeText + " does not come after time " + fileio::ExactText(lastTime_) + " of line " +
                          std::to_string(lastTimeLine_));
    lastTime_ = time;
    lastTimeLine_ = line;
    bool any = false;
    for (std::size_t c = 1; c < fields.size(); ++c) {
        const int k = seriesOfColumn_[c];
        if (k < 0) continue;
        const std::string text = Trimmed(fields[c]);
        if (Missing(text)) continue;
        double value = 0.0;
        if (!fileio::ParseDouble(text, value))
            Fail(line, c + 1, Quoted(text) + " is not a number (a missing value is an empty cell or NA)");
        double sd = fixedSd_[k];
        if (const int sc = sdColumn_[k]; sc >= 0) {
            const std::string sdText = Trimmed(fields[sc]);
            if (Missing(sdText)) Fail(line, sc + 1, "the standard deviation of the value in column " + std::to_string(c + 1) + " is missing");
            if (!fileio::ParseDouble(sdText, sd) || !(sd > 0.0))
                Fail(line, sc + 1, Quoted(sdText) + " is not a standard deviation (a number above 0)");
        }
        ObservedSeries& s = obs_.Series[k];
        s.Times.push_back(time);
        s.Values.push_back(value);
        s.Sd.push_back(sd);
        any = true;
    }
    if (any) obs_.Times.push_back(time);
}

Observations ObservationReader::Read() {
    ::close(fileio::OpenForReading(name_));  // the file system's refusal in the usual words
    obs_.FileName = name_;
    RecordReader records(name_);
    std::vector<std::string> fields;
    int line = 0;
    if (!records.Next(fields, line) || (fields.size() == 1 && Trimmed(fields[0]).empty()))
        Fail("the file is empty; its first line must name the columns, the time first");
    TakeHeader(fields);
    while (records.Next(fields, line)) {
        if (fields.size() == 1 && Trimmed(fields[0]).empty()) continue;  // blank lines
        // The line of units of a table modelbatch wrote.
        if (lastTimeLine_ == 0 && Trimmed(fields[0]) == ModelDef.TimeUnit && fields.size() == header_.size()) continue;
        TakeRecord(fields, line);
    }
    if (obs_.Times.empty()) Fail("no observed value: every cell after the time is empty or NA");
    return std::move(obs_);
}

}  // namespace

SeriesSd ParseSd(std::string_view text) {
    const std::size_t eq = text.find('=');
    SeriesSd sd;
    if (eq == std::string_view::npos || eq == 0)
        throw EObservationError("--sd " + std::string(text) + ": write SYMBOL=VALUE, the standard deviation of every observation of SYMBOL");
    sd.Symbol = Trimmed(text.substr(0, eq));
    const std::string value = Trimmed(text.substr(eq + 1));
    if (!fileio::ParseDouble(value, sd.Sd) || !(sd.Sd > 0.0))
        throw EObservationError("--sd " + std::string(text) + ": " + Quoted(value) + " is not a standard deviation (a number above 0)");
    return sd;
}

Observations ReadObservations(const std::string& fileName, const std::vector<SeriesSd>& sds) {
    try {
        return ObservationReader(fileName, sds).Read();
    } catch (const EInOutError& e) {
        throw EObservationError("observations file " + Quoted(fileName) + ": " + e.what());
    }
}

}  // namespace fit
