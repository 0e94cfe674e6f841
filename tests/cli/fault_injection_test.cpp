// Whole modelbatch runs of the compiled-in model on the sample forest, with a
// fault injected: a disk that fills up, files that cannot be opened, a driver
// file cut short or holding text, equations and an integrator that fail.
// Every run must end with a message naming the file or the cause, a non-zero
// exit status and the records written before the fault still in the output
// file.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

#include "cli/model_batch.h"
#include "fileio/fileio.h"
#include "model/equations.h"
#include "tests/cli/batch_test_support.h"
#include "tests/run/test_model.h"

namespace {

const std::string Samples = OSTREL_SAMPLES_DIR;

// Length of one output record line: 208 columns of 26 characters and CR LF.
constexpr std::size_t RecordLength = 208 * 26 + 2;
constexpr std::size_t HeaderLength = 2 * RecordLength;

// Exit status of a child that could not set itself up as asked.
constexpr int ChildCannotPrepare = 77;

// Runs modelbatch in a child process after `prepare` has limited it (a file
// size limit, another user). nullopt when `prepare` could not do so.
std::optional<BatchResult> BatchInChild(std::vector<std::string> args, const std::function<bool()>& prepare) {
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (!prepare()) ::_exit(ChildCannotPrepare);
        const BatchResult result = Batch(std::move(args));
        const std::string report = result.err + '\0' + result.out;
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(channel[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(result.status);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == ChildCannotPrepare) return std::nullopt;
    const std::size_t split = report.find('\0');
    const std::string out = split == std::string::npos ? "" : report.substr(split + 1);
    return BatchResult{WEXITSTATUS(status), out, report.substr(0, split)};
}

// Files larger than `bytes` cannot be written: a disk that fills up. The
// signal the system sends then is ignored, so that write() fails with EFBIG.
std::function<bool()> FileSizeLimit(rlim_t bytes) {
    return [bytes] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
}

// Runs as a user without privileges, for whom permission bits count.
bool WithoutPrivileges() {
    if (::geteuid() != 0) return true;
    return ::setgid(65534) == 0 && ::setuid(65534) == 0 && ::geteuid() != 0;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + separator.size())
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

class FaultInjectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        DefineModel();
        ASSERT_TRUE(ReadParamFile(Samples + "/forest.par", ModelDef.NumParams, params_, ModelDef.NumStates, states_));
        const std::vector<std::string> lines = Split(ReadBytes(Samples + "/weather.drr"), "\r\n");
        weatherTitles_ = lines[0] + "\r\n" + lines[1] + "\r\n";
        for (std::size_t i = 2; i < lines.size(); ++i) {
            std::istringstream fields(lines[i]);
            std::vector<std::string> record;
            for (std::string field; fields >> field;) record.push_back(field);
            if (!record.empty()) weather_.push_back(record);
        }
        ASSERT_GE(weather_.size(), 600u);
        ::chmod((dir / "").c_str(), 0755);  // others may pass through, for the runs without privileges
    }

    // The sample forest with some states or parameters changed, by symbol.
    std::string Par(const std::string& name, const std::vector<std::pair<std::string, double>>& changes = {}) {
        statearray states = states_;
        paramarray params = params_;
        for (const auto& [symbol, value] : changes) {
            if (const int i = FindSymbol(1, symbol)) states[i].Value = value;
            else if (const int j = FindSymbol(2, symbol)) params[j].Value = value;
            else ADD_FAILURE() << "no state or parameter " << symbol;
        }
        const std::string file = dir / name;
        WriteParamFile(file, ModelDef.NumParams, params, ModelDef.NumStates, states);
        return file;
    }

    // A field of the driver file replaced: record (from 0), column (0 the
    // time, then the drivers in table order), text.
    struct Edit {
        std::size_t record;
        std::size_t column;
        std::string text;
    };

    // The first `records` records of the sample weather, one a line.
    std::string WeatherText(std::size_t records, const std::vector<Edit>& edits = {}) {
        std::vector<std::vector<std::string>> kept(weather_.begin(), weather_.begin() + static_cast<long>(records));
        for (const Edit& e : edits) kept.at(e.record).at(e.column) = e.text;
        std::string text = weatherTitles_;
        for (const auto& record : kept) {
            for (const std::string& field : record) text += field + ' ';
            text += "\r\n";
        }
        return text;
    }

