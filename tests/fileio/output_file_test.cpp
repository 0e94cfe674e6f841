#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "fileio/fileio.h"
#include "fileio/output_file.h"
#include "model/equations.h"
#include "tests/fileio/file_test_support.h"

namespace {
using namespace fileio_test;

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        for (int i = 1; i <= MaxDrivers; ++i) Drivers[i].Value = 0;
        states = States;
        processes = Processes;
    }
    void TearDown() override { CloseOutputFile(); }

    void Open(const std::string& file, bool write) {
        OpenOutputFile(file, ModelDef.NumStates, states, ModelDef.NumProcesses, processes, write);
    }
    void Append(double time) { WriteOutputRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, time); }
    bool Next(double& time) {
        return ReadOutputRecord(time, ModelDef.NumDrivers, drivers, ModelDef.NumStates, readStates,
                                ModelDef.NumProcesses, readProcesses);
    }

    TempFolder folder;
    const std::string name = folder.File("run.out");
    statearray states, readStates;
    processarray processes, readProcesses;
    driverarray drivers;
};

TEST_F(OutputFileTest, WritesTheDocumentedLayout) {
    states[1].Name = "A state name longer than 25 characters";
    Drivers[1].Value = 1;
    states[1].Value = -0.25;
    processes[56].Value = 1.0 / 500;
    Open(name, true);
    for (const double t : {2.0, 0.5, 0.00005, 0.0005}) Append(t);
    CloseOutputFile();

    const std::vector<std::string> lines = Lines(ReadBytes(name));
    ASSERT_EQ(lines.size(), 6u);
    for (const std::string& line : lines) EXPECT_EQ(line.size(), 26u * 208);
    EXPECT_EQ(lines[0].substr(0, 52), Blanks(21) + "Time " + Blanks(17) + "CO2, Atm ");
    EXPECT_EQ(lines[0].substr(26 * 19, 26), "A state name longer than  ");
    EXPECT_EQ(lines[0].substr(26 * 74, 26), Blanks(5) + "Temp: air mean daily ");  // process entry 56
    EXPECT_EQ(lines[1].substr(0, 52), Blanks(21) + "days " + Blanks(22) + "ppm ");
    EXPECT_EQ(lines[2].substr(0, 78), Blanks(24) + "2 " + Blanks(6) + "1.000000000000E+000 " + Blanks(6) +
                                          "0.000000000000E+000 ");
    EXPECT_EQ(lines[2].substr(26 * 19, 26), Blanks(5) + "-2.500000000000E-001 ");
    EXPECT_EQ(lines[2].substr(26 * 74, 26), Blanks(6) + "2.000000000000E-003 ");
    EXPECT_EQ(lines[3].substr(0, 26), Blanks(22) + "0.5 ");
    EXPECT_EQ(lines[4].substr(0, 26), Blanks(21) + "5E-5 ");
    EXPECT_EQ(lines[5].substr(0, 26), Blanks(19) + "0.0005 ");

    Open(name, true);  // a run without records: the two title lines only
    CloseOutputFile();
    EXPECT_EQ(ReadBytes(name).size(), 2 * (26u * 208 + 2));
}

TEST_F(OutputFileTest, ReadingBackKeeps13DigitsAndExactTimes) {
    double v = 0.123456789012345678;
    for (int i = 1; i <= ModelDef.NumDrivers; ++i, v *= -3.3) Drivers[i].Value = v;
    for (int i = 1; i <= ModelDef.NumStates; ++i, v /= 1.7) states[i].Value = v;
    for (int i = 1; i <= ModelDef.NumProcesses; ++i, v *= -1.9) processes[i].Value = v;
    const std::vector<double> times{0, 1.5, 123456789.012345, 0.00012345678901234, 1.23456789012345e-9, 1e20};
    Open(name, true);
    for (const double t : times) Append(t);
    CloseOutputFile();

    Open(name, false);
    for (const double t : times) {
        double time = -1;
        ASSERT_TRUE(Next(time));
        EXPECT_EQ(time, t);
        // 13 significant digits: within half a unit of the 13th digit.
        const auto near = [](double a, double b) { return std::fabs(a - b) <= 5e-13 * std::fabs(b); };
        for (int i = 1; i <= ModelDef.NumDrivers; ++i) EXPECT_TRUE(near(drivers[i].Value, Drivers[i].Value)) << i;
        for (int i = 1; i <= ModelDef.NumStates; ++i) EXPECT_TRUE(near(readStates[i].Value, states[i].Value)) << i;
        for (int i = 56; i <= 189; ++i) EXPECT_TRUE(near(readProcesses[i].Value, processes[i].Value)) << i;
        EXPECT_EQ(readProcesses[1].Value, 0);  // derivatives are not in the file
    }
    double time = 0;
    EXPECT_FALSE(Next(time));
}

