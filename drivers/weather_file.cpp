#include "drivers/weather_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>

#include "core/stypes.h"
#include "drivers/import_error.h"
#include "fileio/csv.h"
#include "fileio/text_reader.h"

namespace drivers {

namespace {

constexpr double Missing = std::numeric_limits<double>::quiet_NaN();

// Where each field and the date are read from.
struct ColumnPlan {
    int DateCol = -1;
    int YearCol = -1;
    int DoyCol = -1;
    std::array<int, FieldCount + 1> Col{};
    std::array<Unit, FieldCount + 1> Units{};
    ColumnPlan() { Col.fill(-1); }
};

// One day's values of one field.
struct DayTotals {
    int Count = 0;
    double Sum = 0.0;
    double Min = std::numeric_limits<double>::infinity();
    double Max = -std::numeric_limits<double>::infinity();
    void Add(double v) noexcept {
        ++Count;
        Sum += v;
        Min = std::min(Min, v);
        Max = std::max(Max, v);
    }
};

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
    return text;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The marks files use for a value that was not measured.
bool IsMissingMark(std::string_view text) {
    for (const std::string_view mark : {"", "NA", "NaN", "nan", "NAN", "N/A", "n/a", "null", "NULL", "-"})
        if (text == mark) return true;
    return false;
}

std::string_view Describe(Field field) {
    switch (field) {
        case Field::Tamax:
            return "daily maximum air temperature";
        case Field::Tamin:
            return "daily minimum air temperature";
        case Field::Ppt:
            return "precipitation";
        default:
            return FieldSymbol(field);
    }
}

std::string ReadWholeFile(const std::string& fileName) {
    try {
        fileio::TextReader probe(fileName);  // the system's own messages for a file that cannot be read
    } catch (const EInOutError& e) {
        throw ImportError(fileName + ": " + e.what());
    }
    std::ifstream in(fileName, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // a byte-order mark
    return text;
}

// Finds the header (the first line that is neither blank nor a # comment)
// and the separator it uses; `line` is the header's line number.
std::vector<std::string> ReadHeader(std::istream& in, const std::string& fileName, int& line, char& separator) {
    std::string text;
    while (std::getline(in, text)) {
        ++line;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (Trimmed(text).empty() || text.front() == '#') continue;
        separator = text.find('\t') != std::string::npos                                         ? '\t'
                    : text.find(';') != std::string::npos && text.find(',') == std::string::npos ? ';'
                                                                                                 : ',';
        std::istringstream header(text);
        std::vector<std::string> fields;
        int l = 0, first = 0;
        fileio::ReadCsvRecord(header, fields, l, first, separator);
        for (std::string& f : fields) f = std::string(Trimmed(f));
        return fields;
    }
    throw ImportError(fileName + ": no header line: the file is empty");
}

int FindColumn(const std::vector<std::string>& header, std::string_view name) {
    for (std::size_t i = 0; i < header.size(); ++i)
        if (header[i] == name || SplitHeader(header[i]).Name == name) return static_cast<int>(i);
    return -1;
}

Unit HeaderUnit(const std::string& fileName, const std::string& header, Field field, Unit fallback) {
    const HeaderText split = SplitHeader(header);
    if (split.Unit.empty()) return fallback;
    if (const auto unit = ParseUnit(field, split.Unit)) return *unit;
    throw ImportError(fileName + ": column '" + header + "': unit '" + split.Unit + "' is not known for " +
                      std::string(FieldSymbol(field)) + " (known: " + KnownUnits(field) + ")");
}

ColumnPlan PlanColumns(const std::string& fileName, const std::vector<std::string>& header,
                       const std::vector<ColumnChoice>& choices) {
    ColumnPlan plan;
    for (const ColumnChoice& c : choices) {
        const int col = FindColumn(header, c.Column);
        if (col < 0)
            throw ImportError(fileName + ": --column " + std::string(FieldSymbol(c.What)) + "=" + c.Column +
                              ": no column '" + c.Column + "' (columns found: " + Joined(header) + ")");
        const int f = static_cast<int>(c.What);
        plan.Col[f] = col;
        plan.Units[f] = c.GivenUnit ? *c.GivenUnit : HeaderUnit(fileName, header[col], c.What, DefaultUnit(c.What));
    }
    for (std::size_t i = 0; i < header.size(); ++i) {
        const int col = static_cast<int>(i);
        if (std::find(plan.Col.begin(), plan.Col.end(), col) != plan.Col.end()) continue;
        const std::string name = SplitHeader(header[i]).Name;
        switch (RecogniseDateColumn(name)) {
            case DateColumn::Date:
                if (plan.DateCol < 0) plan.DateCol = col;
                continue;
            case DateColumn::Year:
                if (plan.YearCol < 0) plan.YearCol = col;
                continue;
            case DateColumn::DayOfYear:
                if (plan.DoyCol < 0) plan.DoyCol = col;
                continue;
            case DateColumn::None:
                break;
        }
        const auto known = RecogniseColumn(name);
        if (!known || plan.Col[static_cast<int>(known->What)] >= 0) continue;
        const int f = static_cast<int>(known->What);
        plan.Col[f] = col;
        plan.Units[f] = HeaderUnit(fileName, header[i], known->What, known->DefaultUnit);
    }
    if (plan.DateCol < 0 && (plan.YearCol < 0 || plan.DoyCol < 0))
        throw ImportError(fileName + ": no date column: a column 'date' (YYYY-MM-DD) or the columns 'year' and " +
                          "'doy' are needed (columns found: " + Joined(header) + ")");
    std::vector<std::string> missing;
    const bool airTemperature = plan.Col[static_cast<int>(Field::Ta)] >= 0;
    for (const Field f : {Field::Tamax, Field::Tamin, Field::Ppt})
        if (plan.Col[static_cast<int>(f)] < 0 && (f == Field::Ppt || !airTemperature))
            missing.push_back(std::string(FieldSymbol(f)) + " (" + std::string(Describe(f)) + ")");
    if (!missing.empty()) {
        std::string list = missing[0];
        for (std::size_t i = 1; i < missing.size(); ++i)
            list += (i + 1 == missing.size() ? " and " : ", ") + missing[i];
        throw ImportError(fileName + ": no column found for " + list + "; columns found: " + Joined(header) +
                          " (name one with --column SYMBOL=COLUMN[:UNIT])");
    }
    return plan;
}

int WholeNumber(std::string_view text, bool& ok) {
    double v = 0.0;
    ok = fileio::ParseDouble(text, v) && v == std::floor(v) && std::fabs(v) < 1e6;
    return ok ? static_cast<int>(v) : 0;
}

// The date of one record. Throws ImportError naming the line.
Date RecordDate(const std::string& where, const ColumnPlan& plan, const std::vector<std::string>& fields) {
    auto field = [&](int col) {
        return col < static_cast<int>(fields.size()) ? Trimmed(fields[col]) : std::string_view();
    };
    Date date;
    if (plan.DateCol >= 0) {
        if (!ParseDate(field(plan.DateCol), date))
            throw ImportError(where + ": '" + std::string(field(plan.DateCol)) + "' is not a date (YYYY-MM-DD)");
        return date;
    }
    bool yearOk = false, doyOk = false;
    const int year = WholeNumber(field(plan.YearCol), yearOk);
    const int doy = WholeNumber(field(plan.DoyCol), doyOk);
    if (!yearOk || !doyOk)
        throw ImportError(where + ": '" + std::string(field(plan.YearCol)) + "' '" + std::string(field(plan.DoyCol)) +
                          "' is not a year and a day of the year");
    if (!DateOfDayOfYear(year, doy, date))
        throw ImportError(where + ": day " + std::to_string(doy) + " of " + std::to_string(year) + " does not exist");
    return date;
}

// The usual number of records a day: the most frequent count.
int UsualRecordsPerDay(const std::vector<int>& rows) {
    std::map<int, long> frequency;
    for (const int n : rows)
        if (n > 0) ++frequency[n];
    int best = 1;
    long bestCount = 0;
    for (const auto& [n, count] : frequency)
        if (count > bestCount) best = n, bestCount = count;
    return best;
}

}  // namespace

ColumnChoice ParseColumnChoice(const std::string& text) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == text.size())
        throw ImportError("--column " + text + ": expected SYMBOL=COLUMN[:UNIT], as in Tamax=temp_max:degC");
    ColumnChoice c;
    const auto field = FieldOfSymbol(text.substr(0, eq));
    if (!field) {
        std::string symbols;
        for (int i = 1; i <= FieldCount; ++i)
            symbols += (i > 1 ? ", " : "") + std::string(FieldSymbol(static_cast<Field>(i)));
        throw ImportError("--column " + text + ": '" + text.substr(0, eq) + "' is no driver (one of " + symbols + ")");
    }
    c.What = *field;
    std::string column = text.substr(eq + 1);
    if (const std::size_t colon = column.rfind(':'); colon != std::string::npos) {
        const std::string unit = column.substr(colon + 1);
        c.GivenUnit = ParseUnit(c.What, unit);
        if (!c.GivenUnit)
            throw ImportError("--column " + text + ": unit '" + unit + "' is not known for " +
                              std::string(FieldSymbol(c.What)) + " (known: " + KnownUnits(c.What) + ")");
        column.resize(colon);
    }
    c.Column = column;
    return c;
}