    std::string Weather(const std::string& name, std::size_t records, const std::vector<Edit>& edits = {}) {
        const std::string file = dir / name;
        std::ofstream(file, std::ios::binary) << WeatherText(records, edits);
        return file;
    }

    // The times of the records in the output file.
    std::vector<double> RecordTimes() { return ReadColumn(output, 0).times; }

    static std::vector<double> Days(int first, int last) {
        std::vector<double> days;
        for (int d = first; d <= last; ++d) days.push_back(d);
        return days;
    }

    TempFolder dir;
    statearray states_;
    paramarray params_;
    std::string weatherTitles_;
    std::vector<std::vector<std::string>> weather_;
    std::string output = dir / "o.out";
};

TEST_F(FaultInjectionTest, DiskFillingUpDuringTheRunStopsItWithTheWholeRecordsBeforeIt) {
    const std::string par = Par("forest.par"), drivers = Weather("weather.drr", 400);
    // The first batch of records to reach the disk does not fit: the run stops
    // there, and the file keeps every record that fitted in whole.
    constexpr std::size_t limit = 600 * 1024;
    const std::size_t fitting = (limit - HeaderLength) / RecordLength;
    const auto result = BatchInChild({"--start", "0", "--stop", "400", par, drivers, output}, FileSizeLimit(limit));
    ASSERT_TRUE(result) << "no file size limit";
    EXPECT_EQ(result->status, ExitFailure);
    EXPECT_EQ(result->err, "modelbatch: output file '" + output + "': Disk full\n");
    const std::string written = ", " + std::to_string(fitting) + " records written to '" + output + "', failed, ";
    EXPECT_NE(result->out.find(written), std::string::npos) << result->out;
    EXPECT_EQ(result->out.find("time reached 400"), std::string::npos) << result->out;

    const std::string text = ReadBytes(output);
    EXPECT_EQ(text.size(), HeaderLength + fitting * RecordLength);
    EXPECT_EQ(RecordTimes(), Days(1, static_cast<int>(fitting)));
}

