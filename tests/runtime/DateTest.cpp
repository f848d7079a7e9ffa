// Dates as the platform keeps them: days since 30/12/1899, with its calendar arithmetic.

#include "runtime/Date.h"
#include "runtime/Format.h"
#include "support/ErrorNumber.h"

#include <gtest/gtest.h>

using namespace vb;
using test::errorNumber;

namespace {

// Made while the program's files are still being initialised, before or after the runtime's own.
const Date madeAtStart = DateSerial(2023, 3, 15);

Date at(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return Date(DateSerial(y, m, d).serial + TimeSerial(h, n, s).serial);
}

}  // namespace

TEST(DateSerial, SerialsAndRollOver)
{
    EXPECT_EQ(DateSerial(1899, 12, 30).serial, 0.0);
    EXPECT_EQ(DateSerial(2023, 3, 15).serial, 45000.0);
    EXPECT_EQ(TimeSerial(6, 0, 0).serial, 0.25);
    EXPECT_EQ(DateSerial(2026, 13, 1), DateSerial(2027, 1, 1));
    EXPECT_EQ(DateSerial(2026, 3, 0), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateSerial(2026, 2, 31), DateSerial(2026, 3, 3));
    EXPECT_EQ(DateSerial(26, 1, 1), DateSerial(2026, 1, 1));   // two-digit years: 1930..2029
    EXPECT_EQ(DateSerial(45, 1, 1), DateSerial(1945, 1, 1));
    EXPECT_EQ(TimeSerial(10, 90, 0), TimeSerial(11, 30, 0));
    EXPECT_EQ(errorNumber([] { DateSerial(10000, 1, 1); }), ErrNo::InvalidProcedureCall);
    EXPECT_EQ(madeAtStart.serial, 45000.0);
}

TEST(DateFields, WeekdaySundayIsOneAndNegativeSerialsKeepTheirTime)
{
    const Date d = at(2026, 12, 5, 14, 30, 15);
    EXPECT_EQ(Year(d) * 10000 + Month(d) * 100 + Day(d), 20261205);
    EXPECT_EQ(Hour(d) * 10000 + Minute(d) * 100 + Second(d), 143015);
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 6)), 1);   // a Sunday
    EXPECT_EQ(Weekday(d), 7);
    EXPECT_EQ(Weekday(DateSerial(2026, 12, 7), vbMonday), 1);
    EXPECT_EQ(errorNumber([] { Weekday(Date(1), 8); }), ErrNo::InvalidProcedureCall);

    const Date beforeEpoch(-1.25);   // 29/12/1899 06:00: the fraction is the time, whatever the sign
    EXPECT_EQ(DefaultDateText(beforeEpoch), "29/12/1899 06:00:00");
    EXPECT_EQ(DateAdd("d", 1, beforeEpoch), Date(0.25));
    EXPECT_EQ(DateDiff("h", beforeEpoch, Date(0.25)), 24);
}

TEST(DateFields, ReadAtTheNearestMillisecondSoMinutesAddUpToTheHour)
{
    const Date almost(45000.999999999);
    EXPECT_EQ(DateValue(almost), Date(45001));
    EXPECT_EQ(Hour(almost), 0);

    EXPECT_EQ(DateAdd("n", 1, at(2026, 1, 10, 10, 59)), at(2026, 1, 10, 11, 0));
    Date t = at(2026, 1, 10, 10, 0);
    for (int i = 0; i < 60; ++i)
        t = DateAdd("n", 1, t);
    EXPECT_EQ(t, at(2026, 1, 10, 11, 0));
}