namespace {

// The values of one record, in the model's units, into the totals of its day.
void AddRecordValues(const std::string& where, const ColumnPlan& plan, const std::vector<std::string>& columns,
                     const std::vector<std::string>& fields, std::size_t index,
                     std::vector<std::vector<DayTotals>>& totals) {
    for (int f = 1; f <= FieldCount; ++f) {
        const int col = plan.Col[f];
        if (col < 0) continue;
        const std::string_view text = col < static_cast<int>(fields.size()) ? Trimmed(fields[col]) : "";
        if (IsMissingMark(text)) continue;
        double v = 0.0;
        if (!fileio::ParseDouble(text, v))
            throw ImportError(where + ": column '" + columns[col] + "': '" + std::string(text) + "' is not a number");
        if (v == -9999.0) continue;  // the towers' mark for a missing value
        if (totals[f].size() <= index) totals[f].resize(index + 1);
        totals[f][index].Add(ToModelUnit(plan.Units[f], v, 1.0));
    }
}

}  // namespace

DailyWeather ReadWeatherFile(const std::string& fileName, const std::vector<ColumnChoice>& choices) {
    std::istringstream in(ReadWholeFile(fileName));
    int line = 0;
    char separator = ',';
    DailyWeather w;
    w.Columns = ReadHeader(in, fileName, line, separator);
    const ColumnPlan plan = PlanColumns(fileName, w.Columns, choices);

    std::vector<std::vector<DayTotals>> totals(FieldCount + 1);
    std::vector<int> rows;
    long firstDay = 0, lastDay = 0;
    bool any = false;
    std::vector<std::string> fields;
    int firstLine = 0;
    while (fileio::ReadCsvRecord(in, fields, line, firstLine, separator)) {
        if (std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return Trimmed(f).empty(); }))
            continue;
        const std::string where = fileName + ":" + std::to_string(firstLine);
        const Date date = RecordDate(where, plan, fields);
        const long day = DayNumber(date);
        if (!any) firstDay = lastDay = day, w.First = date, any = true;
        if (day < lastDay)
            throw ImportError(where + ": the date " + IsoText(date) + " comes before " +
                              IsoText(DateOfDayNumber(lastDay)) +
                              " of the lines above: the records must be in time order");
        lastDay = day;
        const std::size_t index = static_cast<std::size_t>(day - firstDay);
        if (rows.size() <= index) rows.resize(index + 1, 0);
        ++rows[index];
        AddRecordValues(where, plan, w.Columns, fields, index, totals);
    }
    if (!any) throw ImportError(fileName + ": no records below the header");

    w.Days = lastDay - firstDay + 1;
    w.RecordsPerDay = UsualRecordsPerDay(rows);
    const int needed = (3 * w.RecordsPerDay + 3) / 4;
    const bool fromAirTemperature =
        plan.Col[static_cast<int>(Field::Tamax)] < 0 || plan.Col[static_cast<int>(Field::Tamin)] < 0;
    if (fromAirTemperature && w.RecordsPerDay == 1)
        throw ImportError(fileName + ": column '" + w.Columns[plan.Col[static_cast<int>(Field::Ta)]] +
                          "' holds one air temperature a day; the model needs the daily maximum and minimum " +
                          "(columns for Tamax and Tamin)");
    for (int f = 1; f <= FieldCount; ++f) {
        if (plan.Col[f] < 0) continue;
        const Field field = static_cast<Field>(f);
        const Unit unit = plan.Units[f];
        w.Source[f] = "column '" + w.Columns[plan.Col[f]] + "' in " + std::string(UnitText(unit));
        totals[f].resize(static_cast<std::size_t>(w.Days));
        auto daily = [&](const DayTotals& t) {
            if (t.Count < needed) return Missing;
            if (field == Field::Tamax) return t.Max;
            if (field == Field::Tamin) return t.Min;
            if (field == Field::Ppt) return t.Sum;
            const double mean = t.Sum / t.Count;
            return unit == Unit::MJPerRecord ? ToModelUnit(unit, mean, w.RecordsPerDay) : mean;
        };
        std::vector<double>& values = w.Values[f];
        values.reserve(totals[f].size());
        for (const DayTotals& t : totals[f]) values.push_back(daily(t));
    }
    if (fromAirTemperature) {
        const int ta = static_cast<int>(Field::Ta);
        for (const Field f : {Field::Tamax, Field::Tamin}) {
            if (plan.Col[static_cast<int>(f)] >= 0) continue;
            std::vector<double>& values = w.Values[static_cast<int>(f)];
            for (const DayTotals& t : totals[ta])
                values.push_back(t.Count < needed ? Missing : f == Field::Tamax ? t.Max : t.Min);
            w.Source[static_cast<int>(f)] =
                std::string(f == Field::Tamax ? "daily maximum" : "daily minimum") + " of " + w.Source[ta];
        }
        w.Values[ta].clear();
    }
    return w;
}

}  // namespace drivers
