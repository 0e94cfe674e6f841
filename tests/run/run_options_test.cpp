#include "run/run_options.h"

#include <gtest/gtest.h>

#include "run/session.h"

namespace {

TEST(FieldText, WholeNumbersAndNumbers) {
    EXPECT_EQ(TextToInt(" 365 "), 365);
    EXPECT_EQ(TextToInt("+5"), 5);
    EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
    for (const char* text : {"", "1.5", "1e3", "+-5", "2147483648", "12a", "0x10"}) {
        try {
            TextToInt(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
    EXPECT_EQ(TextToFloat("0.5"), 0.5);
    EXPECT_EQ(TextToFloat(" -.5e1"), -5.0);
    EXPECT_EQ(TextToFloat("5."), 5.0);
    EXPECT_EQ(TextToFloat("1e-400"), 0.0);  // below the smallest double: 0
    for (const char* text : {"1,5", "1e400", "nan", "inf", ".", "1e", "--1", "1 2"}) {
        try {
            TextToFloat(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid floating point value");
        }
    }
}

class OptionEntry : public ::testing::Test {
protected:
    void SetUp() override {
        StartTime = 1;
        StopTime = 100;
        TimeStep = 1;
        options = StartRunOptions();
    }
    TRunOptions options;
};

TEST_F(OptionEntry, OutputIntervalIsCheckedAndCorrected) {
    struct Case {
        double step;
        const char* text;
        std::string warning;
        double interval;
    };
    const std::string invalid = "Invalid output time step. ";
    const Case cases[] = {
        {1, "0", invalid + EOutputStepTooSmall().what(), 1},
        {1, "500", invalid + EOutputStepTooLarge().what(), 99},
        {2, "3", invalid + EOutputStepNotMultiple().what(), 2},
        // The field takes whole numbers only: the interval keeps its value.
        {0.5, "0.5", "Invalid output time step. '0.5' is not a valid integer value", 0.5},
        {1, "7", "", 7},
        {1, "", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TimeStep = c.step;
        options = StartRunOptions();
        EXPECT_EQ(EnterOutputTimeStep(options, c.text), c.warning);
        EXPECT_EQ(options.OutputTimeStep, c.interval);
    }
    // Within 0.001 of a multiple is a multiple; 0.005 away is not.
    TimeStep = 0.3;
    double interval = 0.6003;
    EXPECT_NO_THROW(CheckOutputStep(interval));
    TimeStep = 1;
    interval = 3.005;
    EXPECT_THROW(CheckOutputStep(interval), EOutputStepNotMultiple);
    EXPECT_EQ(interval, 1);
}

TEST_F(OptionEntry, OffsetBeyondTheStopTimeBecomesTheTimeStep) {
    StopTime = 1000;
    TimeStep = 2;
    EXPECT_EQ(EnterOutputOffset(options, "2000"),
              "Invalid output offset. Output offset is greater than simulation length. Reset output offset to "
              "simulation time step. ");
    EXPECT_EQ(options.OutputOffset, 2);
    EXPECT_EQ(EnterOutputOffset(options, "1000"), "");  // compared with the stop time, not the run length
    EXPECT_EQ(options.OutputOffset, 1000);
    EXPECT_EQ(EnterOutputOffset(options, "x"),
              "Invalid output offset. 'x' is not a valid integer valueReset output offset to simulation time step. ");
    EXPECT_EQ(options.OutputOffset, 2);
}

TEST_F(OptionEntry, PeriodsSwitchTheirOptionOnOrTheRunBackToNormal) {
    options.NormalRun = false;
    EXPECT_EQ(EnterRepeatDriveTime(options, "365"), "");
    EXPECT_TRUE(options.RepeatDrivers);
    EXPECT_EQ(options.RepeatDriveTime, 365);
    EXPECT_EQ(EnterSSCriteria(options, "5"), "");
    EXPECT_TRUE(options.RunToSS);
    EXPECT_EQ(options.SSCriteria, 0.05);
    EXPECT_EQ(EnterResetStateTime(options, "0"), "");  // exactly "0" changes nothing
    EXPECT_FALSE(options.ResetStates);

    struct Case {
        std::string (*enter)(TRunOptions&, std::string_view);
        const char* warning;
    };
    const Case cases[] = {
        {&EnterRepeatDriveTime, "Invalid driver repeat time. Run set to Normal run."},
        {&EnterResetStateTime, "Invalid state variable reset time. Run set to Normal run."},
        {&EnterSSTime, "Invalid steady state time. Run set to Normal run."},
        {&EnterSSCriteria, "Invalid steady state criteria. Run set to Normal run."},
    };
    for (const Case& c : cases) {
        TRunOptions special = options;
        special.ResetStates = true;
        EXPECT_EQ(c.enter(special, "1.5x"), c.warning);
        EXPECT_TRUE(special.NormalRun);
        EXPECT_FALSE(special.RepeatDrivers || special.ResetStates || special.RunToSS);
        EXPECT_EQ(special.RepeatDriveTime, 365);  // the periods keep their values
    }
}

}  // namespace

namespace {

TEST(ProgramTitle, SelectsTheQuietModesInAnyLetterCase) {
    const std::pair<const char*, ProgramMode> cases[] = {
        {"/usr/bin/modelbatch", ProgramMode::Batch},     {"C:\\Ostrel\\ModelBatch.EXE", ProgramMode::Batch},
        {"SENSITIVITY", ProgramMode::Sensitivity},       {"modelbatch2", ProgramMode::Windows},
        {"/opt/modelbatch.d/ostrel", ProgramMode::Windows}, {"model.batch", ProgramMode::Windows},
    };
    for (const auto& [path, mode] : cases) EXPECT_EQ(ModeFromProgramPath(path), mode) << path;
}

}  // namespace
