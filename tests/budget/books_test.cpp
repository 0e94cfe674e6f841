// The budget's books against the model: every year and the whole run close
// to rounding on the sample and on special runs, the states and drivers that
// break the books are named for their element only, and a file altered by
// hand shows its error.
#include "budget/books.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "budget/ostrel_budget.h"
#include "budget/report.h"
#include "fileio/fileio.h"
#include "fileio/output_file.h"
#include "model/equations.h"
#include "model/new_year.h"
#include "model/symbols.h"
#include "run/run_loop.h"
#include "run/run_options.h"
#include "run/session.h"
#include "tests/cli/batch_test_support.h"
#include "tests/test_files.h"

namespace {

using budget::Budget;
using budget::Element;
using budget::PeriodKind;

constexpr const char* SampleParams = OSTREL_SAMPLES_DIR "/forest.par";
constexpr const char* SampleDrivers = OSTREL_SAMPLES_DIR "/weather.drr";

// Hands the run's start and every record to the books, as modelbatch does.
class BooksObserver final : public RunObserver {
public:
    explicit BooksObserver(budget::Books& books) : books_(books) {}
    void RunStarting() override { books_.OpenAt(StartTime, States); }
    bool WantsRecords() override { return true; }
    void RecordWritten(double time, std::span<const double> values) override { books_.Add(time, values); }

private:
    budget::Books& books_;
};

struct SampleBudgets {
    Budget run;   // kept from the run's records, opening at its start
    Budget file;  // read back from its output file
};

// Runs the sample from `start` to `stop` after `setUp` has changed the
// settings or the flags; the flags and options are put back afterwards.
SampleBudgets RunSample(double start, double stop, double step, const std::function<void()>& setUp = {},
                        const std::string& drivers = SampleDrivers) {
    TempFolder dir;
    StartSession(start, stop, step);
    NewYear = false;
    EXPECT_TRUE(ReadParamFile(SampleParams, ModelDef.NumParams, Params, ModelDef.NumStates, States));
    for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].HoldConstant = States[i].Reset = false;
    ParamFileName = SampleParams;
    DriverFileName = drivers;
    OutputFileName = dir / "forest.out";
    if (setUp) setUp();
    budget::Books books("the run");
    books.SetRunFlags(States, RunOptions.ResetStates);
    BooksObserver observer(books);
    RunStatistics stats;
    RunModel(observer, RunMode::Quiet, stats);
    SampleBudgets b{books.Close(), budget::BudgetOfFile(OutputFileName)};
    for (int i = 1; i <= ModelDef.NumStates; ++i) States[i].HoldConstant = States[i].Reset = false;
    RunOptions = StartRunOptions();
    NewYear = false;
    return b;
}

int Count(const Budget& b, PeriodKind kind) {
    int n = 0;
    for (const budget::Period& p : b.Periods) n += p.Kind == kind;
    return n;
}

// Every model year and the whole run close to 1e-9 of their throughput in
// the elements given.
void ExpectClosed(const Budget& b,
                  std::vector<Element> elements = {Element::Carbon, Element::Nitrogen, Element::Water}) {
    ASSERT_GE(Count(b, PeriodKind::Year), 1);
    for (const budget::Period& p : b.Periods) {
        if (p.Kind == PeriodKind::NewYear) continue;
        for (Element e : elements) {
            const budget::Account& a = p.Accounts[static_cast<std::size_t>(e)];
            SCOPED_TRACE(budget::PeriodTitle(p) + ", " + budget::ElementName(e));
            ASSERT_TRUE(a.Closes()) << a.Breaks.front();
            ASSERT_TRUE(a.Relative.has_value());
            EXPECT_LE(std::fabs(*a.Relative), 1e-9);
        }
    }
}

const budget::Account& RunAccount(const Budget& b, Element e) {
    return b.Periods.back().Accounts[static_cast<std::size_t>(e)];
}

