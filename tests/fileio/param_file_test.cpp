#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cmath>
#include <string>

#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/fileio/file_test_support.h"

namespace {
using namespace fileio_test;

constexpr const char* Incompatible =
    "The parameter file selected is not compatible with this model. No parameters read.";

class ParamFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        states = States;
        params = Params;
        for (int i = 1; i <= ModelDef.NumStates; ++i) states[i].Value = 0;
        for (int i = 1; i <= ModelDef.NumParams; ++i) params[i].Value = 0;
    }
    bool Read(const std::string& name) {
        return ReadParamFile(name, ModelDef.NumParams, params, ModelDef.NumStates, states);
    }
    void Write(const std::string& name) {
        WriteParamFile(name, ModelDef.NumParams, params, ModelDef.NumStates, states);
    }
    // A file of this model: the header, then `states` lines whose value
    // is the line number, then the same for `parameters`.
    static std::string Numbered(const std::string& header, int stateLines, int paramLines, const char* eol) {
        std::string text = header + eol;
        for (int i = 1; i <= stateLines + paramLines; ++i)
            text += "name" + Blanks(21) + std::to_string(i) + "  units" + eol;
        return text;
    }
    static std::string Header(const std::string& version) { return "Ostrel" + Blanks(20) + version; }

    TempFolder folder;
    RecordingNotifier notifier;
    statearray states;
    paramarray params;
};

TEST_F(ParamFileTest, WritesTheDocumentedLayout) {
    states[1].Value = 1.5;
    states[2].Value = -0.25;
    params[1].Value = 1.0 / 500;
    const std::string name = folder.File("layout.par");
    Write(name);
    const std::vector<std::string> lines = Lines(ReadBytes(name));
    ASSERT_EQ(lines.size(), 1u + 55 + 114);
    EXPECT_EQ(lines[0], "Ostrel" + Blanks(19) + " " + "6.4.2" + Blanks(20));
    EXPECT_EQ(lines[1], "C: foliar" + Blanks(16) + " 1.50000000000000E+0000 " + "g C m-2 ground" + Blanks(11));
    EXPECT_EQ(lines[2], "C: sapwood" + Blanks(15) + "-2.50000000000000E-0001 " + "g C m-2 ground" + Blanks(11));
    EXPECT_EQ(lines[3].substr(25, 23), " 0.00000000000000E+0000");
    EXPECT_EQ(lines[56], "latitude" + Blanks(17) + " 2.00000000000000E-0003 " + "degrees" + Blanks(18));
    // Units of parameter 3 have 27 characters: cut after 25.
    EXPECT_EQ(lines[58].substr(49), "mmH2O m2 gnd m-2 leaf day");
    EXPECT_EQ(lines[0].size(), 51u);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 74u) << i;
    const std::string bytes = ReadBytes(name);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(ParamFileTest, LongNamesAreCutAfter25Characters) {
    states[1].Name = "A state variable whose name is long";
    const std::string name = folder.File("long.par");
    Write(name);
    EXPECT_EQ(Lines(ReadBytes(name))[1].substr(0, 26), "A state variable whose na ");
}

