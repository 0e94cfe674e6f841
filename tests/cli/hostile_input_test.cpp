// modelbatch given hostile files and command lines: each is answered with a
// result or a clear error, in bounded time and memory, never a crash or a
// hang. The files here are small versions (a few megabytes) of the large ones
// measured by hand. The runs use the simple test model, whose results are
// known in closed form.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "cli/model_batch.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

constexpr std::size_t Megabytes = 3 * 1024 * 1024;
const std::string ParamHeader = "Ostrel                    6.4.2                    \r\n";
const std::string NotCompatible =
    "The parameter file selected is not compatible with this model. No parameters read.";

// `unit` repeated to `size` characters.
std::string Repeated(const std::string& unit, std::size_t size) {
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) text += unit;
    return text;
}

class HostileInputTest : public ::testing::Test {
protected:
    // modelbatch on the test model.
    static BatchResult Batch(std::vector<std::string> args) { return ::Batch(std::move(args), &TestModel); }

    void SetUp() override {
        WriteDrivers(drivers, {"0 1"});
        WriteTestModelParams(paramFile);
        // As in a program just started: the driver reader holds no values yet.
        for (int i = 1; i <= MaxDrivers; ++i) Drivers[i].Value = PrevDrivers[i].Value = NextDrivers[i].Value = 0.0;
    }

    // Runs from 0 to 4 with the given files; checks the exit status and stderr.
    void ExpectRun(const std::string& par, const std::string& drv, int status, const std::string& err) {
        const BatchResult result = Batch({"-q", "--start", "0", "--stop", "4", par, drv, output});
        EXPECT_EQ(result.status, status) << err;
        EXPECT_EQ(result.err, err.empty() ? "" : "modelbatch: " + err + "\n");
    }

    TempFolder dir;
    std::string paramFile = dir / "p.par", drivers = dir / "d.drr", output = dir / "o.out";
};

TEST_F(HostileInputTest, FilesWithoutLineEndsOrWithOnlyLineEndsAndNulBytes) {
    const std::string letters = dir / "letters", digits = dir / "digits", blanksAndDigits = dir / "numbers",
                      crs = dir / "crs", nuls = dir / "nuls", valueLine = dir / "value-line.par",
                      nulValues = dir / "nul-values.par", titlesThenNumbers = dir / "titles-numbers.drr",
                      titlesThenNuls = dir / "titles-nuls.drr";
    WriteBytes(letters, std::string(Megabytes, 'a'));
    WriteBytes(digits, std::string(Megabytes, '7'));
    WriteBytes(crs, std::string(Megabytes, '\r'));
    WriteBytes(nuls, std::string(Megabytes, '\0'));
    WriteBytes(valueLine, ParamHeader + std::string(25, ' ') + std::string(Megabytes, 'x'));
    WriteBytes(nulValues, ParamHeader + std::string(Megabytes, '\0'));
    // One line of ones.
    WriteBytes(titlesThenNumbers, "t\r\nu\r\n" + Repeated("1 ", Megabytes));
    WriteBytes(titlesThenNuls, "t\r\nu\r\n" + std::string(Megabytes, '\0'));

    // Parameter files: a header line of megabytes names no model; a value
    // position of megabytes holds no number.
    for (const std::string& par : {letters, digits, crs, nuls})
        ExpectRun(par, drivers, ExitFailure, "parameter file '" + par + "': " + NotCompatible);
    for (const std::string& par : {valueLine, nulValues})
        ExpectRun(par, drivers, ExitFailure, "parameter file '" + par + "' line 2, state 'Cf': Invalid numeric input");

    // Driver files: two title lines take everything there is, and no record
    // is left (the drivers stay 0); a record of megabytes of text is no number.
    for (const std::string& drv : {letters, digits, crs, nuls}) {
        ExpectRun(paramFile, drv, 0, "");
        EXPECT_EQ(ReadColumn(output, DriverColumn).values, (std::vector<double>{0, 0, 0, 0})) << drv;
    }
    // A line of numbers that is no record of the model is refused, in bounded memory.
    ExpectRun(paramFile, titlesThenNumbers, ExitFailure,
              "driver file '" + titlesThenNumbers + "': every record line holds " + std::to_string(Megabytes / 2) +
                  " values where a record has 19 (time and 18 drivers)");
    ExpectRun(paramFile, titlesThenNuls, ExitFailure, "driver file '" + titlesThenNuls + "' line 3, value 1 of 19: Invalid numeric input");

    // An output file of megabytes without a line end is replaced whole.
    WriteBytes(output, std::string(Megabytes, 'o'));
    ExpectRun(paramFile, drivers, 0, "");
    EXPECT_EQ(ReadBytes(output).size(), (2u + 4u) * (208u * 26u + 2u));
    EXPECT_EQ(ReadColumn(output, StateColumn(1)).values, (std::vector<double>{1, 2, 3, 4}));
}

