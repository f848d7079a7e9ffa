// Dates as the platform keeps them: days since 30/12/1899, with its calendar arithmetic.

#include "runtime/Date.h"
#include "runtime/Err.h"
#include "runtime/Format.h"

#include <functional>
#include <gtest/gtest.h>

using namespace vb;

namespace {

Date at(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return Date(DateSerial(y, m, d).serial + TimeSerial(h, n, s).serial);
}

long errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(DateSerialTest, KnownSerials)
{
    EXPECT_EQ(DateSerial(1899, 12, 30).serial, 0.0);
    EXPECT_EQ(DateSerial(1900, 1, 1).serial, 2.0);
    EXPECT_EQ(DateSerial(2023, 3, 15).serial, 45000.0);
    EXPECT_EQ(DateSerial(1899, 12, 29).serial, -1.0);
    EXPECT_EQ(TimeSerial(6, 0, 0).serial, 0.25);
    EXPECT_EQ(TimeSerial(12, 0, 0).serial, 0.5);
}

TEST(DateSerialTest, RollsOverLikeThePlatform)
{
    EXPECT_EQ(DateSerial(2026, 13, 1), DateSerial(2027, 1, 1));
    EXPECT_EQ(DateSerial(2026, 1, 32), DateSerial(2026, 2, 1));
    EXPECT_EQ(DateSerial(2026, 3, 0), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateSerial(2026, 0, 1), DateSerial(2025, 12, 1));
    EXPECT_EQ(DateSerial(2026, 2, 31), DateSerial(2026, 3, 3));
    EXPECT_EQ(DateSerial(26, 1, 1), DateSerial(2026, 1, 1));   // two-digit years: 1930..2029
    EXPECT_EQ(DateSerial(45, 1, 1), DateSerial(1945, 1, 1));
    EXPECT_EQ(TimeSerial(25, 0, 0).serial, 1.0 + 1.0 / 24);
    EXPECT_EQ(TimeSerial(10, 90, 0), TimeSerial(11, 30, 0));
    EXPECT_EQ(errorOf([] { DateSerial(10000, 1, 1); }), ErrNo::InvalidProcedureCall);
}

TEST(DateFieldsTest, FieldsOfADate)
{
    const Date d = at(2026, 12, 5, 14, 30, 15);
    EXPECT_EQ(Year(d), 2026);
    EXPECT_EQ(Month(d), 12);
    EXPECT_EQ(Day(d), 5);
    EXPECT_EQ(Hour(d), 14);
    EXPECT_EQ(Minute(d), 30);
    EXPECT_EQ(Second(d), 15);
    EXPECT_EQ(DateValue(d), DateSerial(2026, 12, 5));
    EXPECT_EQ(TimeValue(d), TimeSerial(14, 30, 15));
}

TEST(DateFieldsTest, WeekdaySundayIsOne)
{
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 6)), 1);   // a Sunday
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 5)), 7);   // a Saturday
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 7)), 2);
    EXPECT_EQ(Weekday(Date(0)), 7);                   // 30/12/1899 was a Saturday
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 7), vbMonday), 1);
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 6), vbMonday), 7);
    EXPECT_EQ(Weekday(Date(-1)), 6);
    EXPECT_EQ(errorOf([] { Weekday(Date(1), 8); }), ErrNo::InvalidProcedureCall);
}

TEST(DateFieldsTest, NegativeDatesKeepTheTimeAsAnAbsoluteFraction)
{
    const Date d(-1.25);
    EXPECT_EQ(Year(d), 1899);
    EXPECT_EQ(Month(d), 12);
    EXPECT_EQ(Day(d), 29);
    EXPECT_EQ(Hour(d), 6);
    EXPECT_EQ(DefaultDateText(d), "29/12/1899 06:00:00");
    EXPECT_EQ(DateAdd("h", 1, d), Date(-1.0 - 7.0 / 24));
    EXPECT_EQ(DateAdd("d", 1, d), Date(0.25));
    EXPECT_EQ(DateDiff("h", d, Date(0.25)), 24);
}

