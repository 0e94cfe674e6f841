#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "drivers/driver_records.h"
#include "drivers/shortwave.h"
#include "tests/drivers/import_support.h"

namespace {

using drivers::Field;
using drivers_test::DailyCsv;
using drivers_test::Refusal;
using drivers_test::Settings;

constexpr int F(Field f) { return static_cast<int>(f); }

TEST(ImportCalendar, ALeapAndANonLeapYearLandOnTheModelsYearsOf366Days) {
    TempFolder dir;
    WriteBytes(dir / "w.csv", DailyCsv(2019, 2));
    const auto r = drivers::ImportWeather(Settings(dir / "w.csv", dir / "w.drr"));
    ASSERT_EQ(r.Records.size(), 365u + 1u + 366u);
    EXPECT_EQ(r.Dates[364], "2019-12-31");
    EXPECT_EQ(r.Records[364].Time, 364.0);
    // The model's last day of 2019 keeps 31 December's weather, without its rain.
    EXPECT_EQ(r.Records[365].Time, 365.0);
    EXPECT_EQ(r.Records[365].Value[F(Field::Tamax)], r.Records[364].Value[F(Field::Tamax)]);
    EXPECT_EQ(r.Records[364].Value[F(Field::Ppt)], 0.0);  // day 365 is no multiple of 3
    EXPECT_EQ(r.Records[365].Value[F(Field::Ppt)], 0.0);
    EXPECT_EQ(r.Dates[366], "2020-01-01");
    EXPECT_EQ(r.Records[366].Time, 366.0);
    EXPECT_EQ(r.Dates[366 + 59], "2020-02-29");
    EXPECT_EQ(r.Records[366 + 59].Time, 425.0);
    EXPECT_EQ(r.Records.back().Time, 731.0);
    EXPECT_EQ(r.Run.Text,
              "--start 0 --stop 732 --repeat-drivers 731\n"
              "--repeat-drivers 731 repeats these 2 years on the model's calendar; "
              "a spin-up of 100 years: --stop 36600");
    ASSERT_EQ(r.Years.size(), 2u);
    EXPECT_EQ(r.Years[0].Days, 365);
    EXPECT_EQ(r.Years[1].Days, 366);
    EXPECT_DOUBLE_EQ(r.Years[0].PptSum, 121 * 2.5);
    EXPECT_DOUBLE_EQ(r.Years[1].PptSum, 122 * 2.5);
}

TEST(ImportCalendar, APartYearStartsAtItsOwnDayAndIsNotOfferedForRepeating) {
    TempFolder dir;
    std::string text = "date,tmax,tmin,precip\n";
    for (int d = 15; d <= 31; ++d) text += "2019-03-" + std::to_string(d) + ",12,4,0\n";
    WriteBytes(dir / "w.csv", text);
    const auto r = drivers::ImportWeather(Settings(dir / "w.csv", dir / "w.drr"));
    EXPECT_EQ(r.Records.front().Time, 73.0);
    EXPECT_EQ(r.Run.Text,
              "--start 73 --stop 90\nno --repeat-drivers: the records run from 2019-03-15 to 2019-03-31, "
              "not whole calendar years, and repeating them would shift the seasons against the model's "
              "calendar");
    EXPECT_EQ(r.Years[0].Notes, "part of the year");
}

// Three days of hourly tower records and the daily file a person would make
// of them by hand.
struct HourlyAndDaily {
    std::string Hourly = "TIMESTAMP_START,TA_F,P_F,SW_IN_F\n";
    std::string Daily = "date,Tmax (degC),Tmin (degC),precipitation (mm),shortwave (MJ m-2 day-1)\n";
    HourlyAndDaily() {
        for (int day = 1; day <= 3; ++day) {
            double tmax = -1e9, tmin = 1e9, rain = 0.0, sw = 0.0;
            for (int h = 0; h < 24; ++h) {
                const double ta = 12.0 + day + 6.0 * std::sin((h - 9) * 3.14159265 / 12.0) + 0.1 * (h % 5);
                const double p = (h == 14 + day) ? 0.4 * day : 0.0;
                const double w = h >= 5 && h <= 19 ? 600.0 * std::sin((h - 5) * 3.14159265 / 14.0) : 0.0;
                char line[128];
                std::snprintf(line, sizeof line, "202106%02d%02d00,%.17g,%.17g,%.17g\n", day, h, ta, p, w);
                Hourly += line;
                tmax = std::max(tmax, ta), tmin = std::min(tmin, ta), rain += p, sw += w;
            }
            char line[160];
            std::snprintf(line, sizeof line, "2021-06-%02d,%.17g,%.17g,%.17g,%.17g\n", day, tmax, tmin, rain,
                          sw / 24.0 * 86400.0 / 1e6);
            Daily += line;
        }
    }
};

TEST(ImportSubDaily, HourlyRecordsGiveTheSameDriversAsTheirDailyAggregate) {
    TempFolder dir;
    const HourlyAndDaily files;
    WriteBytes(dir / "hourly.csv", files.Hourly);
    WriteBytes(dir / "daily.csv", files.Daily);
    const auto hourly = drivers::ImportWeather(Settings(dir / "hourly.csv", dir / "h.drr"));
    const auto daily = drivers::ImportWeather(Settings(dir / "daily.csv", dir / "d.drr"));
    ASSERT_EQ(hourly.Records.size(), 3u);
    ASSERT_EQ(daily.Records.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(hourly.Records[i].Time, daily.Records[i].Time);
        for (int d = 1; d <= drivers::DriverCount; ++d)
            EXPECT_NEAR(hourly.Records[i].Value[d], daily.Records[i].Value[d], 1e-9)
                << "record " << i << " driver " << d;
    }
    EXPECT_EQ(hourly.Records[0].Time, 151.0);  // 1 June 2021
}

TEST(ImportSubDaily, ADayWithTooFewRecordsIsAGapThatIsFilled) {
    TempFolder dir;
    const HourlyAndDaily files;
    // Day 2 keeps only its first 12 hours: fewer than three quarters of a day.
    std::string hourly;
    int line = 0;
    for (std::size_t start = 0, end; (end = files.Hourly.find('\n', start)) != std::string::npos;
         start = end + 1, ++line)
        if (line <= 24 || line > 36) hourly += files.Hourly.substr(start, end - start + 1);
    WriteBytes(dir / "hourly.csv", hourly);
    const auto r = drivers::ImportWeather(Settings(dir / "hourly.csv", dir / "h.drr"));
    ASSERT_EQ(r.Records.size(), 3u);
    const auto& rec = r.Records;
    EXPECT_NEAR(rec[1].Value[F(Field::Tamax)], 0.5 * (rec[0].Value[F(Field::Tamax)] + rec[2].Value[F(Field::Tamax)]),
                1e-12);
    EXPECT_EQ(rec[1].Value[F(Field::Ppt)], 0.0);
    ASSERT_EQ(r.Warnings.size(), 1u);
    EXPECT_EQ(r.Warnings[0], "Ppt: no value on 2021-06-02 (1 day): set to 0 mm");
    EXPECT_EQ(r.Years[0].Notes, "part of the year; 1 day filled");
}

TEST(ImportColumns, UnitsAreConvertedAndAnExplicitMapWinsOverTheHeader) {
    TempFolder dir;
    WriteBytes(dir / "w.csv",
               "year;doy;Tmax (K);Tmin (\xB0"
               "F);rain (inch);hi\n"
               "2019;1;283.15;41;0.1;50\n"
               "2019;2;284.15;32;0;59\n");
    auto s = Settings(dir / "w.csv", dir / "w.drr");
    auto r = drivers::ImportWeather(s);
    EXPECT_NEAR(r.Records[0].Value[F(Field::Tamax)], 10.0, 1e-12);
    EXPECT_NEAR(r.Records[0].Value[F(Field::Tamin)], 5.0, 1e-12);
    EXPECT_NEAR(r.Records[1].Value[F(Field::Tamin)], 0.0, 1e-12);
    EXPECT_NEAR(r.Records[0].Value[F(Field::Ppt)], 2.54, 1e-12);
    // The same as tab-separated values.
    WriteBytes(dir / "w.tsv", "year\tdoy\tTmax (K)\tTmin (degF)\train (inch)\n2019\t1\t283.15\t41\t0.1\n");
    EXPECT_NEAR(drivers::ImportWeather(Settings(dir / "w.tsv", dir / "w.drr")).Records[0].Value[F(Field::Ppt)], 2.54,
                1e-12);
    s.Columns = {drivers::ParseColumnChoice("Tamax=hi:degF")};
    r = drivers::ImportWeather(s);
    EXPECT_NEAR(r.Records[1].Value[F(Field::Tamax)], 15.0, 1e-12);
    EXPECT_EQ(r.Derived[0], "Tamax from column 'hi' in degF");
}

TEST(ImportDerived, ShortwaveSoilCo2DepositionAndTheTenNotMeasuredDrivers) {
    TempFolder dir;
    WriteBytes(dir / "w.csv", DailyCsv(2019, 1));
    auto s = Settings(dir / "w.csv", dir / "w.drr");
    s.Ndep = 10.0;
    s.Nh4Fraction = 0.4;
    auto r = drivers::ImportWeather(s);
    const auto& first = r.Records[0].Value;
    EXPECT_NEAR(first[F(Field::II)], 0.16 * std::sqrt(8.0) * drivers::ExtraterrestrialRadiation(47.3, 1), 1e-9);
    EXPECT_EQ(first[F(Field::Ca)], 411.66);
    EXPECT_NEAR(first[F(Field::DNH4)], 0.4 * 1.0 / 366.0, 1e-15);
    EXPECT_NEAR(first[F(Field::DNO3)], 0.6 * 1.0 / 366.0, 1e-15);
    for (int d = drivers::FirstOverrideDriver; d <= drivers::DriverCount; ++d) EXPECT_EQ(first[d], -1.0);
    // The soil follows the air slowly: after a cool start it lags the warming spring.
    EXPECT_LT(r.Records[120].Value[F(Field::Ts)], 0.5 * (r.Records[120].Value[2] + r.Records[120].Value[3]));
    EXPECT_EQ(r.Derived.back(),
              "10 of the drivers 9 to 18 (litterfall and soil nitrogen) not measured: -1, the model "
              "computes them");
    s.Co2 = 380.0;
    s.Shortwave = drivers::ShortwaveMethod::ThorntonRunning;
    r = drivers::ImportWeather(s);
    EXPECT_EQ(r.Records[200].Value[F(Field::Ca)], 380.0);
    EXPECT_GT(r.Records[200].Value[F(Field::II)], 5.0);
}

TEST(ImportGaps, ShortGapsAreFilledAndLongOnesRefusedWithTheirDates) {
    TempFolder dir;
    WriteBytes(dir / "w.csv",
               "date,tmax,tmin,precip\n2019-01-01,2,-2,1\n2019-01-02,NA,-3,\n2019-01-03,-9999,-4,NA\n"
               "2019-01-04,8,0,3\n");
    const auto r = drivers::ImportWeather(Settings(dir / "w.csv", dir / "w.drr"));
    EXPECT_DOUBLE_EQ(r.Records[1].Value[F(Field::Tamax)], 4.0);
    EXPECT_DOUBLE_EQ(r.Records[2].Value[F(Field::Tamax)], 6.0);
    EXPECT_EQ(r.Warnings, std::vector<std::string>{"Ppt: no value on 2019-01-02 to 2019-01-03 (2 days): set to 0 mm"});
    EXPECT_EQ(r.Years[0].Notes, "part of the year; 2 days filled");

    WriteBytes(dir / "long.csv",
               "date,tmax,tmin,precip\n2019-01-01,2,-2,1\n2019-01-02,,-2,1\n2019-01-03,,-2,1\n"
               "2019-01-04,,-2,1\n2019-01-05,,-2,1\n2019-01-06,3,-2,1\n2019-01-11,3,-2,1\n");
    EXPECT_EQ(Refusal([&] { drivers::ImportWeather(Settings(dir / "long.csv", dir / "w.drr")); }),
              dir / "long.csv" +
                  ": gaps longer than --max-gap 3 days, not filled: 2019-01-02 to 2019-01-05 "
                  "(4 days: Tamax); 2019-01-07 to 2019-01-10 (4 days: Tamax, Tamin, Ppt)");
    auto wide = Settings(dir / "long.csv", dir / "w.drr");
    wide.MaxGap = 4;
    EXPECT_EQ(drivers::ImportWeather(wide).Records.size(), 11u);
}

TEST(ImportRefusals, EachNamesTheFileTheLineAndWhatIsWrong) {
    TempFolder dir;
    const std::string f = dir / "w.csv";
    auto refusal = [&](const std::string& text) {
        WriteBytes(f, text);
        return Refusal([&] { drivers::ImportWeather(Settings(f, dir / "w.drr")); });
    };
    EXPECT_EQ(refusal("date,tmean,rain\n2019-01-01,3,0\n"),
              f + ": no column found for Tamax (daily maximum air temperature) and Tamin (daily minimum air "
                  "temperature); columns found: date, tmean, rain (name one with --column SYMBOL=COLUMN[:UNIT])");
    EXPECT_EQ(refusal("tmax,tmin,rain\n3,1,0\n"),
              f + ": no date column: a column 'date' (YYYY-MM-DD) or the columns 'year' and 'doy' are needed "
                  "(columns found: tmax, tmin, rain)");
    EXPECT_EQ(refusal("date,Tmax (bananas),tmin,rain\n2019-01-01,3,1,0\n"),
              f + ": column 'Tmax (bananas)': unit 'bananas' is not known for Tamax (known: degC, K, degF)");
    EXPECT_EQ(refusal("date,tmax,tmin,rain\n2019-01-01,3,1,0\n2019-01-02,warm,1,0\n"),
              f + ":3: column 'tmax': 'warm' is not a number");
    EXPECT_EQ(refusal("date,tmax,tmin,rain\n2019-02-30,3,1,0\n"), f + ":2: '2019-02-30' is not a date (YYYY-MM-DD)");
    EXPECT_EQ(refusal("year,doy,tmax,tmin,rain\n2019,366,3,1,0\n"), f + ":2: day 366 of 2019 does not exist");
    EXPECT_EQ(refusal("date,tmax,tmin,rain\n2019-01-02,3,1,0\n2019-01-01,3,1,0\n"),
              f + ":3: the date 2019-01-01 comes before 2019-01-02 of the lines above: the records must be in time "
                  "order");
    EXPECT_EQ(refusal("date,temperature,rain\n2019-01-01,3,0\n"),
              f + ": column 'temperature' holds one air temperature a day; the model needs the daily maximum and "
                  "minimum (columns for Tamax and Tamin)");
    EXPECT_EQ(refusal("# nothing but a comment\n"), f + ": no header line: the file is empty");
    EXPECT_EQ(refusal("date,tmax,tmin,rain\n"), f + ": no records below the header");
    EXPECT_EQ(Refusal([&] { drivers::ImportWeather(Settings(dir / "none.csv", dir / "w.drr")); }),
              dir / "none.csv" + ": File not found");
    WriteBytes(f, "date,tmax,tmin,rain\n2019-01-01,3,1,0\n");
    auto s = Settings(f, dir / "w.drr");
    s.Columns = {drivers::ParseColumnChoice("Tamax=hi")};
    EXPECT_EQ(Refusal([&] { drivers::ImportWeather(s); }),
              f + ": --column Tamax=hi: no column 'hi' (columns found: date, tmax, tmin, rain)");
    s.Columns.clear();
    s.Latitude = 91.0;
    EXPECT_EQ(Refusal([&] { drivers::ImportWeather(s); }),
              "--latitude 91.00: a latitude lies between -90 and 90 degrees");
    EXPECT_EQ(Refusal([] { drivers::ParseColumnChoice("Tamax"); }),
              "--column Tamax: expected SYMBOL=COLUMN[:UNIT], as in Tamax=temp_max:degC");
    EXPECT_EQ(Refusal([] { drivers::ParseColumnChoice("Ppt=rain:degC"); }),
              "--column Ppt=rain:degC: unit 'degC' is not known for Ppt (known: mm, inch)");
    EXPECT_EQ(Refusal([] { drivers::ParseColumnChoice("Tmax=rain"); }).substr(0, 49),
              "--column Tmax=rain: 'Tmax' is no driver (one of C");
}

TEST(ImportSave, RecordsThatFailTheChecksLeaveTheDriverFileAsItWas) {
    TempFolder dir;
    WriteBytes(dir / "w.csv", "date,tmax,tmin,rain\n2019-01-01,3,1,0\n2019-01-02,3,5,0\n2019-01-03,3,1,-2\n");
    WriteBytes(dir / "w.drr", "an earlier driver file");
    EXPECT_EQ(Refusal([&] { drivers::ImportAndSave(Settings(dir / "w.csv", dir / "w.drr")); }),
              dir / "w.csv" +
                  ": 2 problems in the drivers made from it, nothing written:\n"
                  "  2019-01-02: Tamin 5 above Tamax 3\n"
                  "  2019-01-03: Ppt -2 outside 0 to 2000 mm H2O day-1");
    EXPECT_EQ(ReadBytes(dir / "w.drr"), "an earlier driver file");
    EXPECT_EQ(dir.Entries(), 2u);  // no temporary file left beside it
}

TEST(ImportSave, TheDriverFileReadsBackAsWritten) {
    TempFolder dir;
    WriteBytes(dir / "w.csv", DailyCsv(2020, 1));
    const auto r = drivers::ImportAndSave(Settings(dir / "w.csv", dir / "w.drr"));
    const auto back = drivers::ReadDriverRecords(dir / "w.drr");
    ASSERT_EQ(back.size(), r.Records.size());
    for (std::size_t i = 0; i < back.size(); i += 61) {
        EXPECT_EQ(back[i].Time, r.Records[i].Time);
        for (int d = 1; d <= drivers::DriverCount; ++d)
            EXPECT_NEAR(back[i].Value[d], r.Records[i].Value[d], 1e-12 * std::fabs(r.Records[i].Value[d]));
    }
    EXPECT_EQ(ReadBytes(dir / "w.drr").substr(0, 30), "Time                      CO2,");
}

}  // namespace
