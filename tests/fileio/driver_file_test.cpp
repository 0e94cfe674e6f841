#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "fileio/driver_file.h"
#include "fileio/fileio.h"
#include "fuzz/driver_expectations.h"
#include "model/equations.h"
#include "tests/fileio/file_test_support.h"

namespace {
using namespace fileio_test;

class DriverFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        for (int i = 1; i <= MaxDrivers; ++i) Drivers[i].Value = PrevDrivers[i].Value = NextDrivers[i].Value = 0;
        StopTime = 20;
    }
    void TearDown() override { CloseDriverFile(); }

    // Title lines, then per record: the time, driver 1 = v, drivers 2..17 = 0,
    // driver 18 = 2v.
    static std::string Records(const std::vector<std::pair<int, int>>& records, const char* eol = "\r\n") {
        std::string text = std::string("Time titles") + eol + "days units" + eol;
        for (const auto& [t, v] : records) {
            text += std::to_string(t) + " " + std::to_string(v);
            for (int i = 2; i <= 17; ++i) text += " 0";
            text += " " + std::to_string(2 * v) + eol;
        }
        return text;
    }
    void Open(const std::string& text) {
        WriteBytes(name, text);
        OpenDriverFile(name, ModelDef.NumDrivers, Drivers, false);
        PrevDriverTime = NextDriverTime = 0;
    }
    // Title lines and two records: each starts as given, the other drivers are 0.
    static std::string TwoRecords(const std::string& first, const std::string& second) {
        std::string text = "titles\r\nunits\r\n";
        for (const std::string& record : {first, second}) {
            text += record;
            for (int i = 2 + static_cast<int>(std::count(record.begin(), record.end(), ' ')) - 1; i <= 18; ++i)
                text += " 0";
            text += "\r\n";
        }
        return text;
    }
    // Driver 1 after a lookup at `time` (driver 18 must be twice as much).
    double At(double time) {
        GetDrivers(Drivers, time);
        EXPECT_EQ(Drivers[18].Value, 2 * Drivers[1].Value) << "at " << time;
        return Drivers[1].Value;
    }

    TempFolder folder;
    const std::string name = folder.File("drivers.drr");
    RecordingNotifier notifier;
};

TEST_F(DriverFileTest, RecordsHoldUntilTheNextRecordsTime) {
    Open(Records({{1, 10}, {5, 50}, {10, 100}}));
    for (const auto& [t, v] : std::vector<std::pair<double, double>>{
             {1, 10}, {2, 10}, {4.9, 10}, {5, 50}, {7, 50}, {12, 100}, {1000, 100}, {HUGE_VAL, 100}})
        EXPECT_EQ(At(t), v) << t;
}

TEST_F(DriverFileTest, NegativeTimesAreInterpolationTargets) {
    Open(Records({{1, 10}, {-5, 50}, {10, 100}}));
    // 10 + (50 - 10) x (t - 1) / (5 - 1) up to 5; then 50 holds until 10.
    for (const auto& [t, v] : std::vector<std::pair<double, double>>{{1, 10}, {2, 20}, {3, 30}, {5, 50}, {9.9, 50}, {10, 100}})
        EXPECT_EQ(At(t), v) << t;
    Open(Records({{3, 30}, {-8, 80}}));
    EXPECT_EQ(At(1), 30);  // before the first record its values apply
    EXPECT_EQ(At(4), 40);
}

TEST_F(DriverFileTest, AfterTheEndOfDataTheLastRecordHoldsForAnyTime) {
    for (const double stop : {20.0, 0.0, -5.0}) {
        StopTime = stop;
        Open(Records({{1, 10}, {-5, 50}}) + "\r\n");  // a blank last line is no record
        EXPECT_EQ(At(2), 20);
        EXPECT_EQ(At(6), 50) << stop;
        EXPECT_EQ(At(100), 50) << stop;  // at least 2 x StopTime
        EXPECT_EQ(NextDriverTime, 2 * stop);
    }
    // Time 0 with a value is a record; all zeros end the data.
    Open(Records({{0, 7}, {2, 20}, {0, 0}, {4, 40}}));
    EXPECT_EQ(At(0), 7);
    EXPECT_EQ(At(5), 20);
    // No record at all: the values of the read-ahead record stay.
    NextDrivers[1].Value = 4;
    NextDrivers[18].Value = 8;
    Open(Records({{0, 0}}));
    EXPECT_EQ(At(3), 4);
}

