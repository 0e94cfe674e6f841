// modelbatch on the sample forest with the mistakes people make in their
// files: a value missing from a driver line or one too many, drivers in other
// units, a parameter value the name field cut; and the tables it writes for
// data-frame readers.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "cli/model_batch.h"
#include "cmdline/table_output.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/test_files.h"

namespace {

const std::string Samples = OSTREL_SAMPLES_DIR;
using Record = std::vector<std::string>;

class MisleadingInputsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ifstream in(Samples + "/weather.drr", std::ios::binary);
        std::string line;
        for (int n = 0; std::getline(in, line) && n < 2 + 600; ++n) {
            if (n < 2) {
                titles_ += line + "\n";
                continue;
            }
            std::istringstream fields(line);
            Record r;
            for (std::string f; fields >> f;) r.push_back(f);
            weather_.push_back(r);
        }
    }

    // The first `records` records of the sample weather, each changed by `edit`.
    std::string Weather(const std::string& name, std::size_t records,
                        const std::function<void(std::size_t, Record&)>& edit = {}) {
        std::string text = titles_;
        for (std::size_t i = 0; i < records; ++i) {
            Record r = weather_.at(i);
            if (edit) edit(i, r);
            for (const std::string& f : r) text += f + ' ';
            text += "\r\n";
        }
        const std::string file = dir / name;
        WriteBytes(file, text);
        return file;
    }

    BatchResult RunInto(const std::string& drivers, std::vector<std::string> options = {},
                        const std::string& par = Samples + "/forest.par") {
        options.insert(options.begin(), {"--start", "0", "--stop", "30"});
        options.insert(options.end(), {par, drivers, output});
        return Batch(options);
    }

    TempFolder dir;
    std::string output = dir / "o.out";
    std::string titles_;
    std::vector<Record> weather_;
};