TEST(DateFieldsTest, RoundsToTheMillisecondBeforeReadingFields)
{
    const Date almost(45000.999999999);
    EXPECT_EQ(Day(almost), 16);
    EXPECT_EQ(Month(almost), 3);
    EXPECT_EQ(Hour(almost), 0);
    EXPECT_EQ(DateValue(almost), Date(45001));
    EXPECT_EQ(DefaultDateText(almost), "16/03/2023");

    const Date eleven = DateAdd("n", 1, at(2026, 1, 10, 10, 59));
    EXPECT_EQ(Hour(eleven), 11);
    EXPECT_EQ(Minute(eleven), 0);
    EXPECT_EQ(eleven, at(2026, 1, 10, 11, 0));
    // Adding minutes one by one lands exactly on the hour as well.
    Date t = at(2026, 1, 10, 10, 0);
    for (int i = 0; i < 60; ++i)
        t = DateAdd("n", 1, t);
    EXPECT_EQ(Hour(t), 11);
    EXPECT_EQ(Minute(t), 0);
    EXPECT_EQ(Second(t), 0);
}

TEST(DateAddTest, Intervals)
{
    const Date d = at(2026, 1, 10, 10, 30);
    EXPECT_EQ(DateAdd("d", 1, d), at(2026, 1, 11, 10, 30));
    EXPECT_EQ(DateAdd("D", -10, d), at(2025, 12, 31, 10, 30));
    EXPECT_EQ(DateAdd("y", 1, d), at(2026, 1, 11, 10, 30));
    EXPECT_EQ(DateAdd("w", 2, d), at(2026, 1, 12, 10, 30));
    EXPECT_EQ(DateAdd("ww", 1, d), at(2026, 1, 17, 10, 30));
    EXPECT_EQ(DateAdd("h", 14, d), at(2026, 1, 11, 0, 30));
    EXPECT_EQ(DateAdd("n", -31, d), at(2026, 1, 10, 9, 59));
    EXPECT_EQ(DateAdd("s", 30, d), at(2026, 1, 10, 10, 30, 30));
    EXPECT_EQ(DateAdd("m", 1, d), at(2026, 2, 10, 10, 30));
    EXPECT_EQ(DateAdd("q", 1, d), at(2026, 4, 10, 10, 30));
    EXPECT_EQ(DateAdd("yyyy", -1, d), at(2025, 1, 10, 10, 30));
    EXPECT_EQ(DateAdd("d", 1.9, d), at(2026, 1, 11, 10, 30));   // the fraction is dropped
    EXPECT_EQ(errorOf([&] { DateAdd("x", 1, d); }), ErrNo::InvalidProcedureCall);
}

TEST(DateAddTest, MonthsClampToTheMonthsEnd)
{
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2026, 1, 31)), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2024, 1, 31)), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateAdd("m", -1, DateSerial(2026, 3, 31)), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateAdd("m", 13, DateSerial(2026, 1, 31)), DateSerial(2027, 2, 28));
    EXPECT_EQ(DateAdd("yyyy", 1, DateSerial(2024, 2, 29)), DateSerial(2025, 2, 28));
    EXPECT_EQ(DateAdd("m", 3, at(2026, 11, 30, 8, 0)), at(2027, 2, 28, 8, 0));
}

TEST(DateDiffTest, CountsBoundariesCrossed)
{
    EXPECT_EQ(DateDiff("h", at(2026, 1, 10, 10, 59), at(2026, 1, 10, 11, 0)), 1);
    EXPECT_EQ(DateDiff("h", at(2026, 1, 10, 10, 0), at(2026, 1, 10, 10, 59)), 0);
    EXPECT_EQ(DateDiff("n", at(2026, 1, 10, 10, 0, 59), at(2026, 1, 10, 10, 1, 0)), 1);
    EXPECT_EQ(DateDiff("s", at(2026, 1, 10, 10, 0), at(2026, 1, 10, 10, 1)), 60);
    EXPECT_EQ(DateDiff("n", at(2026, 1, 10, 11, 0), at(2026, 1, 10, 10, 0)), -60);
    EXPECT_EQ(DateDiff("yyyy", at(2025, 12, 31, 23, 59), at(2026, 1, 1)), 1);
    EXPECT_EQ(DateDiff("m", DateSerial(2026, 1, 31), DateSerial(2026, 2, 1)), 1);
    EXPECT_EQ(DateDiff("m", DateSerial(2026, 1, 1), DateSerial(2026, 1, 31)), 0);
    EXPECT_EQ(DateDiff("q", DateSerial(2026, 3, 31), DateSerial(2026, 4, 1)), 1);
}

TEST(DateDiffTest, DaysIgnoreTimes)
{
    EXPECT_EQ(DateDiff("d", at(2026, 1, 10, 23, 59), at(2026, 1, 11, 0, 1)), 1);
    EXPECT_EQ(DateDiff("d", at(2026, 1, 10, 0, 0), at(2026, 1, 10, 23, 59)), 0);
    EXPECT_EQ(DateDiff("d", at(2026, 1, 12, 8, 0), at(2026, 1, 10, 20, 0)), -2);
    EXPECT_EQ(DateDiff("y", DateSerial(2026, 1, 1), DateSerial(2026, 12, 31)), 364);
}

