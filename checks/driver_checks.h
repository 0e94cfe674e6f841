// Checks of a driver file's records that the reader cannot make: lines that
// do not hold one whole record (the reader then takes the missing values from
// the next line, or passes over the extra ones, and every later driver is
// misplaced), values no real site has (another unit, another column), and
// minimum temperatures above the maximum. The file formats allow all of
// this, so these are warnings; a file none of whose lines holds a record is
// refused.
//
// The checks work on what a caller has: the lines of a file as they stand
// (AddLine, which also puts the records together as the reader does), or
// records already read (AddRecord). Qt-free, for the command lines and the
// windows alike.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "checks/plausible_ranges.h"

struct DriverCheck {
    std::vector<std::string> Warnings;
    // Why the file cannot be run ("" when it can): no record line holds the
    // time and every driver.
    std::string Refusal;
};

class DriverChecker {
public:
    // `subject` names the file in the texts ("driver file 'd.drr'");
    // `numDrivers` values follow the time in a record. With `ranges` false
    // only the shape of the lines is checked (equations other than the
    // model's have no ranges).
    DriverChecker(std::string subject, int numDrivers, bool ranges = true);

    // One line after the two title lines, with the numbers on it (the time
    // first). Blank lines hold no numbers. A record of zeros ends the data,
    // as it does for the reader; lines after it are not looked at.
    void AddLine(std::int64_t line, std::span<const double> numbers) { AddLine(line, numbers, numbers.size()); }
    // The same for a line of `count` numbers of which only the first ones
    // are given (a record's worth is enough).
    void AddLine(std::int64_t line, std::span<const double> numbers, std::size_t count);
    // One record as read: its time and its numDrivers values, and the line it
    // starts on.
    void AddRecord(std::int64_t line, double time, std::span<const double> drivers);

    DriverCheck Finish() const;

private:
    // The first case of one kind of fault and how many more there are.
    struct Finding {
        std::int64_t Line = 0, More = -1;  // More -1: not found
        double Value = 0.0, Other = 0.0;
        void Add(std::int64_t line, double value, double other = 0.0);
    };
    void CheckShape(std::int64_t line, std::size_t count);

    std::string subject_;
    int numDrivers_;
    std::vector<const DriverRange*> ranges_;  // per driver from 0; null: no range
    std::vector<Finding> outside_;            // per driver from 0
    Finding tminAboveTmax_;
    int tamax_ = -1, tamin_ = -1;  // their positions among the drivers

    // The lines that do not hold one record: the first few named, the rest counted.
    std::vector<std::pair<std::int64_t, std::size_t>> misshapen_;
    std::int64_t moreMisshapen_ = 0;
    std::int64_t recordLines_ = 0, wholeLines_ = 0;
    std::size_t firstCount_ = 0;
    bool oneCount_ = true;  // every record line holds firstCount_ numbers

    std::vector<double> pending_;  // a record being put together across lines
    std::int64_t pendingLine_ = 0;
    bool ended_ = false;
};

// The lines of a driver file, read through the text layer and checked.
// The check stops at a text that is no number, which the reader reports.
// Throws EInOutError.
DriverCheck CheckDriverFile(const std::string& fileName, const std::string& subject, int numDrivers,
                            bool ranges = true);
