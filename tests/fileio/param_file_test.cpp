#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <string>

#include "fileio/fileio.h"
#include "fileio/text_reader.h"
#include "model/equations.h"
#include "tests/fileio/file_test_support.h"

namespace {
using namespace fileio_test;

const std::string Incompatible =
    "error/ok: The parameter file selected is not compatible with this model. No parameters read.";

class ParamFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        states = States;
        params = Params;
        for (int i = 1; i <= MaxStates; ++i) states[i].Value = 0;
        for (int i = 1; i <= MaxParams; ++i) params[i].Value = 0;
    }
    bool Read(const std::string& file) {
        return ReadParamFile(file, ModelDef.NumParams, params, ModelDef.NumStates, states);
    }
    void Write(const std::string& file) {
        WriteParamFile(file, ModelDef.NumParams, params, ModelDef.NumStates, states);
    }
    // A header, then `count` data lines whose values are their line numbers.
    static std::string Numbered(const std::string& header, int count, const char* eol = "\r\n") {
        std::string text = header + eol;
        for (int i = 1; i <= count; ++i) text += "name" + Blanks(21) + std::to_string(i) + "  units" + eol;
        return text;
    }

    TempFolder folder;
    const std::string name = folder.File("stand.par");
    RecordingNotifier notifier;
    statearray states;
    paramarray params;
};

TEST_F(ParamFileTest, WritesTheDocumentedLayout) {
    states[1].Value = 1.5;
    states[2].Value = -0.25;
    states[3].Name = "A state variable whose name is long";
    params[1].Value = 1.0 / 500;
    ParamsModified = true;
    Write(name);
    EXPECT_FALSE(ParamsModified);
    const std::vector<std::string> lines = Lines(ReadBytes(name));
    ASSERT_EQ(lines.size(), 1u + 55 + 114);
    EXPECT_EQ(lines[0], "Ostrel" + Blanks(20) + "6.4.2" + Blanks(20));
    EXPECT_EQ(lines[1], "C: foliar" + Blanks(16) + " 1.50000000000000E+0000 " + "g C m-2 ground" + Blanks(11));
    EXPECT_EQ(lines[2].substr(25, 24), "-2.50000000000000E-0001 ");
    EXPECT_EQ(lines[3].substr(0, 49), "A state variable whose na 0.00000000000000E+0000 ");
    EXPECT_EQ(lines[56], "latitude" + Blanks(17) + " 2.00000000000000E-0003 " + "degrees" + Blanks(18));
    EXPECT_EQ(lines[58].substr(49), "mmH2O m2 gnd m-2 leaf day");  // units of 27 characters cut to 25
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 74u) << i;
    EXPECT_EQ(ReadBytes(name).back(), '\n');
}

TEST_F(ParamFileTest, RoundTripKeeps15SignificantDigits) {
    double v = 0.123456789012345678;
    for (int i = 1; i <= ModelDef.NumStates; ++i, v *= -7.31) states[i].Value = v;
    for (int i = 1; i <= ModelDef.NumParams; ++i, v /= 3.7) params[i].Value = v;
    const statearray writtenStates = states;
    const paramarray writtenParams = params;
    Write(name);
    SetUp();
    ParamsModified = true;
    ASSERT_TRUE(Read(name));
    EXPECT_FALSE(ParamsModified);
    // 15 significant digits: within half a unit of the 15th digit.
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 5e-15 * std::fabs(b); };
    for (int i = 1; i <= 55; ++i) EXPECT_TRUE(near(states[i].Value, writtenStates[i].Value)) << i;
    for (int i = 1; i <= 114; ++i) EXPECT_TRUE(near(params[i].Value, writtenParams[i].Value)) << i;
}

TEST_F(ParamFileTest, ModelTestIgnoresCaseAndBlanksOfTheFirst26Characters) {
    for (const std::string& header : {"OSTREL" + Blanks(20) + "6.4.2   trailing", " o st r E l" + Blanks(15) + "6.4.2"}) {
        WriteBytes(name, Numbered(header, 169));
        EXPECT_TRUE(Read(name)) << header;
        EXPECT_EQ(params[114].Value, 169);
    }
    EXPECT_TRUE(notifier.shown.empty());
}