TEST_F(MisleadingInputsTest, DriverLinesOfAnotherCountAreWarnedAboutOrRefused) {
    // One value missing on line 62: the record takes line 63's time, 60, for DNno3.
    const std::string missing = Weather("missing.drr", 70, [](std::size_t i, Record& r) {
        if (i == 59) r.erase(r.begin() + 10);
    });
    const std::string shape = "driver file '" + missing +
                              "' line 62: 18 values where a record has 19 (time and 18 drivers); the record continues "
                              "on the next line\n";
    BatchResult result = RunInto(missing);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "modelbatch: warning: " + shape + "modelbatch: warning: driver file '" + missing +
                              "': DNno3 60 on line 62: outside the range of real sites, 0 to 50 g N m-2\n");
    std::filesystem::remove(output);
    result = RunInto(missing, {"--strict"});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: " + shape + "modelbatch: driver file '" + missing +
                              "': DNno3 60 on line 62: outside the range of real sites, 0 to 50 g N m-2\n");
    EXPECT_FALSE(std::filesystem::exists(output));

    // The station's wind speed left after Ppt on every line; 18 values on every line.
    const std::string extra = Weather("extra.drr", 40, [](std::size_t, Record& r) { r.insert(r.begin() + 6, "4.35"); });
    const std::string cols18 = Weather("cols18.drr", 40, [](std::size_t, Record& r) { r.pop_back(); });
    result = RunInto(extra);
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: driver file '" + extra +
                              "': every record line holds 20 values where a record has 19 (time and 18 drivers)\n");
    result = RunInto(cols18);
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: driver file '" + cols18 +
                              "': every record line holds 18 values where a record has 19 (time and 18 drivers)\n");
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(MisleadingInputsTest, DriversInOtherUnitsAreNamedWithTheUnitTheyLookLike) {
    const auto scaled = [](std::size_t column, const std::function<double(double)>& f) {
        return [column, f](std::size_t, Record& r) {
            std::ostringstream text;
            text.precision(12);
            text << f(std::stod(r[column]));
            r[column] = text.str();
        };
    };
    const std::string kelvin = Weather("kelvin.drr", 40, [&](std::size_t i, Record& r) {
        scaled(2, [](double t) { return t + 273.15; })(i, r);
        scaled(3, [](double t) { return t + 273.15; })(i, r);
    });
    const std::string watts = Weather("watts.drr", 40, scaled(6, [](double v) { return v / 0.0864; }));
    const std::string deposition = Weather("deposition.drr", 40, scaled(7, [](double v) { return v * 1800; }));
    const auto first = [this](std::size_t column, const std::function<double(double)>& f) {
        std::ostringstream text;
        text.precision(12);
        text << f(std::stod(weather_[0][column]));
        return text.str();
    };

    BatchResult result = RunInto(kelvin);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "modelbatch: warning: driver file '" + kelvin + "': Tamax " +
                              first(2, [](double t) { return t + 273.15; }) +
                              " on line 3: looks like kelvin; the model takes °C; also on 39 more lines\n"
                              "modelbatch: warning: driver file '" +
                              kelvin + "': Tamin " + first(3, [](double t) { return t + 273.15; }) +
                              " on line 3: looks like kelvin; the model takes °C; also on 39 more lines\n");
    result = RunInto(watts);
    EXPECT_EQ(result.err, "modelbatch: warning: driver file '" + watts + "': II " +
                              first(6, [](double v) { return v / 0.0864; }) +
                              " on line 3: looks like W m-2; the model takes MJ m-2 day-1 (multiply by 0.0864); also "
                              "on 34 more lines\n");  // the dark days of winter stay below 50 W m-2
    std::filesystem::remove(output);
    result = RunInto(deposition, {"--strict"});
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err, "modelbatch: driver file '" + deposition + "': DNH4 " +
                              first(7, [](double v) { return v * 1800; }) +
                              " on line 3: outside the range of real sites, 0 to 0.1 g N m-2 day-1; also on 39 more "
                              "lines\n");
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(MisleadingInputsTest, ParameterValuesCutByTheirNameAndOutOfOrderAreNamed) {
    std::vector<std::string> lines;
    {
        const std::string text = ReadBytes(Samples + "/forest.par");
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
    }
    const auto write = [&](const std::string& name) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        WriteBytes(dir / name, text);
        return dir / name;
    };
    const std::string drivers = Weather("w.drr", 40);
    const std::vector<std::string> sample = lines;
    lines[57] = "critical Ta oC snowfall 5.00000000000000E-0001 oC";
    const std::string cut = write("cut.par");
    BatchResult result = RunInto(drivers, {}, cut);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "modelbatch: warning: parameter file '" + cut +
                              "' line 58: Tas is read as 0 from '.00000000000000E-0001'; 'critical Ta oC snowfall 5' "
                              "was taken for the name, and the name field of 25 characters ends inside the number "
                              "'5.00000000000000E-0001'\n");

    // Field capacity at the wilting point: the first evaluation divides by
    // their difference, and the failure names the finding, not the zeros.
    lines = sample;
    lines[61].replace(25, 23, " 7.00000000000000E+0001");
    const std::string wet = write("wet.par");
    result = RunInto(drivers, {"--quiet"}, wet);
    EXPECT_EQ(result.status, ExitFailure);
    EXPECT_EQ(result.err,
              "modelbatch: run failed at time 0: Floating point division by zero; likely at fault: "
              "parameter file '" +
                  wet +
                  "': Wf 70 is not above Ww 70: field capacity must be above "
                  "wilting point\n");
}

TEST_F(MisleadingInputsTest, TablesHoldTheNonFiniteWordsDataFrameReadersTakeAndNoRepeatedColumn) {
    DefineModel();
    const std::string csv = dir / "t.csv";
    {
        TableOutput table(csv, TableFormat::Csv, {{VarKind::Driver, 1}, {VarKind::Driver, 2}, {VarKind::Driver, 3}});
        std::vector<double> values(OutputColumns().size(), 0.0);
        values[0] = std::nan("");
        values[1] = HUGE_VAL;
        values[2] = -HUGE_VAL;
        table.Write(1.5, values);
        table.Close();
    }
    const std::string text = ReadBytes(csv);
    EXPECT_EQ(text.substr(text.rfind("\r\n", text.size() - 3) + 2), "1.5,NaN,Inf,-Inf\r\n");

    const BatchResult result = Batch({"--format", "csv", "--columns", "LAI,Cf", "--columns", "LAI", "--stop", "3",
                                      Samples + "/forest.par", Samples + "/weather.drr", output});
    EXPECT_EQ(result.status, ExitUsage);
    EXPECT_EQ(result.err, "modelbatch: --columns: LAI is named twice; each column is written once\n");
    EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