TEST_F(HostileInputTest, NumbersOfAMillionDigitsAndAMillionNumbersOnOneLine) {
    const std::string million(1'000'000, '1');
    const std::string tooLarge = dir / "too-large.par", fraction = dir / "fraction.par", longDrivers = dir / "long.drr";
    // A value of a million digits is too large for a double; one of a million
    // digits after the point is read, to the nearest double.
    std::string par = ReadBytes(paramFile);
    const std::size_t value = ParamHeader.size() + 25;  // state 1's value
    WriteBytes(tooLarge, par.substr(0, value) + million + par.substr(value + 23));
    WriteBytes(fraction, par.substr(0, value) + "0." + million + par.substr(value + 23));
    ExpectRun(tooLarge, drivers, ExitFailure, "parameter file '" + tooLarge + "' line 2, state 'Cf': Invalid numeric input");
    ExpectRun(fraction, drivers, 0, "");
    EXPECT_NEAR(ReadColumn(output, StateColumn(1)).values.front(), 1.0 + 1.0 / 9.0, 1e-12);  // 13 digits in the file

    // A driver value of a million digits, then a record line with a million
    // numbers more than the model has drivers: they are passed over.
    std::string extra;
    for (int i = 0; i < 1'000'000; ++i) extra += " 9";
    WriteDrivers(longDrivers, {"0 2." + std::string(1'000'000, '0') + extra, "2 3"});
    ExpectRun(paramFile, longDrivers, 0, "");
    // The record of time t shows the drivers of the step that ended there.
    EXPECT_EQ(ReadColumn(output, DriverColumn).values, (std::vector<double>{2, 2, 3, 3}));
}