TEST(DateDiffTest, Weeks)
{
    // "ww": Sundays crossed. 05/12/2026 is a Saturday, 06/12/2026 a Sunday.
    EXPECT_EQ(DateDiff("ww", DateSerial(2026, 12, 5), DateSerial(2026, 12, 6)), 1);
    EXPECT_EQ(DateDiff("ww", DateSerial(2026, 12, 6), DateSerial(2026, 12, 12)), 0);
    EXPECT_EQ(DateDiff("ww", DateSerial(2026, 12, 6), DateSerial(2026, 12, 13)), 1);
    EXPECT_EQ(DateDiff("ww", DateSerial(2026, 12, 6), DateSerial(2026, 12, 7), vbMonday), 1);
    // "w": whole weeks.
    EXPECT_EQ(DateDiff("w", DateSerial(2026, 12, 5), DateSerial(2026, 12, 6)), 0);
    EXPECT_EQ(DateDiff("w", DateSerial(2026, 12, 5), DateSerial(2026, 12, 12)), 1);
    EXPECT_EQ(DateDiff("w", DateSerial(2026, 12, 5), DateSerial(2026, 12, 18)), 1);
    EXPECT_EQ(DateDiff("w", DateSerial(2026, 12, 18), DateSerial(2026, 12, 5)), -1);
}

TEST(DatePartTest, Parts)
{
    const Date d = at(2026, 12, 5, 14, 30, 15);
    EXPECT_EQ(DatePart("yyyy", d), 2026);
    EXPECT_EQ(DatePart("q", d), 4);
    EXPECT_EQ(DatePart("m", d), 12);
    EXPECT_EQ(DatePart("y", d), 339);
    EXPECT_EQ(DatePart("d", d), 5);
    EXPECT_EQ(DatePart("w", d), 7);
    EXPECT_EQ(DatePart("h", d), 14);
    EXPECT_EQ(DatePart("n", d), 30);
    EXPECT_EQ(DatePart("s", d), 15);
    EXPECT_EQ(DatePart("ww", DateSerial(2026, 1, 1)), 1);   // a Thursday
    EXPECT_EQ(DatePart("ww", DateSerial(2026, 1, 3)), 1);
    EXPECT_EQ(DatePart("ww", DateSerial(2026, 1, 4)), 2);   // the first Sunday starts week 2
    EXPECT_EQ(errorOf([&] { DatePart("z", d); }), ErrNo::InvalidProcedureCall);
}

TEST(DateClockTest, NowTodayTimer)
{
    const Date now = Now();
    EXPECT_EQ(now, Date(DateValue(now).serial + TimeSerial(Hour(now), Minute(now), Second(now)).serial));
    const Date today = Today();
    EXPECT_EQ(today, DateValue(today));
    EXPECT_LE(std::abs(DateDiff("d", today, now)), 1);
    const double timer = Timer();
    EXPECT_GE(timer, 0.0);
    EXPECT_LT(timer, 86400.0);
}

TEST(DateQtTest, RoundTrip)
{
    const Date d = at(2026, 7, 15, 8, 45, 30);
    const QDateTime q = toQDateTime(d);
    EXPECT_EQ(q.date(), QDate(2026, 7, 15));
    EXPECT_EQ(q.time(), QTime(8, 45, 30));
    EXPECT_EQ(fromQDateTime(q), d);
    EXPECT_EQ(fromQDateTime(QDateTime()), Date());
    EXPECT_EQ(toQDateTime(Date(0)).date(), QDate(1899, 12, 30));
}

TEST(DateValidityTest, Parts)
{
    EXPECT_TRUE(isValidDateParts(2024, 2, 29));
    EXPECT_FALSE(isValidDateParts(2026, 2, 29));
    EXPECT_FALSE(isValidDateParts(2026, 2, 31));
    EXPECT_FALSE(isValidDateParts(2026, 4, 31));
    EXPECT_FALSE(isValidDateParts(2026, 13, 1));
    EXPECT_FALSE(isValidDateParts(2026, 1, 1, 24, 0, 0));
    EXPECT_FALSE(isValidDateParts(2026, 1, 1, 0, 60, 0));
    EXPECT_TRUE(isValidDateParts(2026, 1, 1, 23, 59, 59));
    EXPECT_TRUE(isValidDateParts(2000, 2, 29));
    EXPECT_FALSE(isValidDateParts(1900, 2, 29));
}
