#include "drivers/check_export.h"

#include <cmath>
#include <map>
#include <ostream>

#include "checks/driver_checks.h"
#include "core/stypes.h"
#include "drivers/calendar.h"
#include "drivers/driver_checks.h"
#include "drivers/driver_records.h"
#include "drivers/import_error.h"
#include "drivers/year_table.h"
#include "fileio/csv.h"
#include "fileio/file_replace.h"

namespace drivers {

namespace {

long ModelYearOf(double time) { return static_cast<long>(std::floor(std::fabs(time) / ModelYearDays)); }

std::vector<YearRow> ModelYears(const std::vector<DriverRecord>& records) {
    std::map<long, YearRow> years;
    for (const DriverRecord& r : records) {
        YearRow& row = years[ModelYearOf(r.Time)];
        ++row.Days;
        row.MeanTmax += r.Value[static_cast<int>(Field::Tamax)];
        row.MeanTmin += r.Value[static_cast<int>(Field::Tamin)];
        row.PptSum += r.Value[static_cast<int>(Field::Ppt)];
        row.MeanII += r.Value[static_cast<int>(Field::II)];
    }
    std::vector<YearRow> rows;
    for (auto& [year, row] : years) {
        row.Year = "model year " + std::to_string(year + 1);
        row.MeanTmax /= row.Days;
        row.MeanTmin /= row.Days;
        row.MeanII /= row.Days;
        rows.push_back(row);
    }
    return rows;
}

// "Tamax (oC)": the symbol and the catalogue's units.
std::string ColumnTitle(int driver) {
    std::string units(Drivers[driver].Units);
    while (!units.empty() && units.back() == ' ') units.pop_back();
    return std::string(Drivers[driver].Symbol) + " (" + units + ")";
}

}  // namespace

std::size_t CheckDriverFile(const std::string& fileName, std::ostream& out) {
    // The lines' shape as a run checks it; the values are checked record by record below.
    const DriverCheck shape = ::CheckDriverFile(fileName, "driver file '" + fileName + "'", DriverCount, false);
    if (!shape.Refusal.empty()) throw ImportError(shape.Refusal);
    for (const std::string& text : shape.Warnings) out << text << '\n';
    if (!shape.Warnings.empty()) out << '\n';
    const std::vector<DriverRecord> records = ReadDriverRecords(fileName);
    out << fileName << ": " << records.size() << (records.size() == 1 ? " record" : " records") << "\n\n";
    if (!records.empty()) PrintYearTable(out, ModelYears(records));
    const std::vector<DriverProblem> problems = CheckDriverRecords(records);
    if (!problems.empty()) out << '\n';
    for (const DriverProblem& p : problems) {
        const DriverRecord& r = records[p.Record];
        out << fileName << ':' << r.Line << " (time " << fileio::ExactText(r.Time) << "): " << p.Text << '\n';
    }
    out << '\n'
        << (problems.empty() ? "no problems found"
                             : std::to_string(problems.size()) + (problems.size() == 1 ? " problem" : " problems"))
        << '\n';
    return problems.size();
}

std::size_t ExportDriverFile(const std::string& fileName, const std::string& csvFile, int firstYear) {
    const std::vector<DriverRecord> records = ReadDriverRecords(fileName);
    std::size_t lines = 0;
    try {
        fileio::WriteReplacing(csvFile, [&](fileio::TextWriter& out) {
            out.Put("date,time (days)");
            for (int i = 1; i <= DriverCount; ++i) out.Put("," + fileio::CsvField(ColumnTitle(i)));
            out.EndLine();
            for (const DriverRecord& r : records) {
                const double t = std::fabs(r.Time);
                Date date;
                const int year = firstYear + static_cast<int>(ModelYearOf(r.Time));
                const int dayOfYear = static_cast<int>(std::floor(t)) % ModelYearDays + 1;
                if (!DateOfDayOfYear(year, dayOfYear, date)) continue;
                out.Put(IsoText(date) + "," + fileio::ExactText(r.Time));
                for (int i = 1; i <= DriverCount; ++i) out.Put("," + fileio::ExactText(r.Value[i]));
                out.EndLine();
                ++lines;
            }
        });
    } catch (const EInOutError& e) {
        throw ImportError(csvFile + ": " + e.what());
    }
    return lines;
}

}  // namespace drivers