TEST_F(HostileInputTest, DriverTimesThatDecreaseAreTakenInFileOrder) {
    // A record earlier than the one before it takes effect as soon as it is
    // read: the record of time 3 replaces that of time 5 at time 5, and holds
    // until the record of time 6.
    WriteDrivers(drivers, {"0 1", "5 2", "3 3", "6 4", "1 5"});
    const BatchResult result = Batch({"-q", "--start", "0", "--stop", "9", paramFile, drivers, output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    // Records at 1..9 show the drivers at 0..8; the record of time 1 after
    // that of time 6 is read at time 6 and takes over at once.
    EXPECT_EQ(ReadColumn(output, DriverColumn).values, (std::vector<double>{1, 1, 1, 1, 1, 3, 5, 5, 5}));
}

TEST_F(HostileInputTest, TimesAndPeriodsThatNoRunCanUse) {
    struct Case {
        std::vector<std::string> options;
        std::string err;
    };
    const Case cases[] = {
        {{"--step", "-1"}, "--step -1: the time step must be greater than 0"},
        {{"--start", "-3", "--stop", "-5"}, "--stop -5: the stop time is before the start time -3"},
        {{"--step", "1e-300"}, "--step 1e-300: the time step is too small to advance the time from 2"},
        {{"--start", "1e16", "--stop", "10000000000000004"},
         "--step 1: the time step is too small to advance the time from 1e+16"},
        {{"--start", "0", "--stop", "1e15", "--step", "0.1"},
         "--step 0.1: the run from 0 to 1e+15 would take more than 9007199254740992 steps"},
        {{"--reset-states", "00", "--reset", "Cf"}, "--reset-states 00: must be a whole number greater than 0"},
        {{"--steady-state", "1", "--ss-time", "00"}, "--ss-time 00: must be a whole number greater than 0"},
        {{"--repeat-drivers", "-0"}, "--repeat-drivers -0: must be a whole number greater than 0"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {paramFile, drivers, output});
        const BatchResult result = Batch(args);
        EXPECT_EQ(result.status, ExitUsage) << c.err;
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        EXPECT_FALSE(std::filesystem::exists(output)) << c.err;
    }

    // Negative times are times like any other: the records start with the run.
    const BatchResult negative = Batch({"-q", "--start", "-10", "--stop", "-6", paramFile, drivers, output});
    EXPECT_EQ(negative.status, 0);
    EXPECT_EQ(ReadColumn(output, 0).times, (std::vector<double>{-9, -8, -7, -6}));
}

TEST_F(HostileInputTest, OutputOrSavedParametersNeverWriteOverTheInputs) {
    const std::string parBytes = ReadBytes(paramFile), driverBytes = ReadBytes(drivers);
    const std::string sameDrivers = dir / "./d.drr";  // another name of the driver file
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{paramFile, drivers, sameDrivers},
         "output file '" + sameDrivers + "' is the driver file '" + drivers + "': the run would write over it"},
        {{paramFile, drivers, paramFile},
         "output file '" + paramFile + "' is the parameter file '" + paramFile + "': the run would write over it"},
        {{"--save-params", sameDrivers, paramFile, drivers, output},
         "--save-params '" + sameDrivers + "' is the driver file '" + drivers + "': the save would write over it"},
    };
    for (const Case& c : cases) {
        const BatchResult result = Batch(c.args);
        EXPECT_EQ(result.status, ExitUsage) << c.err;
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
    }
    EXPECT_EQ(ReadBytes(paramFile), parBytes);
    EXPECT_EQ(ReadBytes(drivers), driverBytes);

    WriteBytes(output, "an earlier output");
    const BatchResult saveOverOutput = Batch({"--save-params", output, paramFile, drivers, output});
    EXPECT_EQ(saveOverOutput.err, "modelbatch: --save-params '" + output + "' is the output file '" + output +
                                      "': the save would write over it\n");
    EXPECT_EQ(ReadBytes(output), "an earlier output");
    // Saving the end states into the parameter file read is what --save-params is for.
    EXPECT_EQ(Batch({"-q", "--save-params", paramFile, paramFile, drivers, output}).status, 0);
    EXPECT_NE(ReadBytes(paramFile), parBytes);
}

TEST_F(HostileInputTest, EndlessDevicesAndPipesNeverLeaveTheProgramWaitingForGood) {
    // A header line that names no model is refused without reading it to its end.
    ExpectRun("/dev/zero", drivers, ExitFailure, "parameter file '/dev/zero': " + NotCompatible);
    // The drivers are read again from their start at every run, which a pipe
    // cannot be; a device has no end. Refused at once rather than after
    // waiting for a writer or reading for ever.
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& drv : {pipe, std::string("/dev/zero")})
        ExpectRun(paramFile, drv, ExitFailure, "driver file '" + drv + "': I/O error 29");

    // An output pipe that no one reads waits for a reader; the first Ctrl+C is
    // kept for the end of the step in progress, the second ends the program.
    const pid_t child = ::fork();
    if (child == 0) {
        Batch({"-q", paramFile, drivers, pipe});
        ::_exit(0);
    }
    const auto handlesInterrupts = [child] {
        std::ifstream status("/proc/" + std::to_string(child) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) & (1u << (SIGINT - 1))) != 0;
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!handlesInterrupts() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(child, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int status = 0;
    pid_t ended = ::waitpid(child, &status, WNOHANG);
    EXPECT_EQ(ended, 0) << "the first Ctrl+C ended the program";
    if (ended == 0) ::kill(child, SIGINT);
    while (ended == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ended = ::waitpid(child, &status, WNOHANG);
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the second Ctrl+C did not end the program";
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
}

}  // namespace