TEST_F(ParamFileTest, OtherVersionsAndModelsAreRefusedLeavingTheValues) {
    states[1].Value = 42;
    for (const std::string& header : {"Ostrel" + Blanks(20) + "6.4.1", "Ostrel" + Blanks(20) + "6.4.2x",
                                      std::string("Ostrel"), "Birch" + Blanks(21) + "6.4.2",
                                      "Ostrel" + Blanks(19) + "6.4.2"}) {  // version from character 26
        WriteBytes(name, Numbered(header, 169));
        EXPECT_FALSE(Read(name)) << header;
    }
    EXPECT_EQ(states[1].Value, 42);
    EXPECT_EQ(notifier.shown, std::vector<std::string>(5, Incompatible));
}

TEST_F(ParamFileTest, LfOnlyAndLoneCrFilesRead) {
    for (const char* eol : {"\n", "\r"}) {
        SetUp();
        WriteBytes(name, Numbered("Ostrel" + Blanks(20) + "6.4.2", 169, eol));
        ASSERT_TRUE(Read(name));
        EXPECT_EQ(states[55].Value, 55);
        EXPECT_EQ(params[114].Value, 169);
    }
}

TEST_F(ParamFileTest, ValuesAreTakenByPositionAfterThe25CharacterNameField) {
    std::string text = "Ostrel                    6.4.2\r\n";
    text += "renamed by hand, 25 long  7  anything else 99\r\n";
    text += "   8 in the name field      9\r\n";  // 8 is swallowed by the name field
    text += "no value on this line\r\n";         // the value comes from the next line,
    text += "                      10 11\r\n";   // whose rest is skipped
    text += "next                       12\r\n";
    WriteBytes(name, text);
    for (int i = 1; i <= ModelDef.NumParams; ++i) params[i].Value = 5;
    ASSERT_TRUE(Read(name));
    EXPECT_EQ(states[1].Value, 7);
    EXPECT_EQ(states[2].Value, 9);
    EXPECT_EQ(states[3].Value, 10);
    EXPECT_EQ(states[4].Value, 12);
    EXPECT_EQ(states[5].Value, 0);  // the file ended: every missing value is 0
    EXPECT_EQ(params[114].Value, 0);
}

TEST_F(ParamFileTest, FailuresCarryTheirMessages) {
    WriteBytes(name, Numbered("Ostrel                    6.4.2", 3) + "name" + Blanks(21) + "1,5  units\r\n");
    states[4].Value = 44;
    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(name); }), "Invalid numeric input");
    EXPECT_EQ(states[3].Value, 3);  // read before the failure
    EXPECT_EQ(states[4].Value, 44);

    // The words of values that are not finite are no numbers here: the line
    // and the entry are named.
    for (const char* word : {"nan", "INF", "-inf", "Infinity"}) {
        WriteBytes(name, Numbered("Ostrel                    6.4.2", 57) + "name" + Blanks(21) + word + "  units\r\n");
        try {
            Read(name);
            ADD_FAILURE() << word << " read as a number";
        } catch (const fileio::EInvalidNumber& e) {
            EXPECT_STREQ(e.what(), "Invalid numeric input");
            EXPECT_EQ(e.Line, 59);
            EXPECT_EQ(e.Field, "parameter '" + std::string(params[3].Symbol) + "'");
        }
    }

    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(folder.File("absent.par")); }), "File not found");
    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(folder.File("gone/absent.par")); }), "Invalid filename");
    EXPECT_EQ(MessageOf<EInOutError>([&] { Write(folder.File("gone/new.par")); }), "Invalid filename");
    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(folder.File("")); }), "File access denied");  // a folder
}

TEST_F(ParamFileTest, AFailedSaveLeavesTheOldFileIntactAndThrows) {
    Write(name);
    const std::string before = ReadBytes(name);
    states[1].Value = 2;
    ParamsModified = true;
    {
        // Writes past 4 KiB fail as on a full disk.
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_EQ(MessageOf<EInOutError>([&] { Write(name); }), "Disk full");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
    EXPECT_EQ(ReadBytes(name), before);
    EXPECT_TRUE(ParamsModified);
    EXPECT_EQ(folder.Entries(), 1u);  // no temporary file left behind

    std::filesystem::create_directory(folder.File("folder.par"));
    EXPECT_EQ(MessageOf<EInOutError>([&] { Write(folder.File("folder.par")); }), "File access denied");
    EXPECT_EQ(folder.Entries(), 2u);
}

}  // namespace