TEST(Budget, TheSampleClosesEveryYearAndTheRunAndTheNewYearStepStandsOnItsOwn) {
    DefineModel();
    const SampleBudgets b = RunSample(0, 3660, 1);
    for (const Budget* budget : {&b.run, &b.file}) {
        ExpectClosed(*budget);
        EXPECT_EQ(budget->Years, 10);
        EXPECT_EQ(Count(*budget, PeriodKind::Year), 10);
        EXPECT_EQ(Count(*budget, PeriodKind::NewYear), 9);
        EXPECT_EQ(budget->Periods.back().Kind, PeriodKind::Run);
    }
    // From the run the books open at its start; from the file at its first record.
    EXPECT_EQ(b.run.Periods.front().From, 0);
    EXPECT_EQ(b.file.Periods.front().From, 1);

    // The first new-year step: the step from 366 to 367, whose integrated
    // fluxes are in no total; its carbon is the day's NEP, from the states.
    const budget::Period& step = b.file.Periods[1];
    ASSERT_EQ(step.Kind, PeriodKind::NewYear);
    EXPECT_EQ(step.From, 366);
    EXPECT_EQ(step.To, 367);
    const budget::Account& carbon = step.Accounts[0];
    EXPECT_NEAR(carbon.Dropped, -1.296, 5e-4);
    EXPECT_EQ(carbon.In, 0);  // GPP of that step is in no total
    // Precipitation of the step is counted, by the end-of-step update after the reset.
    EXPECT_GT(step.Accounts[2].In, 0);
    EXPECT_EQ(b.file.Periods[2].From, 367);
    EXPECT_EQ(b.file.Periods[2].To, 732);

    // The whole run sums the years and the steps; the pools telescope.
    double dropped = 0;
    for (const budget::Period& p : b.file.Periods)
        if (p.Kind == PeriodKind::NewYear) dropped += p.Accounts[0].Dropped;
    EXPECT_NEAR(RunAccount(b.file, Element::Carbon).Dropped, dropped, 1e-9);

    // The same run again in the same process keeps the same books.
    const SampleBudgets again = RunSample(0, 800, 1);
    const SampleBudgets third = RunSample(0, 800, 1);
    EXPECT_EQ(RunAccount(again.run, Element::Carbon).Closure, RunAccount(third.run, Element::Carbon).Closure);
    EXPECT_EQ(RunAccount(again.run, Element::Water).Change, RunAccount(third.run, Element::Water).Change);
}