TEST_F(OutputFileTest, ReadsSplitRecordsExtraNumbersAndAnyLineEnd) {
    std::string record = "7";
    for (int i = 2; i <= 208; ++i) record += (i == 100 ? "\n" : " ") + std::to_string(i);
    std::string text = "titles\nunits\r";
    text += record + " 500 501\r";                      // extra numbers, lone CR
    text += "8" + record.substr(1) + "\n\r\n  \r\n";  // trailing blank lines are no record
    WriteBytes(name, text);
    Open(name, false);
    double time = 0;
    for (const double expected : {7.0, 8.0}) {
        ASSERT_TRUE(Next(time));
        EXPECT_EQ(time, expected);
        EXPECT_EQ(drivers[1].Value, 2);
        EXPECT_EQ(readStates[55].Value, 74);
        EXPECT_EQ(readProcesses[189].Value, 208);
    }
    EXPECT_FALSE(Next(time));
}

// A run that went non-finite writes NAN and INF; its file can still be shown.
TEST_F(OutputFileTest, ValuesThatAreNotFiniteReadBack) {
    states[1].Value = std::nan("");
    states[2].Value = HUGE_VAL;
    processes[ModelDef.NumStates + 1].Value = -HUGE_VAL;
    Open(name, true);
    Append(1);
    CloseOutputFile();
    Open(name, false);
    double time = 0;
    ASSERT_TRUE(Next(time));
    EXPECT_TRUE(std::isnan(readStates[1].Value));
    EXPECT_EQ(readStates[2].Value, HUGE_VAL);
    EXPECT_EQ(readProcesses[ModelDef.NumStates + 1].Value, -HUGE_VAL);
}

TEST_F(OutputFileTest, FailuresCarryTheirMessages) {
    EXPECT_EQ(MessageOf<EInOutError>([&] { Open(folder.File("absent.out"), false); }), "File not found");
    EXPECT_EQ(MessageOf<EInOutError>([&] { Open(folder.File("gone/run.out"), true); }), "Invalid filename");
    WriteBytes(name, "titles\r\nunits\r\n1 2 3 x\r\n");
    Open(name, false);
    double time = 0;
    EXPECT_EQ(MessageOf<EInOutError>([&] { Next(time); }), "Invalid numeric input");

    // A full disk: reported when the records reach the disk, at the latest on closing.
    Open("/dev/full", true);
    Append(1);
    EXPECT_EQ(MessageOf<EInOutError>([&] { CloseOutputFile(); }), "Disk full");
    Open("/dev/full", true);
    EXPECT_EQ(MessageOf<EInOutError>([&] {
                  for (int i = 0; i < 1000; ++i) Append(i);
              }),
              "Disk full");
    EXPECT_EQ(MessageOf<EInOutError>([&] { CloseOutputFile(); }), "no exception");  // reported once
}

TEST_F(OutputFileTest, RecordsWrittenBeforeAFailureAreInTheFileAfterClosing) {
    Open(name, true);
    try {
        Append(1);
        Append(2);
        throw std::runtime_error("the run failed");
    } catch (const std::runtime_error&) {
        CloseOutputFile();
    }
    Open(name, false);
    double time = 0;
    ASSERT_TRUE(Next(time));
    ASSERT_TRUE(Next(time));
    EXPECT_EQ(time, 2);
    EXPECT_FALSE(Next(time));
}

TEST_F(OutputFileTest, ReadingAnotherFileLeavesAWriterAlone) {
    // A run writes one file while a display reads another, and a second
    // display the same file; each writes and reads what it would alone.
    const std::string other = folder.File("other.out");
    Open(other, true);
    Append(10);
    Append(20);
    CloseOutputFile();

    fileio::OutputWriter run(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes);
    run.WriteRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, 1);
    fileio::OutputReader second(other);
    Open(other, false);
    double time = 0;
    ASSERT_TRUE(Next(time));
    EXPECT_EQ(time, 10);
    ASSERT_TRUE(second.ReadRecord(time, drivers, ModelDef.NumStates, readStates, ModelDef.NumProcesses, readProcesses));
    EXPECT_EQ(time, 10);
    CloseOutputFile();
    run.WriteRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, 2);
    run.Close();
    EXPECT_EQ(run.RecordsStored(), 2);

    Open(name, false);
    for (const double expected : {1.0, 2.0}) {
        ASSERT_TRUE(Next(time));
        EXPECT_EQ(time, expected);
    }
    EXPECT_FALSE(Next(time));
}