TEST(DateAdd, IntervalsAndMonthEnds)
{
    const Date d = at(2026, 1, 10, 10, 30);
    EXPECT_EQ(DateAdd("D", -10, d), at(2025, 12, 31, 10, 30));
    EXPECT_EQ(DateAdd("ww", 1, d), at(2026, 1, 17, 10, 30));
    EXPECT_EQ(DateAdd("h", 14, d), at(2026, 1, 11, 0, 30));
    EXPECT_EQ(DateAdd("n", -31, d), at(2026, 1, 10, 9, 59));
    EXPECT_EQ(DateAdd("q", 1, d), at(2026, 4, 10, 10, 30));
    EXPECT_EQ(DateAdd("d", 1.9, d), at(2026, 1, 11, 10, 30));   // the fraction is dropped
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2026, 1, 31)), DateSerial(2026, 2, 28));
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2024, 1, 31)), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateAdd("yyyy", 1, DateSerial(2024, 2, 29)), DateSerial(2025, 2, 28));
    EXPECT_EQ(errorNumber([&] { DateAdd("x", 1, d); }), ErrNo::InvalidProcedureCall);
}

TEST(DateAdd, NumbersBeyondTheCalendarFailInsteadOfWrapping)
{
    const Date d = at(2026, 1, 10, 10, 30);
    for (const char* interval : {"yyyy", "q", "m", "d", "ww", "h", "n", "s"}) {
        for (double number : {1e300, -1e300, 1e19, 4e6 * 86400})
            EXPECT_EQ(errorNumber([&] { DateAdd(interval, number, d); }), ErrNo::InvalidProcedureCall)
                << interval << " " << number;
    }
    EXPECT_EQ(DateAdd("s", 86400.0 * 365, d), at(2027, 1, 10, 10, 30));
}

TEST(DateDiff, CountsBoundariesCrossed)
{
    EXPECT_EQ(DateDiff("h", at(2026, 1, 10, 10, 59), at(2026, 1, 10, 11, 0)), 1);
    EXPECT_EQ(DateDiff("h", at(2026, 1, 10, 10, 0), at(2026, 1, 10, 10, 59)), 0);
    EXPECT_EQ(DateDiff("n", at(2026, 1, 10, 11, 0), at(2026, 1, 10, 10, 0)), -60);
    EXPECT_EQ(DateDiff("d", at(2026, 1, 10, 23, 59), at(2026, 1, 11, 0, 1)), 1);   // days ignore times
    EXPECT_EQ(DateDiff("d", at(2026, 1, 10, 0, 0), at(2026, 1, 10, 23, 59)), 0);
    EXPECT_EQ(DateDiff("m", DateSerial(2026, 1, 31), DateSerial(2026, 2, 1)), 1);
    EXPECT_EQ(DateDiff("yyyy", at(2025, 12, 31, 23, 59), at(2026, 1, 1)), 1);
    // "ww" counts Sundays crossed, "w" whole weeks; 05/12/2026 is a Saturday.
    EXPECT_EQ(DateDiff("ww", DateSerial(2026, 12, 5), DateSerial(2026, 12, 6)), 1);
    EXPECT_EQ(DateDiff("w", DateSerial(2026, 12, 5), DateSerial(2026, 12, 6)), 0);
    EXPECT_EQ(DateDiff("w", DateSerial(2026, 12, 18), DateSerial(2026, 12, 5)), -1);
}

TEST(DatePart, WeekOneHoldsTheFirstOfJanuary)
{
    EXPECT_EQ(DatePart("y", DateSerial(2026, 12, 5)), 339);
    EXPECT_EQ(DatePart("q", DateSerial(2026, 12, 5)), 4);
    EXPECT_EQ(DatePart("ww", DateSerial(2026, 1, 3)), 1);
    EXPECT_EQ(DatePart("ww", DateSerial(2026, 1, 4)), 2);   // the first Sunday starts week 2
    EXPECT_EQ(errorNumber([] { DatePart("z", Date()); }), ErrNo::InvalidProcedureCall);
}