TEST_F(DriverFileTest, RecordsMayHoldExtraNumbersSpanLinesAndUseAnyLineEnd) {
    std::string text = "titles\nunits\r";
    text += "1 10\r\n0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 20 99 98\n";  // split, then extra numbers
    text += "5\t50 0 0 0 0 0 0 0 0\t0 0 0 0 0 0 0 0 100 -1\r";
    Open(text);
    EXPECT_EQ(At(1), 10);
    EXPECT_EQ(At(5), 50);
}

TEST_F(DriverFileTest, ZeroedTimesRestartAndLookupsKeepTheNamesOfTheTable) {
    Open(Records({{1, 10}, {5, 50}}));
    EXPECT_EQ(At(6), 50);
    PrevDriverTime = NextDriverTime = 0;
    EXPECT_EQ(At(1), 10);
    EXPECT_EQ(Drivers[1].Name, "CO2, Atm");
    EXPECT_EQ(FindSymbol(0, "DNno3"), 18);
}

// Repeated drivers read the records kept from the first pass; every pass
// must give what reading the file again would give.
TEST_F(DriverFileTest, RepeatedPassesGiveTheDriversOfTheFirst) {
    // A record of zeros ends the data: the record after it is never read.
    const std::string after = Records({{0, 0}, {9, 90}});
    WriteBytes(name, Records({{1, 10}, {-4, 40}, {6, 60}}) + after.substr(after.find("0 0")));
    fileio::DriverReader reader(name);
    driverarray drv = Drivers;
    std::vector<double> first;
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        reader.Restart();
        std::vector<double> seen;
        for (double t : {1.0, 2.0, 3.5, 4.0, 6.0, 9.0, 30.0}) {
            reader.GetDrivers(drv, t, ModelDef.NumDrivers, StopTime);
            seen.push_back(drv[1].Value);
            EXPECT_EQ(drv[18].Value, 2 * drv[1].Value);
        }
        if (pass == 0) first = seen;
        EXPECT_EQ(seen, first);
    }
    EXPECT_EQ(first, (std::vector<double>{10, 20, 35, 40, 60, 60, 60}));
    // A pass that stopped half-way kept nothing for the next: that one reads the file.
    fileio::DriverReader partial(name);
    partial.GetDrivers(drv, 1, ModelDef.NumDrivers, StopTime);
    WriteBytes(name, Records({{1, 11}, {6, 61}}));
    partial.Restart();
    partial.GetDrivers(drv, 6, ModelDef.NumDrivers, StopTime);
    EXPECT_EQ(drv[1].Value, 61);
}

TEST_F(DriverFileTest, WritesTheDocumentedLayoutAndReadsItBack) {
    for (int i = 1; i <= ModelDef.NumDrivers; ++i) Drivers[i].Value = i;
    Drivers[2].Value = -0.25;
    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, true);
    EXPECT_TRUE(WriteDriverRecord(1, ModelDef.NumDrivers, Drivers));
    EXPECT_TRUE(WriteDriverRecord(-2.5, ModelDef.NumDrivers, Drivers));
    CloseDriverFile();
    const std::vector<std::string> lines = Lines(ReadBytes(name));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 52), "Time" + Blanks(22) + "CO2, Atm" + Blanks(18));
    EXPECT_EQ(lines[0].substr(26 * 11, 26), "Driver: Heartwood Litter  ");  // 26 characters cut to 25
    EXPECT_EQ(lines[1].substr(0, 52), "days" + Blanks(22) + "ppm" + Blanks(23));
    EXPECT_EQ(lines[2].substr(0, 78), "1.000000000000E+000" + Blanks(7) + "1.000000000000E+000" + Blanks(7) +
                                          "-2.500000000000E-001" + Blanks(6));
    EXPECT_EQ(lines[3].substr(0, 26), "-2.500000000000E+000" + Blanks(6));
    for (const std::string& line : lines) EXPECT_EQ(line.size(), 26u * 19);

    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, false);
    driverarray record = Drivers;
    double time = 0;
    ASSERT_TRUE(ReadDriverRecord(time, ModelDef.NumDrivers, record));
    EXPECT_EQ(record[2].Value, -0.25);
    ASSERT_TRUE(ReadDriverRecord(time, ModelDef.NumDrivers, record));
    EXPECT_EQ(time, -2.5);
    EXPECT_FALSE(ReadDriverRecord(time, ModelDef.NumDrivers, record));
    EXPECT_EQ(time, -2.5);
}

TEST_F(DriverFileTest, InterpolationFaultsAreReportedLikeTheEquations) {
    // 1E308 towards -1E308: the difference is beyond the largest double.
    Open(TwoRecords("1 1E308", "-3 -1E308"));
    EXPECT_EQ(MessageOf<EOverflow>([&] { GetDrivers(Drivers, 2); }), "Floating point overflow");
}

