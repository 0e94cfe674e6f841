// The run's records as CSV or TSV, and the catalogue as --list-variables
// shows it: read back and held against the model's own output file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/model_batch.h"
#include "fileio/fileio.h"
#include "fileio/output_file.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

// The lines of a file split at the separator, line ends (CR LF) taken off.
std::vector<std::vector<std::string>> Table(const std::string& file, char separator) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.back(), '\r');
        line.pop_back();
        std::vector<std::string> fields;
        std::stringstream fieldsOf(line);
        for (std::string field; std::getline(fieldsOf, field, separator);) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

class TableOutputTest : public ::testing::Test {
protected:
    // The compiled-in model on the sample files, for 20 days.
    BatchResult Sample(std::vector<std::string> options, const std::string& out) {
        const std::string samples = OSTREL_SAMPLES_DIR;
        options.insert(options.begin(), {"-q", "--start", "0", "--stop", "20"});
        options.insert(options.end(), {samples + "/forest.par", samples + "/weather.drr", out});
        return Batch(options);
    }

    TempFolder dir;
};

TEST_F(TableOutputTest, CsvHoldsTheRecordsOfTheOutputFileWithUniqueHeaderNames) {
    const std::string model = dir / "run.out", csv = dir / "run.csv";
    ASSERT_EQ(Sample({}, model).status, 0);
    ASSERT_EQ(Sample({"--format", "csv"}, csv).status, 0);

    const auto rows = Table(csv, ',');
    ASSERT_EQ(rows.size(), 2u + 20u);
    ASSERT_EQ(rows[0].size(), 208u);
    EXPECT_EQ(std::set<std::string>(rows[0].begin(), rows[0].end()).size(), 208u);  // unique names
    EXPECT_EQ(rows[0][0], "Time");
    EXPECT_EQ(rows[0][1], "Ca");
    EXPECT_EQ(rows[0][4], "Ts.driver4");
    EXPECT_EQ(rows[0][19], "Cf");
    EXPECT_EQ(rows[0][18 + 57], "Ts.process57");  // process entry p is column 19 + p, counted from 1
    EXPECT_EQ(rows[0][18 + 100], "RrmetL.process100");
    EXPECT_EQ(rows[0][18 + 109], "none.process109");
    EXPECT_EQ(rows[1][0], "days");
    EXPECT_EQ(rows[1][19], "g C m-2 ground");

    fileio::OutputReader reader(model);
    driverarray drivers = Drivers;
    statearray states = States;
    processarray processes = Processes;
    for (std::size_t r = 2; r < rows.size(); ++r) {
        double time = 0;
        ASSERT_TRUE(reader.ReadRecord(time, drivers, ModelDef.NumStates, states, ModelDef.NumProcesses, processes));
        std::vector<double> expected = {time};
        for (int i = 1; i <= ModelDef.NumDrivers; ++i) expected.push_back(drivers[i].Value);
        for (int i = 1; i <= ModelDef.NumStates; ++i) expected.push_back(states[i].Value);
        for (int i = ModelDef.NumStates + 1; i <= ModelDef.NumProcesses; ++i) expected.push_back(processes[i].Value);
        ASSERT_EQ(rows[r].size(), expected.size());
        for (std::size_t c = 0; c < expected.size(); ++c)
            EXPECT_NEAR(std::stod(rows[r][c]), expected[c], std::fabs(expected[c]) * 5e-13) << rows[0][c] << " " << r;
    }
}

TEST_F(TableOutputTest, ChosenColumnsAsTabSeparatedValues) {
    const std::string all = dir / "all.csv", some = dir / "some.tsv";
    ASSERT_EQ(Sample({"--format", "csv"}, all).status, 0);
    ASSERT_EQ(Sample({"--format", "tsv", "--columns", "Cf,Ts.process57", "--columns", "RrmetL.process99,Ca"}, some)
                  .status,
              0);
    const auto full = Table(all, ','), chosen = Table(some, '\t');
    ASSERT_EQ(chosen.size(), full.size());
    EXPECT_EQ(chosen[0], (std::vector<std::string>{"Time", "Cf", "Ts.process57", "RrmetL.process99", "Ca"}));
    EXPECT_EQ(chosen[1], (std::vector<std::string>{"days", "g C m-2 ground", "oC", "g C m-2 day-1", full[1][1]}));
    for (std::size_t r = 2; r < full.size(); ++r)
        EXPECT_EQ(chosen[r], (std::vector<std::string>{full[r][0], full[r][19], full[r][18 + 57], full[r][18 + 99],
                                                       full[r][1]}));
}

TEST_F(TableOutputTest, ListVariablesShowsTheNamedSymbolsOnly) {
    BatchResult result = Batch({"--list-variables", "Ts", "Cf", "mF"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "kind\tindex\tsymbol\tname\tunits\tparamcount\ttabcategory\tmarked\towner\n"
                          "process\t57\tTs.process57\tTemp: soil mean daily\toC\t0\t4\t0\t\n"
                          "driver\t4\tTs.driver4\tAvg Soil Temp\toC\t\t\t\t\n"
                          "state\t1\tCf\tC: foliar\tg C m-2 ground\t\t\t\t\n"
                          "parameter\t25\tmF\tFoliage C Density\tg C m-2 leaf\t\t\t\t77\n");

    // Without a symbol: all 376 entries after the header line.
    result = Batch({"--list-variables"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 377);

    result = Batch({"--list-variables", "Cff"});
    EXPECT_EQ(result.status, ExitUsage);
    EXPECT_EQ(result.err, "modelbatch: --list-variables: unknown symbol 'Cff' (symbols are case-sensitive); did you mean "
                          "Cf or Cfe?\n");
}

}  // namespace