TEST(DateClock, NowHasWholeSecondsAndQtRoundTrips)
{
    const Date now = Now();
    EXPECT_EQ(now, Date(DateValue(now).serial + TimeSerial(Hour(now), Minute(now), Second(now)).serial));
    const Date today = Today();
    EXPECT_EQ(today, DateValue(today));
    // The clock is read apart from Qt's: both must tell the same local time (a wrong zone is hours off).
    const qint64 apart = toQDateTime(NowWithMilliseconds()).msecsTo(QDateTime::currentDateTime());
    EXPECT_LT(std::abs(apart), 2000);
    EXPECT_NEAR(Timer(), QTime::currentTime().msecsSinceStartOfDay() / 1000.0, 2.0);

    const Date d = at(2026, 7, 15, 8, 45, 30);
    EXPECT_EQ(toQDateTime(d), QDateTime(QDate(2026, 7, 15), QTime(8, 45, 30)));
    EXPECT_EQ(fromQDateTime(toQDateTime(d)), d);
    EXPECT_EQ(fromQDateTime(QDateTime()), Date());
}

TEST(DateText, LongRunsOfDigitsAreRefused)
{
    Date d;
    EXPECT_FALSE(DateFromText("1/1/2026 12345678901:00", d));
    EXPECT_FALSE(DateFromText("99999999999/1/2026", d));
    EXPECT_FALSE(DateFromText("1/1/2026 10:00:123456789012345", d));
    EXPECT_TRUE(DateFromText("01/01/2026 10:00", d));
}

TEST(DateText, MonthNamesAndMeridiemsAreRead)
{
    const auto read = [](const char* text) {
        Date d;
        return DateFromText(QString::fromUtf8(text), d) ? d : Date(-1);
    };
    const Date jan31 = at(2026, 1, 31);
    for (const char* text : {"31 jan 2026", "31 de janeiro de 2026", "janeiro 31, 2026", "Jan 31, 2026",
                             "31-jan-2026", "31 JANUARY 2026", "31.Jan.26"})
        EXPECT_EQ(read(text), jan31) << text;
    EXPECT_EQ(read("5 de março de 2026"), at(2026, 3, 5));
    EXPECT_EQ(read("5 marco 2026"), at(2026, 3, 5));
    EXPECT_EQ(read("1 dez 2026"), at(2026, 12, 1));
    EXPECT_EQ(read("1 Oct 2026"), at(2026, 10, 1));
    EXPECT_EQ(read("10:00 PM"), TimeSerial(22, 0, 0));
    EXPECT_EQ(read("12:15 am"), TimeSerial(0, 15, 0));
    EXPECT_EQ(read("12:15 PM"), TimeSerial(12, 15, 0));
    EXPECT_EQ(read("7 PM"), TimeSerial(19, 0, 0));
    EXPECT_EQ(read("31/01/2026 10:30 AM"), at(2026, 1, 31, 10, 30));
    EXPECT_EQ(read("Jan 31, 2026 10:30:05 PM"), at(2026, 1, 31, 22, 30, 5));
    EXPECT_EQ(read("31 jan 2026 18:00"), at(2026, 1, 31, 18));
    EXPECT_EQ(read("15 de março"), at(Year(Today()), 3, 15));
    EXPECT_EQ(read("jan 2026"), at(2026, 1, 1));
    EXPECT_EQ(read("5/3"), at(Year(Today()), 3, 5));
    EXPECT_EQ(read("05/03 10:30"), at(Year(Today()), 3, 5, 10, 30));
    EXPECT_EQ(read("janeiro de 2026 10:00 PM"), at(2026, 1, 1, 22));

    for (const char* text : {"31 fev 2026", "31 jab 2026", "31 jan jan 2026", "13:00 PM", "PM", "32 jan", "jan 226", "5/13", "5/3x", "5/3/", "5-3",
                             "jan 2026 31 10", "2026 31 jan", "10:00 XM", "31 jan 2026 am"})
        EXPECT_EQ(read(text), Date(-1)) << text;
}
