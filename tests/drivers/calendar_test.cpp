#include <gtest/gtest.h>

#include "drivers/calendar.h"

namespace {

using drivers::Date;

TEST(Calendar, DayNumbersRunWithoutGapsThroughCenturiesAndLeapDays) {
    long day = drivers::DayNumber(Date{1899, 12, 31});
    for (int year = 1900; year <= 2100; ++year)
        for (int doy = 1; doy <= drivers::DaysInYear(year); ++doy) {
            Date date;
            ASSERT_TRUE(drivers::DateOfDayOfYear(year, doy, date));
            ASSERT_EQ(drivers::DayNumber(date), ++day) << drivers::IsoText(date);
            ASSERT_EQ(drivers::DateOfDayNumber(day), date);
            ASSERT_EQ(drivers::DayOfYear(date), doy);
        }
    EXPECT_EQ(drivers::DayNumber(Date{1970, 1, 1}), 0);
    EXPECT_FALSE(drivers::IsLeapYear(1900));
    EXPECT_TRUE(drivers::IsLeapYear(2000));
    Date none;
    EXPECT_FALSE(drivers::DateOfDayOfYear(2019, 366, none));
}

TEST(Calendar, DatesAreReadInTheFormsStationAndTowerFilesWrite) {
    Date d;
    ASSERT_TRUE(drivers::ParseDate("2020-02-29", d));
    EXPECT_EQ(d, (Date{2020, 2, 29}));
    ASSERT_TRUE(drivers::ParseDate("2020-02-29 23:30", d));
    EXPECT_EQ(d, (Date{2020, 2, 29}));
    ASSERT_TRUE(drivers::ParseDate("2021-07-01T00:00:00Z", d));
    EXPECT_EQ(d, (Date{2021, 7, 1}));
    ASSERT_TRUE(drivers::ParseDate("202107011330", d));
    EXPECT_EQ(d, (Date{2021, 7, 1}));
    ASSERT_TRUE(drivers::ParseDate("20210701", d));
    EXPECT_EQ(d, (Date{2021, 7, 1}));
    for (const char* text : {"2019-02-29", "2019-13-01", "2019-1-1", "01/07/2021", "2021-07-01x", "", "2021070"})
        EXPECT_FALSE(drivers::ParseDate(text, d)) << text;
}

TEST(Calendar, EachCalendarYearStartsAtAWholeModelYear) {
    EXPECT_EQ(drivers::ModelDay(Date{2019, 1, 1}, 2019), 0);
    EXPECT_EQ(drivers::ModelDay(Date{2019, 12, 31}, 2019), 364);
    EXPECT_EQ(drivers::ModelDay(Date{2020, 1, 1}, 2019), 366);
    EXPECT_EQ(drivers::ModelDay(Date{2020, 12, 31}, 2019), 731);
    EXPECT_EQ(drivers::ModelDay(Date{2023, 1, 1}, 2019), 4 * 366);
}

}  // namespace
