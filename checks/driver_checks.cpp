#include "checks/driver_checks.h"

#include <algorithm>

#include "core/stypes.h"
#include "fileio/text_reader.h"
#include "run/run_checks.h"

namespace {

constexpr std::size_t MisshapenShown = 10;

std::string Count(std::size_t n) { return std::to_string(n); }

std::string AndMore(std::int64_t more) {
    return more > 0 ? "; also on " + std::to_string(more) + (more == 1 ? " more line" : " more lines") : "";
}

}  // namespace

void DriverChecker::Finding::Add(std::int64_t line, double value, double other) {
    if (++More > 0) return;
    Line = line;
    Value = value;
    Other = other;
}

DriverChecker::DriverChecker(std::string subject, int numDrivers, bool ranges)
    : subject_(std::move(subject)),
      numDrivers_(std::max(numDrivers, 0)),
      ranges_(static_cast<std::size_t>(numDrivers_), nullptr),
      outside_(static_cast<std::size_t>(numDrivers_)) {
    if (!ranges) return;
    const auto table = DriverRanges();
    for (int i = 0; i < numDrivers_ && i < static_cast<int>(table.size()); ++i) {
        // Ranges belong to the catalogue's drivers, by symbol.
        if (Drivers[i + 1].Symbol != table[static_cast<std::size_t>(i)].Symbol) continue;
        ranges_[static_cast<std::size_t>(i)] = &table[static_cast<std::size_t>(i)];
        if (table[static_cast<std::size_t>(i)].Symbol == "Tamax") tamax_ = i;
        if (table[static_cast<std::size_t>(i)].Symbol == "Tamin") tamin_ = i;
    }
}

void DriverChecker::CheckShape(std::int64_t line, std::size_t count) {
    if (recordLines_++ == 0) firstCount_ = count;
    oneCount_ = oneCount_ && count == firstCount_;
    if (count == static_cast<std::size_t>(numDrivers_) + 1) {
        ++wholeLines_;
        return;
    }
    if (misshapen_.size() < MisshapenShown)
        misshapen_.emplace_back(line, count);
    else
        ++moreMisshapen_;
}

void DriverChecker::AddLine(std::int64_t line, std::span<const double> numbers, std::size_t count) {
    if (ended_ || count == 0) return;
    CheckShape(line, count);
    // The reader takes numbers across line ends until a record is whole,
    // then passes over the rest of the line.
    const std::size_t size = static_cast<std::size_t>(numDrivers_) + 1;
    if (pending_.empty()) pendingLine_ = line;
    const std::size_t take = std::min(numbers.size(), size - pending_.size());
    pending_.insert(pending_.end(), numbers.begin(), numbers.begin() + static_cast<std::ptrdiff_t>(take));
    if (pending_.size() < size) return;
    if (std::all_of(pending_.begin(), pending_.end(), [](double v) { return v == 0.0; })) {
        ended_ = true;  // a record of zeros ends the data
        --recordLines_;
        if (count == size) --wholeLines_;
        return;
    }
    AddRecord(pendingLine_, pending_[0], std::span<const double>(pending_).subspan(1));
    pending_.clear();
}

void DriverChecker::AddRecord(std::int64_t line, double /*time*/, std::span<const double> drivers) {
    const std::size_t n = std::min(drivers.size(), ranges_.size());
    for (std::size_t i = 0; i < n; ++i)
        if (ranges_[i] && !Plausible(*ranges_[i], drivers[i])) outside_[i].Add(line, drivers[i]);
    if (tamax_ >= 0 && tamin_ >= 0 && static_cast<std::size_t>(std::max(tamax_, tamin_)) < drivers.size() &&
        drivers[static_cast<std::size_t>(tamin_)] > drivers[static_cast<std::size_t>(tamax_)])
        tminAboveTmax_.Add(line, drivers[static_cast<std::size_t>(tamin_)], drivers[static_cast<std::size_t>(tamax_)]);
}

DriverCheck DriverChecker::Finish() const {
    DriverCheck check;
    const std::string record = Count(static_cast<std::size_t>(numDrivers_) + 1);
    const std::string shape =
        " where a record has " + record + " (time and " + std::to_string(numDrivers_) + " drivers)";
    if (recordLines_ > 0 && wholeLines_ == 0) {
        check.Refusal = oneCount_ ? subject_ + ": every record line holds " + Count(firstCount_) + " values" + shape
                                  : subject_ + ": no record line holds " + record + " values" + shape + "; line " +
                                        std::to_string(misshapen_[0].first) + " holds " + Count(misshapen_[0].second);
        return check;
    }
    for (const auto& [line, count] : misshapen_)
        check.Warnings.push_back(subject_ + " line " + std::to_string(line) + ": " + Count(count) + " values" + shape +
                                 (count < static_cast<std::size_t>(numDrivers_) + 1
                                      ? "; the record continues on the next line"
                                      : "; the values after the " + record + "th are not read"));
    if (moreMisshapen_ > 0)
        check.Warnings.push_back(subject_ + ": " + std::to_string(moreMisshapen_) + " more lines that do not hold " +
                                 record + " values");
    for (std::size_t i = 0; i < outside_.size(); ++i) {
        const Finding& f = outside_[i];
        if (f.More < 0) continue;
        const DriverRange& r = *ranges_[i];
        std::string text = subject_ + ": " + std::string(r.Symbol) + " " + ShortNumber(f.Value) + " on line " +
                           std::to_string(f.Line) + ": ";
        if (const std::string_view mixUp = MixUpOf(r, f.Value); !mixUp.empty())
            text += mixUp;
        else if (r.Symbol == "Ppt" && f.Value < 0)
            text += "negative precipitation";
        else
            text += "outside the range of real sites, " + ShortNumber(r.Low) + " to " + ShortNumber(r.High) + " " +
                    std::string(r.Units);
        check.Warnings.push_back(text + AndMore(f.More));
    }
    if (tminAboveTmax_.More >= 0)
        check.Warnings.push_back(subject_ + ": Tamin " + ShortNumber(tminAboveTmax_.Value) + " above Tamax " +
                                 ShortNumber(tminAboveTmax_.Other) + " on line " + std::to_string(tminAboveTmax_.Line) +
                                 AndMore(tminAboveTmax_.More));
    return check;
}

DriverCheck CheckDriverFile(const std::string& fileName, const std::string& subject, int numDrivers, bool ranges) {
    fileio::TextReader in(fileName);
    in.SkipLine();
    in.SkipLine();
    DriverChecker checker(subject, numDrivers, ranges);
    // A record's worth of numbers is kept of each line, whatever its length.
    const std::size_t kept = static_cast<std::size_t>(std::max(numDrivers, 0)) + 1;
    std::vector<double> numbers;
    numbers.reserve(kept);
    while (!in.AtEnd()) {
        const std::int64_t line = in.Line();
        numbers.clear();
        std::size_t count = 0;
        try {
            for (; !in.AtLineEnd(); ++count) {
                const double value = in.ReadNumber();
                if (count < kept) numbers.push_back(value);
            }
        } catch (const fileio::EInvalidNumber&) {
            break;  // the reader reports it, naming the value of the record
        }
        in.SkipLine();
        checker.AddLine(line, numbers, count);
    }
    return checker.Finish();
}
