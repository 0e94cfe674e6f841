#include <gtest/gtest.h>

#include "../fileio/file_test_support.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "model/symbols.h"
#include "samples/year_summary.h"

namespace {

TEST(YearSummary, CutsYearsWhereTheDayCounterGoesBack) {
    DefineModel();
    fileio_test::TempFolder folder;
    const std::string file = folder.File("run.out");
    statearray states = States;
    processarray processes = Processes;
    OpenOutputFile(file, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, true);
    // (time, day, GPP total, LAI, snow): two days of one year, three of the next.
    const double records[][5] = {
        {365, 365, 1000, 2.0, 40}, {366, 366, 1010, 1.5, 55},
        {367, 1, 0, 1.0, 50},      {368, 2, 3, 4.5, 10}, {369, 3, 7, 4.0, 0},
    };
    for (const auto& r : records) {
        states[st::Jday].Value = r[1];
        states[st::PST].Value = r[2];
        states[st::NepT].Value = -r[2];
        processes[pr::LAI].Value = r[3];
        states[st::Ws].Value = r[4];
        WriteOutputRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, r[0]);
    }
    CloseOutputFile();

    const auto years = SummariseYears(file);
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
