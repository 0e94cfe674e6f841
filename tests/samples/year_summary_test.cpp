#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "../fileio/file_test_support.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "model/symbols.h"
#include "samples/year_summary.h"

namespace {

// An output file of records (time, day, GPP total, LAI, snow).
void WriteRecords(const std::string& file, const std::vector<std::array<double, 5>>& records) {
    statearray states = States;
    processarray processes = Processes;
    OpenOutputFile(file, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, true);
    for (const auto& r : records) {
        states[st::Jday].Value = r[1];
        states[st::PST].Value = r[2];
        states[st::NepT].Value = -r[2];
        processes[pr::LAI].Value = r[3];
        states[st::Ws].Value = r[4];
        WriteOutputRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, r[0]);
    }
    CloseOutputFile();
}

TEST(YearSummary, GroupsRecordsByModelYearFromTheirTimes) {
    DefineModel();
    fileio_test::TempFolder folder;
    const std::string file = folder.File("run.out");
    // Two days of one year, three of the next.
    WriteRecords(file, {{365, 365, 1000, 2.0, 40}, {366, 366, 1010, 1.5, 55}, {367, 1, 0, 1.0, 50},
                        {368, 2, 3, 4.5, 10}, {369, 3, 7, 4.0, 0}});
    auto years = SummariseYears(file);
    ASSERT_EQ(years.size(), 2u);
    EXPECT_EQ(years[0].FirstTime, 365);
    EXPECT_EQ(years[0].LastTime, 366);
    EXPECT_EQ(years[0].Days, 366);
    EXPECT_EQ(years[0].Gpp, 1010);
    EXPECT_EQ(years[0].Nep, -1010);
    EXPECT_EQ(years[0].PeakLai, 2.0);
    EXPECT_EQ(years[0].PeakSnow, 55);
    EXPECT_EQ(years[1].FirstTime, 367);
    EXPECT_EQ(years[1].Days, 3);
    EXPECT_EQ(years[1].Gpp, 7);
    EXPECT_EQ(years[1].PeakLai, 4.5);
    EXPECT_EQ(years[1].PeakSnow, 50);

    // A record once a model year: each is a year of its own.
    WriteRecords(file, {{366, 366, 1000, 2, 0}, {732, 366, 1100, 3, 0}, {1098, 366, 1200, 4, 0}});
    years = SummariseYears(file);
    ASSERT_EQ(years.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(years[i].Year, static_cast<int>(i) + 1);
        EXPECT_EQ(years[i].Gpp, 1000 + 100 * static_cast<double>(i));
    }

    // Records that miss the end of a year would give short annual totals.
    WriteRecords(file, {{300, 300, 900, 2, 0}, {600, 234, 800, 3, 0}});
    try {
        SummariseYears(file);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "no record at the end of model year 1 (its last record is at time 300): the annual "
                               "totals need one at every multiple of 366 days");
    }
}

TEST(YearSummary, RecordsThatAreNotDailyAreRefused) {
    DefineModel();
    fileio_test::TempFolder folder;
    const std::string file = folder.File("run.out");
    WriteRecords(file, {{1, 1, 0, 0, 0}, {2, 2, 0, 0, 0}, {3, 3, 0, 0, 0}});
    RequireDailyRecords(file);
    WriteRecords(file, {{1, 1, 0, 0, 0}, {2, 2, 0, 0, 0}, {4, 4, 0, 0, 0}});
    try {
        RequireDailyRecords(file);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the records are not daily: the record at time 4 follows the one at time 2; the peaks "
                               "of a year need a record every day (modelbatch --step 1 --output-every 1)");
    }
}

// A run killed while it wrote: the whole records are summarised.
TEST(YearSummary, ALastRecordCutShortIsLeftOut) {
    DefineModel();
    fileio_test::TempFolder folder;
    const std::string file = folder.File("run.out");
    WriteRecords(file, {{1, 1, 0.5, 1.0, 0}, {2, 2, 1.5, 2.0, 0}, {3, 3, 2.5, 3.0, 0}});
    const std::string whole = ReadBytes(file);
    WriteBytes(file, whole.substr(0, whole.size() - 3000));
    fileio_test::RecordingNotifier notifier;
    const std::vector<YearSummary> years = SummariseYears(file);
    ASSERT_EQ(years.size(), 1u);
    EXPECT_EQ(years[0].LastTime, 2);
    EXPECT_EQ(years[0].Gpp, 1.5);
    EXPECT_EQ(notifier.shown, std::vector<std::string>{"other: the last record of '" + file + "', cut short at byte " +
                                                       std::to_string(whole.size() - 3000) + ", was left out"});
}

TEST(YearSummary, MissingFileIsReported) {
    DefineModel();
    fileio_test::TempFolder folder;
    try {
        SummariseYears(folder.File("absent.out"));
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

}  // namespace