TEST_F(FaultInjectionTest, FilesThatCannotBeOpenedAreNamedWithTheReason) {
    const std::string par = Par("forest.par"), drivers = Weather("weather.drr", 30);
    const std::string folder = dir / "folder", dangling = dir / "dangling";
    std::filesystem::create_directory(folder);
    std::filesystem::create_symlink(dir / "nowhere", dangling);
    struct Case {
        std::vector<std::string> files;
        std::string err;
    };
    const Case cases[] = {
        {{folder, drivers, output}, "parameter file '" + folder + "': is a folder, not a file"},
        {{dangling, drivers, output}, "parameter file '" + dangling + "': File not found"},
        {{par, folder, output}, "driver file '" + folder + "': is a folder, not a file"},
        {{par, drivers, folder}, "output file '" + folder + "': is a folder, not a file"},
        {{par, drivers, dir / "gone/o.out"},
         "output file '" + dir / "gone/o.out" + "': folder '" + dir / "gone" + "' does not exist"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"-q", "--stop", "10"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const BatchResult result = Batch(args);
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        EXPECT_FALSE(std::filesystem::exists(output)) << c.err;
    }

    // Permission bits, for a user they apply to.
    const std::string unreadable = Par("unreadable.par"), closed = dir / "closed";
    ::chmod(unreadable.c_str(), 0);
    std::filesystem::create_directory(closed);
    ::chmod(closed.c_str(), 0555);
    const auto denied = BatchInChild({"-q", unreadable, drivers, output}, WithoutPrivileges);
    if (!denied) GTEST_SKIP() << "cannot run without privileges";
    EXPECT_EQ(denied->status, ExitFailure);
    EXPECT_EQ(denied->err, "modelbatch: parameter file '" + unreadable + "': File access denied\n");
    const auto unwritable = BatchInChild({"-q", par, drivers, closed + "/o.out"}, WithoutPrivileges);
    ASSERT_TRUE(unwritable);
    EXPECT_EQ(unwritable->status, ExitFailure);
    EXPECT_EQ(unwritable->err, "modelbatch: output file '" + closed + "/o.out': File access denied\n");
}

// The driver file is read through once before the run, so that a long run
// does not end at a record that was never going to be read.
TEST_F(FaultInjectionTest, DriverFileCutShortOrHoldingTextIsRefusedBeforeTheRun) {
    const std::string par = Par("forest.par");
    // Record 500 (time 499), on line 502 after the two title lines.
    const std::string text500 = Weather("text500.drr", 520, {{499, 3, "12,5"}});
    // The copy ends in the middle of the record of time 40, after its fifth value.
    std::string cut = WeatherText(40);
    for (std::size_t column = 0; column <= 5; ++column) cut += weather_[40][column] + ' ';
    const std::string cutShort = dir / "cut.drr";
    std::ofstream(cutShort, std::ios::binary) << cut;

    struct Case {
        std::string drivers;
        std::string err;
    };
    const Case cases[] = {
        {text500, "driver file '" + text500 + "' line 502, value 4 of 19: Invalid numeric input"},
        {cutShort, "driver file '" + cutShort + "': Read beyond end of file"},
    };
    for (const Case& c : cases) {
        const BatchResult result = Batch({"-q", "--start", "0", "--stop", "510", par, c.drivers, output});
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        EXPECT_FALSE(std::filesystem::exists(output)) << c.err;
    }
}

TEST_F(FaultInjectionTest, EquationFaultsEndTheRunWithTheFloatingPointMessage) {
    // Soil temperature 10 until the record of time 6, then 15: the decomposition
    // raises Q10D to Ts / 10, which is whole until then.
    const std::vector<Edit> soilWarmsAt6 = [] {
        std::vector<Edit> edits;
        for (std::size_t r = 0; r < 12; ++r) edits.push_back({r, 4, r < 6 ? "10" : "15"});
        return edits;
    }();
    struct Case {
        std::vector<std::pair<std::string, double>> changes;
        std::vector<Edit> edits;
        std::string err;
        int lastRecord;
    };
    // A fault of the first evaluation points to the starting values.
    const std::string hint = "; the model failed on the starting values: check parameter file '" + dir / "changed.par" +
                             "' (parameters that are 0: ";
    const Case cases[] = {
        {{{"mF", 0}},
         {},
         "run failed at time 0: Floating point division by zero" + hint + "mF, epsilonF, epsilonW, epsilonR)",
         0},
        // Foliar nitrogen over no foliage: 0/0 in the litterfall comes first.
        {{{"Cf", 0}},
         {},
         "run failed at time 0: Invalid floating point operation" + hint + "epsilonF, epsilonW, epsilonR)",
         0},
        {{{"Q10D", -2}}, soilWarmsAt6, "run failed at time 6: Invalid floating point operation", 6},
        // Incident radiation no site has: the driver check names it.
        {{},
         {{6, 6, "1E308"}},
         "run failed at time 6: Floating point overflow; likely at fault: driver file '" + dir / "changed.drr" +
             "': II 1e+308 on line 9: outside the range of real sites, "
             "0 to 50 MJ m-2 day-1",
         6},
    };
    for (const Case& c : cases) {
        const std::string par = Par("changed.par", c.changes), drivers = Weather("changed.drr", 12, c.edits);
        const BatchResult result = Batch({"-q", "--start", "0", "--stop", "12", par, drivers, output});
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        EXPECT_EQ(RecordTimes(), Days(1, c.lastRecord)) << c.err;
    }
}

// Only a fault of the starting values points to them (and to the --set
// values that changed them); one of the integrator's trial values within the
// first step does not, since the starting values came through.
TEST_F(FaultInjectionTest, OnlyFaultsOfTheStartingValuesPointToThem) {
    const std::string par = Par("forest.par"), drivers = Weather("weather.drr", 12);
    const BatchResult start = Batch({"-q", "--start", "0", "--stop", "12", "--set", "mF=0", par, drivers, output});
    EXPECT_EQ(start.err, "modelbatch: run failed at time 0: Floating point division by zero; the model failed on the "
                         "starting values: check parameter file '" + par +
                         "' and the --set values (parameters that are 0: mF, epsilonF, epsilonW, epsilonR)\n");
    // A labile nitrogen pool that a trial value takes below 0, raised to a
    // power that is not whole.
    const BatchResult trial = Batch({"-q", "--start", "0", "--stop", "12", "--set", "h2=0.45", "--set",
                                     "epsilsonUn=2.066666666666667", "--set", "bLN=0.0486", par, drivers, output});
    EXPECT_EQ(trial.status, ExitFailure);
    EXPECT_EQ(trial.err, "modelbatch: run failed at time 0: Invalid floating point operation\n");
}

TEST_F(FaultInjectionTest, IntegratorFailuresThroughWholeRuns) {
    // Groundwater that drains within a fraction of a day makes the equations
    // stiff: at 58000 per day the step that keeps the error down needs more
    // than 10000 steps a day, at 100000 per day it falls below the smallest step.
    const std::string drivers = Weather("weather.drr", 10);
    struct Case {
        double discharge;
        std::string err;
    };
    const Case cases[] = {
        {58000, "run failed at time 0: Too many steps in routine ODEIntegrator"},
        {100000, "run failed at time 0: Step size too small in routine ODEIntegrator"},
    };
    for (const Case& c : cases) {
        const std::string par = Par("stiff.par", {{"alphaQ", c.discharge}});
        const BatchResult result = Batch({"-q", "--start", "0", "--stop", "5", par, drivers, output});
        EXPECT_EQ(result.status, ExitFailure);
        EXPECT_EQ(result.err, "modelbatch: " + c.err + "\n");
        EXPECT_EQ(RecordTimes(), std::vector<double>{}) << c.err;
        EXPECT_EQ(ReadColumn(output, 0).headerLines, 2);
    }
}

TEST_F(FaultInjectionTest, SavingParametersNeverLosesThePreviousFileNorReplacesAPipe) {
    const std::string par = Par("forest.par"), drivers = Weather("weather.drr", 10);

    // A pipe (or a device) is written into, not replaced by a file of its name.
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reading = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reading, 0);
    const BatchResult piped = Batch({"-q", "--save-params", pipe, par, drivers, "/dev/null"});
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.err, "");
    struct stat st {};
    EXPECT_TRUE(::stat(pipe.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    std::string received;
    char buffer[4096];
    for (ssize_t n; (n = ::read(reading, buffer, sizeof buffer)) > 0;) received.append(buffer, static_cast<std::size_t>(n));
    ::close(reading);
    EXPECT_EQ(received.size(), 53u + 169u * 76u);  // the header line and 169 data lines
    EXPECT_EQ(received.substr(0, 53), "Ostrel                    6.4.2                    \r\n");

    const std::string saved = dir / "saved.par", previous = "previous values, byte for byte\r\n";
    std::ofstream(saved, std::ios::binary) << previous;
    const auto entries = [this] {
        return std::distance(std::filesystem::directory_iterator(dir / ""), std::filesystem::directory_iterator());
    };
    const auto before = entries();

    // The disk fills up while the new file is written (the output goes to a
    // device, which no file size limit concerns).
    const auto full = BatchInChild({"-q", "--save-params", saved, par, drivers, "/dev/null"}, FileSizeLimit(4096));
    ASSERT_TRUE(full) << "no file size limit";
    EXPECT_EQ(full->status, ExitFailure);
    EXPECT_EQ(full->err, "modelbatch: parameter file '" + saved + "': Disk full\n");
    EXPECT_EQ(ReadBytes(saved), previous);
    EXPECT_EQ(entries(), before);  // nothing left behind

    // The folder does not let the user write.
    ::chmod((dir / "").c_str(), 0555);
    const auto denied = BatchInChild({"-q", "--save-params", saved, par, drivers, "/dev/null"}, WithoutPrivileges);
    ::chmod((dir / "").c_str(), 0755);
    if (!denied) GTEST_SKIP() << "cannot run without privileges";
    EXPECT_EQ(denied->status, ExitFailure);
    // Found before the run, which a spin-up would otherwise be lost with.
    EXPECT_EQ(denied->err, "modelbatch: --save-params '" + saved + "': File access denied; nothing was run\n");
    EXPECT_EQ(ReadBytes(saved), previous);
    EXPECT_EQ(entries(), before);

    // The file is read-only in a folder open to all: it is not replaced.
    ::chmod(saved.c_str(), 0444);
    ::chmod((dir / "").c_str(), 0777);
    const auto readOnly = BatchInChild({"-q", "--save-params", saved, par, drivers, "/dev/null"}, WithoutPrivileges);
    ::chmod((dir / "").c_str(), 0755);
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(readOnly->status, ExitFailure);
    EXPECT_EQ(readOnly->err, "modelbatch: --save-params '" + saved + "': File access denied; nothing was run\n");
    EXPECT_EQ(ReadBytes(saved), previous);
    EXPECT_EQ(entries(), before);
}

}  // namespace
