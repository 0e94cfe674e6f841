// Calendar dates and the model's calendar. The model year has 366 days and
// starts whenever the integral part of the time is a multiple of 366, so a
// station's calendar year k (counted from the first year of its file) starts
// at model day 366 k, 1 January being its first day. A 365-day year leaves
// the model's last day of that year without a calendar day of its own.
#pragma once

#include <string>
#include <string_view>

namespace drivers {

inline constexpr int ModelYearDays = 366;

struct Date {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    bool operator==(const Date&) const = default;
};

bool IsLeapYear(int year) noexcept;
int DaysInYear(int year) noexcept;
// Days since 1970-01-01 (negative before it), and back.
long DayNumber(const Date& date) noexcept;
Date DateOfDayNumber(long day) noexcept;
// 1 for 1 January.
int DayOfYear(const Date& date) noexcept;
// The date of day `dayOfYear` (from 1) of `year`; false when the year has no such day.
bool DateOfDayOfYear(int year, int dayOfYear, Date& date) noexcept;
// "2020-02-29".
std::string IsoText(const Date& date);

// A date as station files write it: "2020-02-29", optionally followed by a
// time of day ("2020-02-29 13:30", "2020-02-29T13:30:00Z"), or the compact
// "20200229" and "202002291330". Only the date is kept; false when the text
// is none of these or names no real day.
bool ParseDate(std::string_view text, Date& date);

// The model day of a date in a file whose first calendar year is `firstYear`.
long ModelDay(const Date& date, int firstYear) noexcept;

}  // namespace drivers