TEST_F(ParamFileTest, RoundTripKeeps15SignificantDigits) {
    double v = 0.123456789012345678;
    for (int i = 1; i <= ModelDef.NumStates; ++i, v *= -7.31) states[i].Value = v;
    for (int i = 1; i <= ModelDef.NumParams; ++i, v /= 3.7) params[i].Value = v;
    params[5].Value = 0;
    const statearray written = states;
    const paramarray writtenParams = params;
    const std::string name = folder.File("round.par");
    ParamsModified = true;
    Write(name);
    EXPECT_FALSE(ParamsModified);
    SetUp();
    ParamsModified = true;
    ASSERT_TRUE(Read(name));
    EXPECT_FALSE(ParamsModified);
    for (int i = 1; i <= ModelDef.NumStates; ++i)
        EXPECT_NEAR(states[i].Value, written[i].Value, 5e-15 * std::fabs(written[i].Value)) << "state " << i;
    for (int i = 1; i <= ModelDef.NumParams; ++i)
        EXPECT_NEAR(params[i].Value, writtenParams[i].Value, 5e-15 * std::fabs(writtenParams[i].Value)) << i;
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(ParamFileTest, ModelTestIgnoresCaseAndBlanksInTheFirst26Characters) {
    const std::string name = folder.File("model.par");
    for (const std::string& header : {Header("6.4.2"), "OSTREL" + Blanks(20) + "6.4.2   trailing",
                                     " o st r E l" + Blanks(15) + "6.4.2"}) {
        WriteBytes(name, Numbered(header, 55, 114, "\r\n"));
        EXPECT_TRUE(Read(name)) << header;
        EXPECT_EQ(states[55].Value, 55);
        EXPECT_EQ(params[114].Value, 169);
    }
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(ParamFileTest, RefusesOtherVersionsAndModelsLeavingTheValues) {
    const std::string name = folder.File("other.par");
    states[1].Value = 42;
    params[1].Value = 43;
    for (const std::string& header :
         {Header("6.4.1"), Header("6.4.2x"), Header(""), std::string("Ostrel"), "Birch" + Blanks(21) + "6.4.2",
          "Ostrel" + Blanks(19) + "6.4.2"}) {  // version starting at character 26
        WriteBytes(name, Numbered(header, 55, 114, "\r\n"));
        EXPECT_FALSE(Read(name)) << header;
    }
    EXPECT_EQ(states[1].Value, 42);
    EXPECT_EQ(params[1].Value, 43);
    ASSERT_EQ(notifier.messages.size(), 6u);
    EXPECT_EQ(notifier.messages[0], Incompatible);
    EXPECT_EQ(notifier.kinds[0], MsgKind::Error);
    EXPECT_EQ(notifier.buttons_[0], MsgButtons::Ok);
}

TEST_F(ParamFileTest, ReadsLfOnlyAndLoneCrFiles) {
    const std::string name = folder.File("unix.par");
    for (const char* eol : {"\n", "\r"}) {
        SetUp();
        WriteBytes(name, Numbered(Header("6.4.2"), 55, 114, eol));
        ASSERT_TRUE(Read(name));
        EXPECT_EQ(states[1].Value, 1);
        EXPECT_EQ(states[55].Value, 55);
        EXPECT_EQ(params[1].Value, 56);
        EXPECT_EQ(params[114].Value, 169);
    }
}

TEST_F(ParamFileTest, ValuesAreTakenByPositionAfterThe25CharacterNameField) {
    const std::string name = folder.File("fields.par");
    std::string text = Header("6.4.2") + "\r\n";
    text += "renamed by hand, 25 long  7  anything else 99\r\n";  // name field edited
    text += "   8 in the name field      9\r\n";                  // 8 is swallowed
    text += "no value on this line\r\n";                          // the value comes from the next line,
    text += "                      10 11\r\n";                    // whose rest is skipped
    text += "next                       12\r\n";
    WriteBytes(name, text);
    ASSERT_TRUE(Read(name));
    EXPECT_EQ(states[1].Value, 7);
    EXPECT_EQ(states[2].Value, 9);
    EXPECT_EQ(states[3].Value, 10);
    EXPECT_EQ(states[4].Value, 12);
    EXPECT_EQ(states[5].Value, 0);  // the file ended
}

TEST_F(ParamFileTest, MissingLinesGiveZeroAndExtraLinesAreIgnored) {
    const std::string name = folder.File("short.par");
    for (int i = 1; i <= ModelDef.NumParams; ++i) params[i].Value = 5;
    WriteBytes(name, Numbered(Header("6.4.2"), 55, 0, "\r\n"));
    ASSERT_TRUE(Read(name));
    EXPECT_EQ(states[55].Value, 55);
    for (int i = 1; i <= ModelDef.NumParams; ++i) EXPECT_EQ(params[i].Value, 0) << i;

    WriteBytes(name, Numbered(Header("6.4.2"), 55, 120, "\r\n"));
    ASSERT_TRUE(Read(name));
    EXPECT_EQ(params[114].Value, 169);
}

TEST_F(ParamFileTest, ANonNumberStopsReadingAndKeepsTheValuesBeforeIt) {
    const std::string name = folder.File("bad.par");
    std::string text = Numbered(Header("6.4.2"), 3, 0, "\r\n");
    text += "name" + Blanks(21) + "1,5  units\r\n";
    WriteBytes(name, text);
    states[4].Value = 44;
    states[5].Value = 45;
    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(name); }), "Invalid numeric input");
    EXPECT_EQ(states[3].Value, 3);
    EXPECT_EQ(states[4].Value, 44);
    EXPECT_EQ(states[5].Value, 45);
}

TEST_F(ParamFileTest, OpenFailuresAreThrownWithTheirMessages) {
    states[1].Value = 3;
    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(folder.File("absent.par")); }), "File not found");
    EXPECT_EQ(MessageOf<EInOutError>([&] { Read(folder.File("gone/absent.par")); }), "Invalid filename");
    EXPECT_EQ(MessageOf<EInOutError>([&] { Write(folder.File("gone/new.par")); }), "Invalid filename");
    EXPECT_EQ(states[1].Value, 3);
}

TEST_F(ParamFileTest, HugeHeaderLineIsRefusedInBoundedMemory) {
    const std::string name = folder.File("huge.par");
    WriteBytes(name, "Ostrel" + Blanks(20) + std::string(30'000'000, '6'));
    EXPECT_FALSE(Read(name));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0], Incompatible);
}

// Saving when the disk fills up: the file size limit makes every write past
// 4 KiB fail as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

TEST_F(ParamFileTest, AFailedSaveLeavesTheOldFileIntactAndThrows) {
    const std::string name = folder.File("kept.par");
    states[1].Value = 1;
    Write(name);
    const std::string before = ReadBytes(name);
    states[1].Value = 2;
    ParamsModified = true;
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(MessageOf<EInOutError>([&] { Write(name); }), "Disk full");
    }
    EXPECT_EQ(ReadBytes(name), before);
    EXPECT_TRUE(ParamsModified);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept.par"});  // no temporary left behind

    // A folder in the way of the file: nothing written, nothing left.
    std::filesystem::create_directory(folder.File("folder.par"));
    EXPECT_EQ(MessageOf<EInOutError>([&] { Write(folder.File("folder.par")); }), "File access denied");
    EXPECT_EQ(folder.Names().size(), 2u);
}

TEST_F(ParamFileTest, SavingThroughALinkReplacesTheFileItPointsTo) {
    const std::string target = folder.File("real.par");
    const std::string link = folder.File("link.par");
    Write(target);
    std::filesystem::create_symlink(target, link);
    states[1].Value = 9;
    Write(link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    SetUp();
    ASSERT_TRUE(Read(target));
    EXPECT_EQ(states[1].Value, 9);
}

}  // namespace