TEST(Budget, SpecialRunsAndOtherStepsAndIntervalsClose) {
    DefineModel();
    struct Case {
        const char* name;
        double start, stop, step;
        std::function<void()> setUp;
    };
    const Case cases[] = {
        {"repeated drivers", 1, 1200, 1,
         [] {
             RunOptions.NormalRun = false;
             RunOptions.RepeatDrivers = true;
             RunOptions.RepeatDriveTime = 365;
         }},
        {"steady state", 1, 1500, 1,
         [] {
             RunOptions.NormalRun = false;
             RunOptions.RunToSS = true;
             RunOptions.SSCriteria = 0.05;
             RunOptions.SSTime = 365;
         }},
        {"states reset outside the books", 0, 1000, 1,
         [] {
             RunOptions.NormalRun = false;
             RunOptions.ResetStates = true;
             RunOptions.ResetStateTime = 300;
             States[st::qUnT].Reset = States[st::Laieos].Reset = true;
         }},
        {"half-day steps", 0, 800, 0.5, [] { RunOptions.OutputTimeStep = 1; }},
        {"a record every 7 days", 0, 800, 1, [] { RunOptions.OutputTimeStep = 7; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SampleBudgets b = RunSample(c.start, c.stop, c.step, c.setUp);
        ExpectClosed(b.run);
        ExpectClosed(b.file);
        EXPECT_GE(Count(b.run, PeriodKind::NewYear), 1);
    }
}

// A copy of the sample driver file with one driver column set to `value` in
// every record.
std::string DriverFileWith(const TempFolder& dir, int driver, const char* value) {
    std::string text = ReadBytes(SampleDrivers);
    std::size_t line = text.find("\r\n", text.find("\r\n") + 2) + 2;  // after the two title lines
    char field[32];
    std::snprintf(field, sizeof field, "%25s", value);
    for (; line < text.size(); line = text.find("\r\n", line) + 2) text.replace(line + 26 * driver, 25, field);
    const std::string file = dir / ("driven" + std::to_string(driver) + ".drr");
    WriteBytes(file, text);
    return file;
}

TEST(Budget, HeldResetAndDrivenStatesBreakOnlyTheBooksOfTheirElement) {
    DefineModel();
    TempFolder dir;
    const SampleBudgets held =
        RunSample(0, 400, 1, [] { States[st::Cf].HoldConstant = States[st::Wg].HoldConstant = true; });
    EXPECT_EQ(RunAccount(held.run, Element::Carbon).Breaks, std::vector<std::string>{"held constant: Cf"});
    EXPECT_EQ(RunAccount(held.run, Element::Water).Breaks, std::vector<std::string>{"held constant: Wg"});
    ExpectClosed(held.run, {Element::Nitrogen});
    // A file does not know the flags: the held pool shows as a closure error.
    EXPECT_GT(std::fabs(RunAccount(held.file, Element::Carbon).Closure), 1.0);

    const SampleBudgets reset = RunSample(0, 800, 1, [] {
        RunOptions.NormalRun = false;
        RunOptions.ResetStates = true;
        RunOptions.ResetStateTime = 365;
        States[st::Ch].Reset = States[st::Nh].Reset = true;
    });
    EXPECT_EQ(RunAccount(reset.run, Element::Carbon).Breaks, std::vector<std::string>{"reset periodically: Ch"});
    EXPECT_EQ(RunAccount(reset.run, Element::Nitrogen).Breaks, std::vector<std::string>{"reset periodically: Nh"});
    ExpectClosed(reset.run, {Element::Water});

    const SampleBudgets soilN = RunSample(0, 400, 1, {}, DriverFileWith(dir, dr::DNnh4, "5.000000000000E-001"));
    EXPECT_EQ(RunAccount(soilN.file, Element::Nitrogen).Breaks,
              std::vector<std::string>{"DNnh4 is not -1 in the records: it sets Nnh4 outside the books"});
    ExpectClosed(soilN.file, {Element::Carbon, Element::Water});
    const std::string text = budget::ReportText(soilN.file);
    EXPECT_NE(text.find("    closure error                  change - (in - out)                              no "
                        "closure: DNnh4 is not -1 in the records: it sets Nnh4 outside the books\n"),
              std::string::npos)
        << text;

    // Driven litter moves between plant and soil inside the books.
    const SampleBudgets litter = RunSample(0, 150, 1, {}, DriverFileWith(dir, dr::DlambdaCR, "1.000000000000E-002"));
    ExpectClosed(litter.run);
    ExpectClosed(litter.file);
    EXPECT_EQ(litter.file.Notes.back(),
              "Litterfall is driven (DlambdaCR not -1 in the records): it moves between the plant and the soil pools "
              "inside the books, which still close.");

    // A held day counter hides the years: no year is balanced.
    const SampleBudgets day = RunSample(0, 400, 1, [] { States[st::Jday].HoldConstant = true; });
    for (const Budget* b : {&day.run, &day.file}) {
        ASSERT_EQ(b->Periods.size(), 1u);
        EXPECT_EQ(
            RunAccount(*b, Element::Water).Breaks,
            std::vector<std::string>{"the day counter Jday is held or reset, so the model years cannot be told apart"});
    }
}

TEST(Budget, AStateColumnAlteredInTheFileShowsAsTheClosureErrorOfItsYearAndRun) {
    DefineModel();
    TempFolder dir;
    StartSession(0, 500, 1);
    NewYear = false;
    ASSERT_TRUE(ReadParamFile(SampleParams, ModelDef.NumParams, Params, ModelDef.NumStates, States));
    ParamFileName = SampleParams;
    DriverFileName = SampleDrivers;
    OutputFileName = dir / "forest.out";
    RunObserver quiet;
    RunStatistics stats;
    RunModel(quiet, RunMode::Quiet, stats);
    NewYear = false;

    // One more gram of foliar carbon in every record from time 200 on.
    const std::string file = OutputFileName;
    driverarray drivers = Drivers;
    statearray states = States;
    processarray processes = Processes;
    std::vector<std::pair<double, std::vector<double>>> records;
    {
        fileio::OutputReader reader(file);
        double time = 0;
        std::vector<double> values(fileio::MaxOutputValues);
        while (reader.ReadRecord(time, drivers, ModelDef.NumStates, states, ModelDef.NumProcesses, processes)) {
            if (time >= 200) states[st::Cf].Value += 1.0;
            const int n =
                fileio::GatherOutputValues(ModelDef.NumStates, states, ModelDef.NumProcesses, processes, values);
            // The drivers of the record, not the global table's.
            for (int d = 1; d <= ModelDef.NumDrivers; ++d) values[static_cast<std::size_t>(d - 1)] = drivers[d].Value;
            records.emplace_back(time, std::vector<double>(values.begin(), values.begin() + n));
        }
    }
    {
        fileio::OutputWriter writer(file, ModelDef.NumStates, States, ModelDef.NumProcesses, Processes);
        for (const auto& [time, values] : records) writer.WriteRecord(time, values);
        writer.Close();
    }

    const Budget b = budget::BudgetOfFile(file);
    const budget::Account& year1 = b.Periods.front().Accounts[0];
    EXPECT_NEAR(year1.Closure, 1.0, 1e-8);
    EXPECT_NEAR(RunAccount(b, Element::Carbon).Closure, 1.0, 1e-8);
    ExpectClosed(b, {Element::Nitrogen, Element::Water});
    const budget::Account& year2 = b.Periods[2].Accounts[0];
    EXPECT_LE(std::fabs(*year2.Relative), 1e-9);

    char expected[160];
    std::snprintf(expected, sizeof expected, "    %-30s %-30s %16s  %.1e of throughput\n", "closure error",
                  "change - (in - out)", "1.000e+00", year1.Closure / std::max(year1.In, year1.Out));
    EXPECT_NE(budget::ReportText(b).find(expected), std::string::npos) << expected;
}

// A few records of made-up values: the report's words and the CSV's fields.
TEST(Budget, ReportAndCsvWordsAndNumbers) {
    DefineModel();
    budget::Books books("made.out");
    std::vector<double> values(static_cast<std::size_t>(ModelDef.NumDrivers + ModelDef.NumStates), 0.0);
    const auto state = [&](int i) -> double& { return values[static_cast<std::size_t>(ModelDef.NumDrivers + i - 1)]; };
    for (int d = dr::DlambdaCF; d <= dr::DNno3; ++d) values[static_cast<std::size_t>(d - 1)] = -1;
    state(st::Jday) = 1;
    state(st::PST) = 2;
    state(st::Cf) = 100;
    books.Add(1, values);
    state(st::Jday) = 2;
    state(st::PST) = 12;
    state(st::RPT) = 4;
    state(st::Cf) = 106.5;  // half a gram more than the totals say
    books.Add(2, values);
    const Budget b = books.Close();

    const std::string text = budget::ReportText(b);
    EXPECT_EQ(text.substr(0, text.find("\n\n")),
              "Budget of made.out: 2 records, times 1 to 2, 1 model year\n"
              "The books open at the first record: the file holds nothing from before it.\n"
              "An output file does not tell which states were held or reset periodically: such states break the\n"
              "books of their element, and show as a closure error far above rounding.\n"
              "Each model year is balanced from its first to its last record with the annual totals. The model\n"
              "zeroes those totals after the first step of a new year has added to them: the new-year step takes\n"
              "its change from the states, and what no total counts is shown as dropped by the annual reset.");
    EXPECT_NE(text.find("\nModel year 1, times 1 to 2\n  Carbon (g C m-2)\n"
                        "    in: GPP                        PST                                   10.000000\n"
                        "    out: plant respiration         RPT                                    4.000000\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("    change: vegetation             Cf+Csw+Chw+Cr                          6.500000\n"
                        "    change: labile                 Clfw+Clr                               0.000000\n"
                        "    change: soil organic           Cs+Ce+Ci+Ch                            0.000000\n"
                        "    closure error                  change - (in - out)                   5.000e-01  5.0e-02 "
                        "of throughput\n"),
              std::string::npos);
    EXPECT_NE(text.find("    closure error                  change - (in - out)                   0.000e+00  nothing "
                        "went in or out\n"),
              std::string::npos);
    EXPECT_NE(text.find("\nWhole run, times 1 to 2\n"), std::string::npos);
    EXPECT_NE(text.find("    dropped by the annual resets   new-year steps                         0.000000\n"
                        "    closure error                  change - (in - out + dropped)         5.000e-01  5.0e-02 "
                        "of throughput\n"),
              std::string::npos);

    const std::string csv = budget::ReportCsv(b);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n", csv.find("\r\n") + 2) + 2),
              "period,year,from,to,element,line,symbols,value,note\r\n"
              "year,1,1,2,Carbon,in: GPP,PST,10,\r\n");
    EXPECT_NE(csv.find("year,1,1,2,Carbon,closure error,,0.5,\r\nyear,1,1,2,Carbon,relative closure error,,0.05,of "
                       "throughput\r\n"),
              std::string::npos);
    EXPECT_NE(csv.find("run,,1,2,Water,dropped by the annual reset,new-year steps,0,\r\n"), std::string::npos);

    // One record only: nothing to balance, and the run says so.
    budget::Books one("one.out");
    one.Add(5, values);
    const Budget single = one.Close();
    EXPECT_EQ(RunAccount(single, Element::Carbon).Breaks,
              std::vector<std::string>{"no model year has two records, so nothing could be checked"});
    EXPECT_NE(budget::ReportCsv(single).find("run,,5,5,Carbon,closure error,,,\"no closure: no model year has two "
                                             "records, so nothing could be checked\"\r\n"),
              std::string::npos);
    EXPECT_EQ(budget::ReportText(budget::Books("none.out").Close()),
              "Budget of none.out: 0 records, nothing to balance\n");
}

int RunBudgetProgram(std::vector<std::string> args, std::string& out, std::string& err) {
    args.insert(args.begin(), "ostrel-budget");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream o, e;
    const int status = RunOstrelBudget(static_cast<int>(argv.size()), argv.data(), o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(Budget, TheProgramReportsItsFilesFailures) {
    DefineModel();
    TempFolder dir;
    std::string out, err;
    EXPECT_EQ(RunBudgetProgram({dir / "missing.out"}, out, err), 1);
    EXPECT_EQ(err, "ostrel-budget: " + dir / "missing.out" + ": File not found\n");
    EXPECT_EQ(out, "");

    const std::string file = dir / "short.out";
    WriteBytes(file, "Time\r\ndays\r\n1 x\r\n");
    EXPECT_EQ(RunBudgetProgram({file}, out, err), 1);
    EXPECT_EQ(err, "ostrel-budget: " + file + ": Invalid numeric input\n");

    WriteBytes(file, "Time\r\ndays\r\n");
    EXPECT_EQ(RunBudgetProgram({file, "--csv", dir / "no-such-folder/b.csv"}, out, err), 1);
    EXPECT_EQ(out, "Budget of " + file + ": 0 records, nothing to balance\n");
    EXPECT_EQ(err, "ostrel-budget: " + dir / "no-such-folder/b.csv" + ": Invalid filename\n");

    EXPECT_EQ(RunBudgetProgram({file, "--csv", dir / "b.csv"}, out, err), 0);
    EXPECT_EQ(ReadBytes(dir / "b.csv"), "period,year,from,to,element,line,symbols,value,note\r\n");
    EXPECT_EQ(RunBudgetProgram({}, out, err), 2);
}

}  // namespace

namespace {

TEST(Budget, ModelbatchPrintsTheBudgetOfItsRunWhateverItWrites) {
    DefineModel();
    TempFolder dir;
    for (const char* format : {"model", "csv"}) {
        SCOPED_TRACE(format);
        const BatchResult r = Batch({"-q", "--start", "0", "--stop", "400", "--hold", "Cf", "--budget", "--format",
                                     format, SampleParams, SampleDrivers, dir / "run.out"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find("Each model year")),
                  std::string("\nBudget of the run of ") + SampleParams +
                      ": 400 records, times 0 to 400, 2 model years\n"
                      "The books open at the start of the run, with the states it began with.\n");
        EXPECT_NE(r.out.find("  no closure: held constant: Cf\n"), std::string::npos);
        EXPECT_NE(r.out.find("\nNew-year step into model year 2, times 366 to 367\n"), std::string::npos);
    }
    // Without --budget, none.
    const BatchResult plain =
        Batch({"-q", "--start", "0", "--stop", "10", SampleParams, SampleDrivers, dir / "run.out"});
    EXPECT_EQ(plain.out, "");
}

}  // namespace
