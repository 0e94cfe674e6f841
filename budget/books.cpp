#include "budget/books.h"

#include <algorithm>
#include <cmath>

#include "fileio/output_file.h"
#include "model/symbols.h"

namespace budget {

namespace {

const std::vector<Entry> CarbonEntries = {
    {Role::In, "GPP", {st::PST}},
    {Role::Out, "plant respiration", {st::RPT}},
    {Role::Out, "soil respiration", {st::RST}},
    {Role::Change, "vegetation", {st::Cf, st::Csw, st::Chw, st::Cr}},
    {Role::Change, "labile", {st::Clfw, st::Clr}},
    {Role::Change, "soil organic", {st::Cs, st::Ce, st::Ci, st::Ch}},
};

const std::vector<Entry> NitrogenEntries = {
    {Role::In, "deposition", {st::DnT}},
    {Role::In, "fixation", {st::UnfixT}},
    {Role::Out, "leaching", {st::QNT}},
    {Role::Change, "vegetation", {st::Nf, st::Nsw, st::Nhw, st::Nr}},
    {Role::Change, "labile", {st::Nlf, st::Nlwr}},
    {Role::Change, "soil organic", {st::Na, st::Nh}},
    {Role::Change, "inorganic", {st::Nnh4, st::Nno3}},
};

const std::vector<Entry> WaterEntries = {
    {Role::In, "precipitation", {st::PptT}},  {Role::Out, "evapotranspiration", {st::EtT}},
    {Role::Out, "interception", {st::PptIT}}, {Role::Out, "discharge", {st::QgT}},
    {Role::Change, "root zone", {st::Wr}},    {Role::Change, "groundwater", {st::Wg}},
    {Role::Change, "snow", {st::Ws}},
};

// The override drivers that, other than -1, set a state of the books outside
// them: the soil nitrogen drivers. (Driven litter moves between plant and
// soil pools inside the books, which still close.)
struct DrivenState {
    int driver;
    const char* driverSymbol;
    const char* stateSymbol;
};
constexpr DrivenState DrivenStates[] = {{dr::DNnh4, "DNnh4", "Nnh4"}, {dr::DNno3, "DNno3", "Nno3"}};

constexpr double MissingDriver = -1.0;

// The annual totals the books read; the run's start zeroes them.
bool IsTotal(int state) { return state >= st::PptT && state <= st::QNT; }

double Sum(const Snapshot& s, const Entry& e) {
    double sum = 0;
    for (int i : e.states) sum += s[static_cast<std::size_t>(i)];
    return sum;
}

// The day counter grows by the time between two records unless the annual
// reset came between them (it starts again from 0).
bool ResetBetween(const Snapshot& a, const Snapshot& b) {
    const double span = b[0] - a[0];
    const double grown = b[st::Jday] - a[st::Jday];
    return grown < span - (1e-6 * std::fabs(span) + 1e-9);
}

void Balance(Account& a) {
    a.Closure = a.Change - (a.In - a.Out + a.Dropped);
    const double throughput = std::max(std::fabs(a.In), std::fabs(a.Out));
    if (throughput > 0) a.Relative = a.Closure / throughput;
}

// The account of one element between two snapshots. `totalsFromZero`: the
// totals at `to` count from a reset after `from`, so they are taken whole.
Account Between(Element element, const Snapshot& from, const Snapshot& to, bool totalsFromZero) {
    Account a;
    for (const Entry& e : EntriesOf(element)) {
        const double amount = e.role == Role::Change || !totalsFromZero ? Sum(to, e) - Sum(from, e) : Sum(to, e);
        a.amounts.push_back(amount);
        (e.role == Role::In ? a.In : e.role == Role::Out ? a.Out : a.Change) += amount;
    }
    return a;
}

std::string Listed(const std::vector<std::string>& symbols) {
    std::string text;
    for (const std::string& s : symbols) text += (text.empty() ? "" : ", ") + s;
    return text;
}

}  // namespace

const std::vector<Entry>& EntriesOf(Element element) {
    switch (element) {
        case Element::Carbon:
            return CarbonEntries;
        case Element::Nitrogen:
            return NitrogenEntries;
        case Element::Water:
            break;
    }
    return WaterEntries;
}

const char* ElementName(Element element) {
    return element == Element::Carbon ? "Carbon" : element == Element::Nitrogen ? "Nitrogen" : "Water";
}

const char* ElementUnits(Element element) {
    return element == Element::Carbon ? "g C m-2" : element == Element::Nitrogen ? "g N m-2" : "mm H2O";
}

std::string SymbolsOf(const Entry& entry) {
    std::string text;
    for (int i : entry.states) text += (text.empty() ? "" : "+") + std::string(States[i].Symbol);
    return text;
}

void Books::SetRunFlags(const statearray& states, bool resetsOn) {
    flagsKnown_ = true;
    for (int i = 1; i <= OstrelNumStates; ++i) {
        held_[static_cast<std::size_t>(i)] = states[i].HoldConstant;
        reset_[static_cast<std::size_t>(i)] = resetsOn && states[i].Reset;
    }
}

void Books::OpenAt(double time, const statearray& states) {
    Snapshot s{};
    s[0] = time;
    for (int i = 1; i <= OstrelNumStates; ++i) s[static_cast<std::size_t>(i)] = states[i].Value;
    // The evaluation at the start zeroes the day counter and the totals.
    for (int i = 1; i <= OstrelNumStates; ++i)
        if ((IsTotal(i) || i == st::Jday) && !(flagsKnown_ && held_[static_cast<std::size_t>(i)]))
            s[static_cast<std::size_t>(i)] = 0.0;
    opening_ = s;
    Take(s);
}

void Books::Add(double time, std::span<const double> values) {
    const int numDrivers = ModelDef.NumDrivers;
    if (static_cast<int>(values.size()) < numDrivers + OstrelNumStates) return;
    for (int d = dr::DlambdaCF; d <= dr::DNno3; ++d)
        if (values[static_cast<std::size_t>(d - 1)] != MissingDriver) driven_[static_cast<std::size_t>(d)] = true;
    Snapshot s{};
    s[0] = time;
    for (int i = 1; i <= OstrelNumStates; ++i)
        s[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(numDrivers + i - 1)];
    ++records_;
    Take(s);
}

void Books::Take(const Snapshot& s) {
    if (!segments_.empty() && s[st::Jday] != segments_.back().last[st::Jday]) jdayMoved_ = true;
    if (segments_.empty() || ResetBetween(segments_.back().last, s))
        segments_.push_back({s, s});
    else
        segments_.back().last = s;
}

std::array<std::vector<std::string>, ElementCount> Books::Breaks() const {
    std::array<std::vector<std::string>, ElementCount> breaks;
    const bool noYears = JdayUnusable();
    for (int k = 0; k < ElementCount; ++k) {
        const Element element = static_cast<Element>(k);
        std::vector<std::string> held, reset;
        for (const Entry& e : EntriesOf(element))
            for (int i : e.states) {
                if (held_[static_cast<std::size_t>(i)]) held.emplace_back(States[i].Symbol);
                if (reset_[static_cast<std::size_t>(i)]) reset.emplace_back(States[i].Symbol);
            }
        if (noYears)
            breaks[k].push_back("the day counter Jday is held or reset, so the model years cannot be told apart");
        if (!held.empty()) breaks[k].push_back("held constant: " + Listed(held));
        if (!reset.empty()) breaks[k].push_back("reset periodically: " + Listed(reset));
        if (element == Element::Nitrogen)
            for (const DrivenState& d : DrivenStates)
                if (driven_[static_cast<std::size_t>(d.driver)])
                    breaks[k].push_back(std::string(d.driverSymbol) + " is not -1 in the records: it sets " +
                                        d.stateSymbol + " outside the books");
    }
    return breaks;
}

bool Books::JdayUnusable() const {
    if (flagsKnown_ && (held_[st::Jday] || reset_[st::Jday])) return true;
    // In a file: a day counter that never moves is held.
    return !jdayMoved_ && segments_.size() > 1;
}

namespace {

// A model year, from its first record to its last, or a new-year step: the
// stretch from the last record of one year to the first of the next, whose
// pools' change beyond what the totals of that first record hold is what the
// annual reset dropped.
Period PeriodBetween(PeriodKind kind, int year, const Snapshot& from, const Snapshot& to) {
    Period p;
    p.Kind = kind;
    p.Year = year;
    p.From = from[0];
    p.To = to[0];
    for (int k = 0; k < ElementCount; ++k) {
        Account& a = p.Accounts[k];
        a = Between(static_cast<Element>(k), from, to, kind == PeriodKind::NewYear);
        if (kind == PeriodKind::NewYear)
            a.Dropped = a.Change - (a.In - a.Out);
        else
            Balance(a);
    }
    return p;
}

// The whole run: the flows of every period summed, the change of the pools
// from the first snapshot to the last.
Period WholeRun(const std::vector<Period>& periods, const Snapshot& first, const Snapshot& last) {
    Period run;
    run.Kind = PeriodKind::Run;
    run.From = first[0];
    run.To = last[0];
    for (int k = 0; k < ElementCount; ++k) {
        const Element element = static_cast<Element>(k);
        const std::vector<Entry>& entries = EntriesOf(element);
        Account& r = run.Accounts[k];
        r = Between(element, first, last, false);
        r.In = r.Out = 0;
        for (std::size_t j = 0; j < entries.size(); ++j)
            if (entries[j].role != Role::Change) r.amounts[j] = 0;
        for (const Period& p : periods) {
            const Account& a = p.Accounts[k];
            for (std::size_t j = 0; j < entries.size(); ++j)
                if (entries[j].role != Role::Change) r.amounts[j] += a.amounts[j];
            r.In += a.In;
            r.Out += a.Out;
            r.Dropped += a.Dropped;
        }
        Balance(r);
    }
    return run;
}

}  // namespace

Budget Books::Close() const {
    Budget b;
    b.Source = source_;
    b.OpensAtStart = opening_.has_value();
    b.Records = records_;
    if (segments_.empty()) return b;

    const auto breaks = Breaks();
    bool balanced = false;
    if (!JdayUnusable()) {
        for (std::size_t y = 0; y < segments_.size(); ++y) {
            const int year = static_cast<int>(y) + 1;
            const Segment& seg = segments_[y];
            if (y > 0) b.Periods.push_back(PeriodBetween(PeriodKind::NewYear, year, segments_[y - 1].last, seg.first));
            if (seg.first[0] == seg.last[0]) continue;  // one record: nothing to balance
            b.Periods.push_back(PeriodBetween(PeriodKind::Year, year, seg.first, seg.last));
            balanced = true;
        }
        b.Years = static_cast<int>(segments_.size());
    }
    b.Periods.push_back(WholeRun(b.Periods, segments_.front().first, segments_.back().last));
    for (Period& p : b.Periods)
        for (int k = 0; k < ElementCount; ++k) p.Accounts[k].Breaks = breaks[k];
    if (!balanced)
        for (Account& a : b.Periods.back().Accounts)
            if (a.Breaks.empty()) a.Breaks.push_back("no model year has two records, so nothing could be checked");
    b.Notes = Notes();
    return b;
}

std::vector<std::string> Books::Notes() const {
    std::vector<std::string> notes;
    if (opening_)
        notes.push_back("The books open at the start of the run, with the states it began with.");
    else
        notes.push_back("The books open at the first record: the file holds nothing from before it.");
    if (!flagsKnown_)
        notes.push_back(
            "An output file does not tell which states were held or reset periodically: such states break the "
            "books of their element, and show as a closure error far above rounding.");
    std::vector<std::string> litter;
    for (int d = dr::DlambdaCF; d <= dr::DlambdaNR; ++d)
        if (driven_[static_cast<std::size_t>(d)]) litter.emplace_back(Drivers[d].Symbol);
    if (!litter.empty())
        notes.push_back("Litterfall is driven (" + Listed(litter) +
                        " not -1 in the records): it moves between the plant and the soil pools inside the books, "
                        "which still close.");
    return notes;
}

Budget BudgetOfFile(const std::string& outputFile) {
    // Scratch tables: reading back never touches the model's current values.
    driverarray drivers = Drivers;
    statearray states = States;
    processarray processes = Processes;
    fileio::OutputReader reader(outputFile);
    Books books(outputFile);
    double time = 0;
    std::vector<double> values(static_cast<std::size_t>(ModelDef.NumDrivers + OstrelNumStates));
    while (reader.ReadRecord(time, drivers, ModelDef.NumStates, states, ModelDef.NumProcesses, processes)) {
        for (int d = 1; d <= ModelDef.NumDrivers; ++d) values[static_cast<std::size_t>(d - 1)] = drivers[d].Value;
        for (int i = 1; i <= OstrelNumStates; ++i)
            values[static_cast<std::size_t>(ModelDef.NumDrivers + i - 1)] = states[i].Value;
        books.Add(time, values);
    }
    return books.Close();
}

}  // namespace budget