// The words the output file writes for values that are not finite are no
// numbers in a driver file: they would only surface later as a fault of the
// model. The fuzz target expects exactly that refusal.
TEST_F(DriverFileTest, NanAndInfinityAreRefusedNamingTheLineAndTheValue) {
    // The input that once escaped the fuzz target's expectations, as an
    // invalid operation while interpolating from nan towards infinity.
    WriteBytes(name, TwoRecords("1 nan", "-5 infinity"));
    EXPECT_EQ(fuzz::ExerciseDriverFile(name, 20, true),
              (std::vector<std::string>{"Invalid numeric input", "Invalid numeric input"}));
    // The faults of interpolating are the others it expects.
    WriteBytes(name, TwoRecords("0.75 1E308", "-3 -1E308"));
    EXPECT_EQ(fuzz::ExerciseDriverFile(name, 20, false), std::vector<std::string>{"Floating point overflow"});
    WriteBytes(name, TwoRecords("1 1E308", "-3 -1E308"));  // the first lookup after 1: (-INF) x 0
    EXPECT_EQ(fuzz::ExerciseDriverFile(name, 20, false), std::vector<std::string>{"Invalid floating point operation"});

    for (const char* word : {"nan", "NAN", "inf", "-INF", "infinity", "+Infinity"}) {
        Open(TwoRecords("1 0", std::string("2 0 0 ") + word));
        try {
            GetDrivers(Drivers, 3);
            ADD_FAILURE() << word << " read as a number";
        } catch (const fileio::EInvalidNumber& e) {
            EXPECT_STREQ(e.what(), "Invalid numeric input");
            EXPECT_EQ(e.Line, 4);
            EXPECT_EQ(e.Field, "value 4 of 19");
        }
    }
}

TEST_F(DriverFileTest, FailuresCarryTheirMessages) {
    OpenDriverFile(folder.File("absent.drr"), ModelDef.NumDrivers, Drivers, false);
    EXPECT_EQ(notifier.shown, std::vector<std::string>{"error/ok: Cannot read driver file. File does not exist."});
    double time = 0;
    EXPECT_FALSE(ReadDriverRecord(time, ModelDef.NumDrivers, Drivers));
    EXPECT_EQ(MessageOf<EInOutError>([&] { GetDrivers(Drivers, 1); }), "File not found");

    Open(Records({{1, 10}}) + "5 abc\r\n");
    EXPECT_EQ(MessageOf<EInOutError>([&] { GetDrivers(Drivers, 1); }), "Invalid numeric input");
    EXPECT_EQ(MessageOf<EInOutError>([&] { OpenDriverFile(folder.File("gone/x.drr"), 18, Drivers, true); }),
              "Invalid filename");
}

TEST_F(DriverFileTest, ReadersOfTwoFilesKeepTheirOwnPlace) {
    // The default reader (the parameter editor's) and a reader of another
    // file (a run's) looked up in turn.
    Open(Records({{1, 10}, {5, 50}}));
    const std::string other = folder.File("other.drr");
    WriteBytes(other, Records({{1, 7}, {3, 9}}));
    fileio::DriverReader run(other);
    driverarray runDrivers = Drivers;
    EXPECT_EQ(At(2), 10);
    run.GetDrivers(runDrivers, 4, ModelDef.NumDrivers, StopTime);
    EXPECT_EQ(runDrivers[1].Value, 9);
    EXPECT_EQ(At(5), 50);
    EXPECT_EQ(PrevDriverTime, 5);
    run.Restart();
    run.GetDrivers(runDrivers, 1, ModelDef.NumDrivers, StopTime);
    EXPECT_EQ(runDrivers[1].Value, 7);
}

TEST_F(DriverFileTest, AFileStillBeingWrittenHoldsWholeLinesOnly) {
    // Lines of 496 characters do not divide the writer's buffer of 1 MiB:
    // the first lines to reach the file must still end whole.
    OpenDriverFile(name, ModelDef.NumDrivers, Drivers, true);
    for (int i = 1; i <= 3000; ++i) WriteDriverRecord(i, ModelDef.NumDrivers, Drivers);
    const std::string stored = ReadBytes(name);
    ASSERT_GT(stored.size(), 0u);
    EXPECT_EQ(stored.substr(stored.size() - 2), "\r\n");
    CloseDriverFile();
    EXPECT_EQ(Lines(ReadBytes(name)).size(), 3002u);
}

}  // namespace