TEST_F(OutputFileTest, AWriterLeftOpenStoresItsRecordsOrSaysItCouldNot) {
    {
        fileio::OutputWriter left(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes);
        left.WriteRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, 7);
    }
    Open(name, false);
    double time = 0;
    ASSERT_TRUE(Next(time));
    EXPECT_EQ(time, 7);
    CloseOutputFile();

    RecordingNotifier notifier;
    {
        fileio::OutputWriter full("/dev/full", ModelDef.NumStates, states, ModelDef.NumProcesses, processes);
    }
    EXPECT_EQ(notifier.shown,
              std::vector<std::string>{"error/ok: The end of file '/dev/full' could not be stored: Disk full"});
}

TEST_F(OutputFileTest, ALastRecordCutShortIsLeftOutSayingWhereAndACutElsewhereIsRefused) {
    // Values of one width, whatever earlier tests left in the tables.
    for (int i = 1; i <= MaxProcesses; ++i) processes[i].Value = 0;
    for (int i = 1; i <= MaxStates; ++i) states[i].Value = 0;
    processes[ModelDef.NumProcesses].Value = 1.25;  // the last column: "1.250000000000E+000"
    Open(name, true);
    states[1].Value = 5;
    Append(1);
    states[1].Value = 6;
    Append(2);
    CloseOutputFile();
    const std::string whole = ReadBytes(name);
    const std::size_t lastLine = whole.rfind("\r\n", whole.size() - 3) + 2;
    const std::size_t lastField = whole.size() - 2 - 26;
    // Cut within the last record's values, right after its time, and inside
    // its last number.
    for (const std::size_t cut : {whole.size() - 100, lastLine + 26, lastField + 4, lastField + 17, whole.size() - 4}) {
        SCOPED_TRACE(cut);
        WriteBytes(name, whole.substr(0, cut));
        RecordingNotifier notifier;
        fileio::OutputReader reader(name);
        double time = 0;
        ASSERT_TRUE(
            reader.ReadRecord(time, drivers, ModelDef.NumStates, readStates, ModelDef.NumProcesses, readProcesses));
        EXPECT_EQ(readStates[1].Value, 5);
        EXPECT_FALSE(
            reader.ReadRecord(time, drivers, ModelDef.NumStates, readStates, ModelDef.NumProcesses, readProcesses));
        EXPECT_EQ(time, 1);  // the record before stays read
        EXPECT_EQ(readStates[1].Value, 5);
        EXPECT_EQ(reader.CutAt(), static_cast<std::int64_t>(cut));
        EXPECT_EQ(notifier.shown,
                  std::vector<std::string>{"other: the last record of '" + name + "', cut short at byte " +
                                           std::to_string(cut) + ", was left out"});
    }
    // A record whose numbers are all there, only its line end lost, is whole.
    WriteBytes(name, whole.substr(0, whole.size() - 2));
    {
        RecordingNotifier notifier;
        Open(name, false);
        double time = 0;
        EXPECT_TRUE(Next(time) && Next(time));
        EXPECT_EQ(readStates[1].Value, 6);
        EXPECT_FALSE(Next(time));
        EXPECT_TRUE(notifier.shown.empty());
        CloseOutputFile();
    }
    // A number broken before the last record is no cut at the end.
    std::string broken = whole;
    broken.replace(lastLine - 30, 3, "1E+");
    WriteBytes(name, broken);
    Open(name, false);
    double time = 0;
    EXPECT_EQ(MessageOf<EInOutError>([&] { Next(time); }), "Invalid numeric input");
    CloseOutputFile();
}

TEST_F(OutputFileTest, AFileStillBeingWrittenHoldsWholeRecordsOnly) {
    // Records of 5410 characters overflow the writer's buffer of 1 MiB after
    // 193 of them: what reaches the file ends with a whole line.
    fileio::OutputWriter writer(name, ModelDef.NumStates, states, ModelDef.NumProcesses, processes);
    for (int i = 1; i <= 400; ++i) writer.WriteRecord(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, i);
    const std::string stored = ReadBytes(name);
    ASSERT_GT(stored.size(), 0u);
    EXPECT_EQ(stored.substr(stored.size() - 2), "\r\n");
    EXPECT_EQ(stored.size() % (26 * 208 + 2), 0u);

    Open(name, false);
    double time = 0;
    int records = 0;
    while (Next(time)) ++records;
    EXPECT_EQ(records, static_cast<int>(stored.size() / (26 * 208 + 2)) - 2);
    EXPECT_EQ(time, records);
    writer.Close();
}

}  // namespace
