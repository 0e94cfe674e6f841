#include "drivers/import.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <ostream>
#include <utility>

#include "drivers/co2_table.h"
#include "drivers/driver_checks.h"
#include "drivers/import_error.h"
#include "drivers/shortwave.h"

namespace drivers {

namespace {

// One value a day for each of the 18 drivers.
using DailyDrivers = std::array<std::vector<double>, DriverCount + 1>;

constexpr int Index(Field f) { return static_cast<int>(f); }

std::string Fixed(double v, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, v);
    return text;
}

std::string Plural(long n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

Date DayDate(const DailyWeather& w, long day) { return DateOfDayNumber(DayNumber(w.First) + day); }

std::string Span(const DailyWeather& w, long first, long length) {
    const std::string from = IsoText(DayDate(w, first));
    return length == 1 ? from : from + " to " + IsoText(DayDate(w, first + length - 1));
}

// Runs of days without a value: (first day, length).
std::vector<std::pair<long, long>> Gaps(const std::vector<double>& values) {
    std::vector<std::pair<long, long>> gaps;
    const long n = static_cast<long>(values.size());
    for (long d = 0; d < n;) {
        if (!std::isnan(values[d])) {
            ++d;
            continue;
        }
        long end = d;
        while (end < n && std::isnan(values[end])) ++end;
        gaps.emplace_back(d, end - d);
        d = end;
    }
    return gaps;
}

// A gap filled by the straight line between the values around it; at the
// start or the end of the file the nearest value holds.
void Interpolate(std::vector<double>& v, long first, long length) {
    const long n = static_cast<long>(v.size());
    const long before = first - 1, after = first + length;
    for (long d = first; d < after; ++d) {
        if (before < 0)
            v[d] = v[after];
        else if (after >= n)
            v[d] = v[before];
        else
            v[d] = v[before] +
                   (v[after] - v[before]) * static_cast<double>(d - before) / static_cast<double>(after - before);
    }
}

// Refuses gaps longer than --max-gap (all of them, with their dates), fills
// the others and marks the days it filled.
void FillGaps(DailyWeather& w, const ImportSettings& s, ImportResult& result, std::vector<bool>& filled) {
    std::map<std::pair<long, long>, std::string> tooLong;
    for (int f = 1; f <= FieldCount; ++f) {
        std::vector<double>& values = w.Values[f];
        const std::string symbol(FieldSymbol(static_cast<Field>(f)));
        for (const auto& [first, length] : Gaps(values)) {
            if (values.size() == static_cast<std::size_t>(length) || length > s.MaxGap) {
                std::string& fields = tooLong[{first, length}];
                fields += (fields.empty() ? "" : ", ") + symbol;
                continue;
            }
            for (long d = first; d < first + length; ++d) filled[d] = true;
            if (static_cast<Field>(f) == Field::Ppt) {
                for (long d = first; d < first + length; ++d) values[d] = 0.0;
                result.Warnings.push_back("Ppt: no value on " + Span(w, first, length) + " (" + Plural(length, "day") +
                                          "): set to 0 mm");
            } else {
                Interpolate(values, first, length);
            }
        }
    }
    if (tooLong.empty()) return;
    std::string list;
    for (const auto& [gap, fields] : tooLong)
        list += std::string(list.empty() ? "" : "; ") + Span(w, gap.first, gap.second) + " (" +
                Plural(gap.second, "day") + ": " + fields + ")";
    throw ImportError(s.Input + ": gaps longer than --max-gap " + std::to_string(s.MaxGap) +
                      " days, not filled: " + list);
}

void DeriveShortwave(const DailyWeather& w, const ImportSettings& s, DailyDrivers& d, ImportResult& result) {
    std::vector<double> ra(static_cast<std::size_t>(w.Days));
    for (long day = 0; day < w.Days; ++day) ra[day] = ExtraterrestrialRadiation(s.Latitude, DayOfYear(DayDate(w, day)));
    const std::vector<double>& tmax = d[Index(Field::Tamax)];
    const std::vector<double>& tmin = d[Index(Field::Tamin)];
    std::vector<double>& ii = d[Index(Field::II)];
    const std::string where = " extraterrestrial radiation at " + Fixed(s.Latitude, 2) + " degrees";
    if (s.Shortwave == ShortwaveMethod::ThorntonRunning) {
        ii = ThorntonRunning(tmax, tmin, ra);
        result.Derived.push_back("II derived from the temperature range: Thornton-Running (Bristow-Campbell), of the" +
                                 where);
        return;
    }
    ii.resize(ra.size());
    for (std::size_t i = 0; i < ra.size(); ++i) ii[i] = HargreavesSamani(tmax[i], tmin[i], ra[i], s.Krs);
    result.Derived.push_back("II derived from the temperature range: Hargreaves-Samani, krs " + Fixed(s.Krs, 3) +
                             ", of the" + where);
}

void DeriveSoilTemperature(const ImportSettings& s, DailyDrivers& d, ImportResult& result) {
    const std::vector<double>& tmax = d[Index(Field::Tamax)];
    const std::vector<double>& tmin = d[Index(Field::Tamin)];
    std::vector<double>& ts = d[Index(Field::Ts)];
    const std::size_t n = tmax.size();
    ts.resize(n);
    // Started at the mean of the first lag days, so the first weeks are not
    // pulled towards a single day's weather.
    const std::size_t warm = std::min(n, static_cast<std::size_t>(std::ceil(s.SoilLag)));
    double soil = 0.0;
    for (std::size_t i = 0; i < warm; ++i) soil += 0.5 * (tmax[i] + tmin[i]) / static_cast<double>(warm);
    for (std::size_t i = 0; i < n; ++i) {
        soil += (0.5 * (tmax[i] + tmin[i]) - soil) / s.SoilLag;
        ts[i] = soil;
    }
    result.Derived.push_back("Ts derived: running mean of the daily mean air temperature, --soil-lag " +
                             Fixed(s.SoilLag, 1) + " days");
}

void DeriveCo2(const DailyWeather& w, const ImportSettings& s, DailyDrivers& d, ImportResult& result) {
    std::vector<double>& ca = d[Index(Field::Ca)];
    ca.resize(static_cast<std::size_t>(w.Days));
    if (s.Co2) {
        std::fill(ca.begin(), ca.end(), *s.Co2);
        result.Derived.push_back("Ca constant " + Fixed(*s.Co2, 1) + " ppm (--co2)");
        return;
    }
    std::vector<int> outside;
    for (long day = 0; day < w.Days; ++day) {
        const int year = DayDate(w, day).Year;
        bool out = false;
        ca[day] = AnnualCo2(year, out);
        if (out && (outside.empty() || outside.back() != year)) outside.push_back(year);
    }
    result.Derived.push_back("Ca by year from the " + std::string(Co2TableSource()));
    for (const int year : outside) {
        bool out = false;
        result.Warnings.push_back("Ca: " + std::to_string(year) + " lies outside the table of annual means: " +
                                  Fixed(AnnualCo2(year, out), 2) + " ppm assumed (give --co2 PPM)");
    }
}

void DeriveDeposition(const DailyWeather& w, const ImportSettings& s, DailyDrivers& d, ImportResult& result) {
    const std::vector<double>& total = w.Values[Index(Field::Ndep)];
    const double constant = s.Ndep * 0.1 / ModelYearDays;
    for (const Field f : {Field::DNH4, Field::DNO3}) {
        if (!d[Index(f)].empty()) continue;
        const double share = f == Field::DNH4 ? s.Nh4Fraction : 1.0 - s.Nh4Fraction;
        std::vector<double>& dep = d[Index(f)];
        dep.resize(static_cast<std::size_t>(w.Days));
        for (long day = 0; day < w.Days; ++day) dep[day] = share * (total.empty() ? constant : total[day]);
        const std::string from =
            total.empty() ? Fixed(s.Ndep, 2) + " kg N ha-1 yr-1 (--ndep)" : w.Source[Index(Field::Ndep)];
        result.Derived.push_back(std::string(FieldSymbol(f)) + " " + Fixed(share, 3) + " of the deposition, " + from);
    }
}

// The daily values of all 18 drivers: read, or derived where no column holds them.
DailyDrivers AllDrivers(const DailyWeather& w, const ImportSettings& s, ImportResult& result) {
    DailyDrivers d;
    for (int i = 1; i <= DriverCount; ++i) d[i] = w.Values[i];
    if (d[Index(Field::II)].empty()) DeriveShortwave(w, s, d, result);
    if (d[Index(Field::Ts)].empty()) DeriveSoilTemperature(s, d, result);
    if (d[Index(Field::Ca)].empty()) DeriveCo2(w, s, d, result);
    DeriveDeposition(w, s, d, result);
    int notMeasured = 0;
    for (int i = FirstOverrideDriver; i <= DriverCount; ++i)
        if (d[i].empty()) d[i].assign(static_cast<std::size_t>(w.Days), -1.0), ++notMeasured;
    if (notMeasured > 0)
        result.Derived.push_back(std::to_string(notMeasured) +
                                 " of the drivers 9 to 18 (litterfall and soil nitrogen) " +
                                 "not measured: -1, the model computes them");
    return d;
}

// One record a calendar day at its model day; a 365-day year's last model
// day gets 31 December's weather without its precipitation, so that the
// year's rain is not counted twice.
void BuildRecords(const DailyWeather& w, const DailyDrivers& d, ImportResult& result) {
    const int firstYear = w.First.Year;
    for (long day = 0; day < w.Days; ++day) {
        const Date date = DayDate(w, day);
        DriverRecord r;
        r.Time = static_cast<double>(ModelDay(date, firstYear));
        for (int i = 1; i <= DriverCount; ++i) r.Value[i] = d[i][day];
        result.Records.push_back(r);
        result.Dates.push_back(IsoText(date));
        if (date.Month == 12 && date.Day == 31 && !IsLeapYear(date.Year)) {
            r.Time += 1.0;
            r.Value[Index(Field::Ppt)] = 0.0;
            result.Records.push_back(r);
            result.Dates.push_back(IsoText(date) + " (model day 366)");
        }
    }
}

void SummariseYears(const DailyWeather& w, const DailyDrivers& d, const std::vector<bool>& filled, bool iiMeasured,
                    ImportResult& result) {
    std::map<int, std::pair<YearRow, long>> years;  // the row and its days filled
    for (long day = 0; day < w.Days; ++day) {
        const int year = DayDate(w, day).Year;
        auto& [row, fills] = years[year];
        ++row.Days;
        row.MeanTmax += d[Index(Field::Tamax)][day];
        row.MeanTmin += d[Index(Field::Tamin)][day];
        row.PptSum += d[Index(Field::Ppt)][day];
        row.MeanII += d[Index(Field::II)][day];
        if (filled[day]) ++fills;
    }
    for (auto& [year, entry] : years) {
        auto& [row, fills] = entry;
        row.Year = std::to_string(year);
        row.MeanTmax /= row.Days;
        row.MeanTmin /= row.Days;
        row.MeanII /= row.Days;
        row.Shortwave = iiMeasured ? "measured" : "derived";
        if (row.Days < DaysInYear(year)) row.Notes = "part of the year";
        if (fills > 0) row.Notes += (row.Notes.empty() ? "" : "; ") + Plural(fills, "day") + " filled";
        result.Years.push_back(row);
    }
}

RunFit FitRun(const DailyWeather& w, const ImportResult& result) {
    RunFit fit;
    fit.Start = static_cast<long>(result.Records.front().Time);
    fit.Stop = static_cast<long>(result.Records.back().Time) + 1;
    const Date last = DayDate(w, w.Days - 1);
    const int years = last.Year - w.First.Year + 1;
    fit.Text = "--start " + std::to_string(fit.Start) + " --stop " + std::to_string(fit.Stop);
    if (w.First.Month == 1 && w.First.Day == 1 && last.Month == 12 && last.Day == 31) {
        fit.Repeat = fit.Stop - 1;
        const long cycles = (100 + years - 1) / years;
        fit.Text += " --repeat-drivers " + std::to_string(fit.Repeat) + "\n--repeat-drivers " +
                    std::to_string(fit.Repeat) + " repeats these " + Plural(years, "year") +
                    " on the model's calendar; a spin-up of " + std::to_string(cycles * years) + " years: --stop " +
                    std::to_string(cycles * fit.Stop);
    } else {
        fit.Text +=
            "\nno --repeat-drivers: the records run from " + IsoText(w.First) + " to " + IsoText(last) +
            ", not whole calendar years, and repeating them would shift the seasons against the model's calendar";
    }
    return fit;
}

}  // namespace

std::string SettingsProblem(const ImportSettings& s) {
    if (!(s.Latitude >= -90.0 && s.Latitude <= 90.0))
        return "--latitude " + Fixed(s.Latitude, 2) + ": a latitude lies between -90 and 90 degrees";
    if (!(s.Krs > 0.0 && s.Krs <= 1.0))
        return "--krs " + Fixed(s.Krs, 3) + ": the coefficient lies above 0 and at most 1";
    if (!(s.SoilLag >= 1.0 && s.SoilLag <= 366.0)) return "--soil-lag " + Fixed(s.SoilLag, 1) + ": from 1 to 366 days";
    if (s.Co2 && !(*s.Co2 > 0.0 && *s.Co2 <= 5000.0))
        return "--co2 " + Fixed(*s.Co2, 1) + ": above 0 and at most 5000 ppm";
    if (!(s.Ndep >= 0.0 && s.Ndep <= 500.0)) return "--ndep " + Fixed(s.Ndep, 2) + ": from 0 to 500 kg N ha-1 yr-1";
    if (!(s.Nh4Fraction >= 0.0 && s.Nh4Fraction <= 1.0))
        return "--nh4-fraction " + Fixed(s.Nh4Fraction, 3) + ": a fraction from 0 to 1";
    if (s.MaxGap < 0) return "--max-gap " + std::to_string(s.MaxGap) + ": a number of days, 0 or more";
    return "";
}

ImportResult ImportWeather(const ImportSettings& s) {
    if (const std::string problem = SettingsProblem(s); !problem.empty()) throw ImportError(problem);
    DailyWeather w = ReadWeatherFile(s.Input, s.Columns);
    ImportResult result;
    std::vector<bool> filled(static_cast<std::size_t>(w.Days), false);
    FillGaps(w, s, result, filled);
    const bool iiMeasured = !w.Values[Index(Field::II)].empty();
    for (int i = 1; i <= DriverCount; ++i)
        if (!w.Source[i].empty())
            result.Derived.push_back(std::string(FieldSymbol(static_cast<Field>(i))) + " from " + w.Source[i]);
    const DailyDrivers d = AllDrivers(w, s, result);
    BuildRecords(w, d, result);
    SummariseYears(w, d, filled, iiMeasured, result);
    result.Run = FitRun(w, result);
    return result;
}

ImportResult ImportAndSave(const ImportSettings& s) {
    ImportResult result = ImportWeather(s);
    const std::vector<DriverProblem> problems = CheckDriverRecords(result.Records);
    if (!problems.empty()) {
        std::string text = s.Input + ": " + Plural(static_cast<long>(problems.size()), "problem") +
                           " in the drivers made from it, nothing written:";
        constexpr std::size_t Shown = 20;
        for (std::size_t i = 0; i < problems.size() && i < Shown; ++i)
            text += "\n  " + result.Dates[problems[i].Record] + ": " + problems[i].Text;
        if (problems.size() > Shown) text += "\n  ... and " + std::to_string(problems.size() - Shown) + " more";
        throw ImportError(text);
    }
    SaveDriverRecords(s.Output, result.Records);
    return result;
}

void PrintImportReport(std::ostream& out, const ImportSettings& s, const ImportResult& result) {
    out << s.Output << ": " << Plural(static_cast<long>(result.Records.size()), "record") << " from " << s.Input
        << "\n\n";
    PrintYearTable(out, result.Years);
    out << '\n';
    for (const std::string& line : result.Derived) out << line << '\n';
    out << "\nRun with: " << result.Run.Text << '\n';
}

}  // namespace drivers
