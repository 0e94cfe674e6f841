// The carbon, nitrogen and water books of a run, kept from its records.
//
// Each model year is balanced from its first to its last record: the change
// of the stored pools against the change of the annual totals that count the
// inputs and outputs. The model zeroes its annual totals in the evaluation
// that ends the first step of a new year, after that step's integration has
// added to them, so the integrated fluxes of that new-year step are in no
// total. The books give that step (with daily records; the stretch between the
// last record of a year and the first of the next, in general) its own
// period, whose change of the pools is taken from the states and whose part
// that no total counts is shown as what the reset dropped.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/stypes.h"
#include "model/catalogue.h"

namespace budget {

enum class Element { Carbon, Nitrogen, Water };
inline constexpr int ElementCount = 3;

enum class Role { In, Out, Change };

// One line of an element's books: what it is, and the states it sums.
struct Entry {
    Role role;
    const char* label;
    std::vector<int> states;  // entries of the state table
};

// The lines of an element's books, inputs first, then outputs, then pools.
const std::vector<Entry>& EntriesOf(Element element);
const char* ElementName(Element element);   // "Carbon", ...
const char* ElementUnits(Element element);  // "g C m-2", ...
// The symbols a line sums, as "Cf+Csw+Chw+Cr".
std::string SymbolsOf(const Entry& entry);

// One element over one period.
struct Account {
    std::vector<double> amounts;  // one per entry of EntriesOf(element)
    double In = 0, Out = 0, Change = 0;
    // What the annual reset dropped: the change of the pools that no total
    // counts (new-year periods; for the whole run, their sum).
    double Dropped = 0;
    // Change - (In - Out - ... + Dropped): rounding only, when the books hold.
    double Closure = 0;
    // Closure over the larger of In and Out; none when both are 0.
    std::optional<double> Relative;
    // Why this element's books cannot close; empty when they can.
    std::vector<std::string> Breaks;
    bool Closes() const { return Breaks.empty(); }
};

enum class PeriodKind {
    Year,     // from the first to the last record of a model year
    NewYear,  // from the last record of a year to the first of the next
    Run,      // the whole run: the years and the new-year steps together
};

struct Period {
    PeriodKind Kind = PeriodKind::Year;
    int Year = 0;  // the model year (Year), or the one the step opens (NewYear)
    double From = 0, To = 0;
    std::array<Account, ElementCount> Accounts;
};

struct Budget {
    std::string Source;         // the output file, or the run
    bool OpensAtStart = false;  // the books open at the run's start, not its first record
    long long Records = 0;
    int Years = 0;
    std::vector<Period> Periods;  // in time order, the whole run last
    // Notes on the books as a whole (why some cannot close, what a file
    // cannot tell).
    std::vector<std::string> Notes;
};

// Keeps the books while the records come in.
// The time of a record, then its states 1..55.
using Snapshot = std::array<double, OstrelNumStates + 1>;

class Books {
public:
    explicit Books(std::string source) : source_(std::move(source)) {}

    // The flags of the run, when it is known: held states break the books of
    // their element, and so do states reset periodically when `resetsOn`.
    void SetRunFlags(const statearray& states, bool resetsOn);
    // The run's start: the states it began with, at its start time. The
    // model zeroes the annual totals there, so they count from 0.
    void OpenAt(double time, const statearray& states);
    // A record: its time and its values in the order of the output file's
    // columns (the drivers, the states, the process variables).
    void Add(double time, std::span<const double> values);

    // The budget of what came in so far.
    Budget Close() const;

private:
    struct Segment {
        Snapshot first, last;
    };
    void Take(const Snapshot& s);
    std::array<std::vector<std::string>, ElementCount> Breaks() const;
    bool JdayUnusable() const;
    std::vector<std::string> Notes() const;

    std::string source_;
    std::optional<Snapshot> opening_;
    std::vector<Segment> segments_;  // one per model year
    long long records_ = 0;
    bool flagsKnown_ = false;
    std::array<bool, OstrelNumStates + 1> held_{}, reset_{};
    std::array<bool, MaxDrivers + 1> driven_{};  // override drivers seen other than -1
    bool jdayMoved_ = false;
};

// The books of an output file. Throws the file reader's errors.
Budget BudgetOfFile(const std::string& outputFile);

}  // namespace budget
