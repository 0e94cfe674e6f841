// ostrel-drivers as a user runs it: the bundled station file imported,
// checked, exported and imported again, and the driver file it makes run by
// the model for a century of repeated weather.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "cli/model_batch.h"
#include "drivers/drivers_command.h"
#include "fileio/csv.h"
#include "tests/test_files.h"

namespace {

const std::string StationCsv = std::string(OSTREL_SAMPLES_DIR) + "/station_daily.csv";
const std::string ForestPar = std::string(OSTREL_SAMPLES_DIR) + "/forest.par";

struct Result {
    int Status;
    std::string Out, Err;
};

Result Drivers(std::vector<std::string> args) {
    args.insert(args.begin(), "ostrel-drivers");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = drivers::RunDriversCommand(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

int ModelBatch(std::vector<std::string> args) {
    args.insert(args.begin(), "modelbatch");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = RunModelBatch(static_cast<int>(argv.size()), argv.data(), out, err, BatchEnvironment{});
    EXPECT_EQ(err.str(), "");
    return status;
}

TEST(DriversCommand, TheBundledStationFileImportsChecksAndComesBackFromItsExport) {
    TempFolder dir;
    const Result imported = Drivers({"import", StationCsv, "--latitude", "47.3", "-o", dir / "site.drr"});
    ASSERT_EQ(imported.Status, 0) << imported.Err;
    EXPECT_EQ(imported.Err,
              "ostrel-drivers: warning: Ppt: no value on 2020-03-17 (1 day): set to 0 mm\n"
              "ostrel-drivers: warning: Ppt: no value on 2021-08-04 to 2021-08-05 (2 days): set to 0 mm\n");
    EXPECT_NE(imported.Out.find("\n2020   366 "), std::string::npos) << imported.Out;
    EXPECT_NE(imported.Out.find("II derived; 1 day filled\n"), std::string::npos) << imported.Out;
    EXPECT_NE(
        imported.Out.find("\nRun with: --start 0 --stop 1830 --repeat-drivers 1829\n--repeat-drivers 1829 "
                          "repeats these 5 years on the model's calendar; a spin-up of 100 years: --stop 36600\n"),
        std::string::npos)
        << imported.Out;

    const Result checked = Drivers({"check", dir / "site.drr"});
    EXPECT_EQ(checked.Status, 0);
    EXPECT_NE(checked.Out.find("model year 5   366 "), std::string::npos) << checked.Out;
    EXPECT_EQ(checked.Out.substr(checked.Out.size() - 19), "\nno problems found\n");

    const Result exported = Drivers({"export", dir / "site.drr", "-o", dir / "site.csv", "--first-year", "2018"});
    ASSERT_EQ(exported.Status, 0) << exported.Err;
    EXPECT_EQ(exported.Out, dir / "site.csv" + ": 1826 records, dates from 2018\n");
    const std::string csv = ReadBytes(dir / "site.csv");
    EXPECT_EQ(csv.substr(0, csv.find('\r')),
              "date,time (days),Ca (ppm),Tamax (oC),Tamin (oC),Ts (oC),Ppt (mm H2O day-1),II (MJ m-2 day-1),"
              "DNH4 (g N m-2 day-1),DNO3 (g N m-2 day-1),DlambdaCF (g C m-2 day-1),DlambdaCSW (g C m-2 day-1),"
              "DlambdaCHW (g C m-2 day-1),DlambdaCR (g C m-2 day-1),DlambdaNF (g N m-2 day-1),"
              "DlambdaNSW (g N m-2 day-1),DlambdaNHW (g N m-2 day-1),DlambdaNR (g N m-2 day-1),DNnh4 (g N m-2),"
              "DNno3 (g N m-2)");
    // Every driver comes back from its column: nothing is derived again.
    const Result again = Drivers({"import", dir / "site.csv", "--latitude", "0", "-o", dir / "again.drr"});
    ASSERT_EQ(again.Status, 0) << again.Err;
    EXPECT_EQ(ReadBytes(dir / "again.drr"), ReadBytes(dir / "site.drr"));
}

TEST(DriversCommand, CheckNamesTheLineAndTimeOfEveryProblem) {
    TempFolder dir;
    std::string text = "titles\r\nunits\r\n";
    auto record = [](double t, double tmax, double tmin, double ca) {
        std::string line = std::to_string(t) + " " + std::to_string(ca) + " " + std::to_string(tmax) + " " +
                           std::to_string(tmin) + " 5 2 10 0.001 0.001";
        for (int i = 9; i <= 18; ++i) line += " -1";
        return line + "\r\n";
    };
    text += record(0, 10, 2, 400) + record(1, 3, 4, 400) + record(2, 10, 2, 40);
    WriteBytes(dir / "bad.drr", text);
    const Result r = Drivers({"check", dir / "bad.drr"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find("\n" + dir / "bad.drr" + ":4 (time 1): Tamin 4 above Tamax 3\n" + dir / "bad.drr" +
                         ":5 (time 2): Ca 40 outside 150 to 2000 ppm\n\n2 problems\n"),
              std::string::npos)
        << r.Out;
    WriteBytes(dir / "short.drr", "t\r\nu\r\n0 1 2 x\r\n");
    const Result cut = Drivers({"check", dir / "short.drr"});
    EXPECT_EQ(cut.Status, 1);
    EXPECT_EQ(cut.Err, "ostrel-drivers: " + dir / "short.drr" + ":3: Invalid numeric input\n");
    WriteBytes(dir / "cut.drr", "t\r\nu\r\n0 1 2 3\r\n");
    EXPECT_EQ(Drivers({"check", dir / "cut.drr"}).Err,
              "ostrel-drivers: driver file '" + dir / "cut.drr" +
                  "': every record line holds 4 values where a record has 19 (time and 18 drivers)\n");
}

TEST(DriversCommand, MistakenCommandLinesAreAnsweredWithoutWritingAnything) {
    TempFolder dir;
    Result r = Drivers({"import", StationCsv, "-o", dir / "x.drr"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("--latitude is required"), std::string::npos) << r.Err;
    r = Drivers({"import", StationCsv, "other.csv", "--latitude", "47", "-o", dir / "x.drr"});
    EXPECT_EQ(r.Err,
              "ostrel-drivers: The following argument was not expected: other.csv\n"
              "Run with --help for more information.\n");
    r = Drivers({"import", StationCsv, "--latitude", "47", "-o", dir / "x.drr", "--column", "Tamax"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "ostrel-drivers: --column Tamax: expected SYMBOL=COLUMN[:UNIT], as in Tamax=temp_max:degC\n");
    r = Drivers({"import", dir / "x.csv", "--latitude", "47", "-o", dir / "x.csv"});
    EXPECT_EQ(r.Err, "ostrel-drivers: " + dir / "x.csv" +
                         ": the driver file would replace the weather file it is read from\n");
    EXPECT_EQ(dir.Entries(), 0u);
}

struct ModelYears {
    std::map<long, double> JanuaryTamax;  // mean daily maximum of 1 to 30 January (the first record ends day 0)
    std::map<long, double> PeakLai;
};

// The output's columns are the time, Tamax and LAI.
ModelYears Summarise(const std::string& csvFile) {
    std::ifstream in(csvFile);
    std::vector<std::string> fields;
    int line = 0, first = 0;
    fileio::ReadCsvRecord(in, fields, line, first);  // symbols
    fileio::ReadCsvRecord(in, fields, line, first);  // units
    std::map<long, std::pair<double, int>> sums;
    ModelYears years;
    while (fileio::ReadCsvRecord(in, fields, line, first)) {
        const long day = static_cast<long>(std::stod(fields[0]));
        double& peak = years.PeakLai[day / 366];
        peak = std::max(peak, std::stod(fields[2]));
        if (day % 366 < 1 || day % 366 > 30) continue;
        auto& [sum, n] = sums[day / 366];
        sum += std::stod(fields[1]);
        ++n;
    }
    for (const auto& [year, s] : sums) years.JanuaryTamax[year] = s.first / s.second;
    return years;
}

TEST(DriversCommand, ACenturyOfRepeatedStationWeatherKeepsJanuaryInJanuary) {
    TempFolder dir;
    ASSERT_EQ(Drivers({"import", StationCsv, "--latitude", "47.3", "-o", dir / "site.drr"}).Status, 0);
    ASSERT_EQ(ModelBatch({"--quiet", "--start", "0", "--stop", "36600", "--repeat-drivers", "1829", "--format", "csv",
                          "--columns", "Tamax,LAI", ForestPar, dir / "site.drr", dir / "century.csv"}),
              0);
    const ModelYears years = Summarise(dir / "century.csv");
    const std::map<long, double>& january = years.JanuaryTamax;
    ASSERT_EQ(january.size(), 100u);
    double firstTen = 0.0, lastTen = 0.0;
    for (long y = 0; y < 10; ++y) firstTen += january.at(y) / 10.0, lastTen += january.at(90 + y) / 10.0;
    EXPECT_NEAR(lastTen, firstTen, 1e-9);
    EXPECT_LT(firstTen, 5.0);  // the station's Januaries: about 1.5 oC
    for (long y = 0; y < 100; ++y) {
        EXPECT_NEAR(january.at(y), january.at(y % 5), 1e-9) << "model year " << y + 1;
        EXPECT_GT(years.PeakLai.at(y), 3.0) << "model year " << y + 1;  // every spring the leaves come out
    }
}

}  // namespace
