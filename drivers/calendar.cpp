#include "drivers/calendar.h"

#include <cstdio>

namespace drivers {

namespace {

constexpr int MonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int DaysInMonth(int year, int month) noexcept { return month == 2 && IsLeapYear(year) ? 29 : MonthDays[month - 1]; }

bool ValidDate(const Date& d) noexcept {
    return d.Month >= 1 && d.Month <= 12 && d.Day >= 1 && d.Day <= DaysInMonth(d.Year, d.Month);
}

// `count` digits at `text[at]` as a number; false when any is no digit.
bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) noexcept {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool AllDigits(std::string_view text) noexcept {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

bool IsLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInYear(int year) noexcept { return IsLeapYear(year) ? 366 : 365; }

// The proleptic Gregorian day count of the civil-calendar algorithms: years
// shifted to start in March, so that the leap day is the last of its year.
long DayNumber(const Date& date) noexcept {
    const long y = date.Year - (date.Month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long m = date.Month;
    const long dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + date.Day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date DateOfDayNumber(long day) noexcept {
    day += 719468;
    const long era = (day >= 0 ? day : day - 146096) / 146097;
    const long dayOfEra = day - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long mp = (5 * dayOfYear + 2) / 153;
    Date d;
    d.Day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    d.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.Year = static_cast<int>(yearOfEra + era * 400 + (d.Month <= 2 ? 1 : 0));
    return d;
}

int DayOfYear(const Date& date) noexcept {
    return static_cast<int>(DayNumber(date) - DayNumber(Date{date.Year, 1, 1})) + 1;
}

bool DateOfDayOfYear(int year, int dayOfYear, Date& date) noexcept {
    if (dayOfYear < 1 || dayOfYear > DaysInYear(year)) return false;
    date = DateOfDayNumber(DayNumber(Date{year, 1, 1}) + dayOfYear - 1);
    return true;
}

std::string IsoText(const Date& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    return text;
}

bool ParseDate(std::string_view text, Date& date) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '"')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '"')) text.remove_suffix(1);
    Date d;
    if (text.size() >= 10 && text[4] == '-' && text[7] == '-') {
        if (!Digits(text, 0, 4, d.Year) || !Digits(text, 5, 2, d.Month) || !Digits(text, 8, 2, d.Day)) return false;
        if (text.size() > 10 && text[10] != ' ' && text[10] != 'T') return false;
    } else if ((text.size() == 8 || text.size() == 10 || text.size() == 12 || text.size() == 14) && AllDigits(text)) {
        Digits(text, 0, 4, d.Year);
        Digits(text, 4, 2, d.Month);
        Digits(text, 6, 2, d.Day);
    } else {
        return false;
    }
    if (!ValidDate(d)) return false;
    date = d;
    return true;
}

long ModelDay(const Date& date, int firstYear) noexcept {
    return static_cast<long>(ModelYearDays) * (date.Year - firstYear) + DayOfYear(date) - 1;
}

}  // namespace drivers
