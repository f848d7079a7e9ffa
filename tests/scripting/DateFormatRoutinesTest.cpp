// The date and format routines with their optional arguments, as the Brazilian workstation shows them.

#include "ScriptFixture.h"
#include "support/Printing.h"

TEST_F(ScriptTest, FormatNumberTakesDigitsAndTheTristates)
{
    EXPECT_EQ(inVb("FormatNumber(1234.5)"), "String:1.234,50");
    EXPECT_EQ(inVb("FormatNumber(1234.5, 2, -2, -2, 0)"), "String:1234,50");
    EXPECT_EQ(inVb("FormatNumber(1234.5, 0)"), "String:1.235");
    EXPECT_EQ(inVb("FormatNumber(1234.5, -1)"), "String:1.234,50");
    EXPECT_EQ(inVb("FormatNumber(0.5, 1, 0)"), "String:,5");
    EXPECT_EQ(inVb("FormatNumber(0.5, 1, vbTrue)"), "String:0,5");
    EXPECT_EQ(inVb("FormatNumber(-3, 0, -1, -1)"), "String:(3)");
    EXPECT_EQ(inVb("FormatNumber(-3, 1)"), "String:-3,0");
    EXPECT_EQ(inVb("FormatNumber(-0.001, 2)"), "String:0,00");
    EXPECT_EQ(inVb("FormatNumber(\"1,5\")"), "String:1,50");
    EXPECT_EQ(inVb("FormatNumber(Null)"), "Null:");
    EXPECT_FALSE(run("x = FormatNumber(\"abc\")"));
    EXPECT_EQ(control.Error().Number, 13);
}

TEST_F(ScriptTest, FormatCurrencyAndPercent)
{
    EXPECT_EQ(inVb("FormatCurrency(1234.5)"), "String:R$ 1.234,50");
    EXPECT_EQ(inVb("FormatCurrency(-2)"), "String:-R$ 2,00");
    EXPECT_EQ(inVb("FormatCurrency(-2, 2, -1, -1)"), "String:(R$ 2,00)");
    EXPECT_EQ(inVb("FormatCurrency(1234.5, 0, -2, -2, 0)"), "String:R$ 1235");
    EXPECT_EQ(inVb("FormatPercent(0.125)"), "String:12,50%");
    EXPECT_EQ(inVb("FormatPercent(0.125, 0)"), "String:13%");
    EXPECT_EQ(inVb("FormatPercent(-12.5, 1, -2, -2, 0)"), "String:-1250,0%");
    EXPECT_FALSE(run("x = FormatPercent(1e308)"));
    EXPECT_EQ(control.Error().Number, vb::ErrNo::Overflow);
}

TEST_F(ScriptTest, FormatDateTimeStyles)
{
    const QString d = QStringLiteral("#1/31/2026 10:30:05#");
    EXPECT_EQ(inVb("FormatDateTime(" + d + ")"), "String:31/01/2026 10:30:05");
    EXPECT_EQ(inVb("FormatDateTime(" + d + ", vbShortDate)"), "String:31/01/2026");
    EXPECT_EQ(inVb("FormatDateTime(" + d + ", vbLongDate)"), "String:sábado, 31 de janeiro de 2026");
    EXPECT_EQ(inVb("FormatDateTime(" + d + ", vbLongTime)"), "String:10:30:05");
    EXPECT_EQ(inVb("FormatDateTime(" + d + ", vbShortTime)"), "String:10:30");
    EXPECT_EQ(output("SetLocale 1033: Out.Put FormatDateTime(" + d + "): Out.Put FormatDateTime(" + d +
                     ", 1): Out.Put FormatCurrency(-2): SetLocale 0"),
              (QStringList{"1/31/2026 10:30:05 AM", "Saturday, January 31, 2026", "($2.00)"}));
    EXPECT_FALSE(run("x = FormatDateTime(Now, 5)"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, NamesOfMonthsAndWeekdays)
{
    EXPECT_EQ(inVb("MonthName(12)"), "String:dezembro");
    EXPECT_EQ(inVb("MonthName(2, True)"), "String:fev");
    EXPECT_EQ(inVb("WeekdayName(1)"), "String:domingo");
    EXPECT_EQ(inVb("WeekdayName(1, False, vbMonday)"), "String:segunda-feira");
    EXPECT_EQ(inVb("WeekdayName(7, True, vbMonday)"), "String:dom");
    EXPECT_EQ(inVb("WeekdayName(Weekday(#1/1/2026#))"), "String:quinta-feira");
    for (const char* bad : {"x = MonthName(13)", "x = WeekdayName(0)", "x = WeekdayName(1, False, 8)"}) {
        EXPECT_FALSE(run(bad)) << bad;
        EXPECT_EQ(control.Error().Number, 5) << bad;
    }
}

TEST_F(ScriptTest, DatePartWithFirstDayAndFirstWeek)
{
    EXPECT_EQ(inVb("DatePart(\"q\", #5/5/2026#)"), "Long:2");
    EXPECT_EQ(inVb("DatePart(\"y\", #2/1/2026#)"), "Long:32");
    EXPECT_EQ(inVb("DatePart(\"w\", #1/1/2026#, vbMonday)"), "Long:4");
    EXPECT_EQ(inVb("DatePart(\"ww\", #1/3/2026#)"), "Long:1");
    EXPECT_EQ(inVb("DatePart(\"ww\", #1/1/2026#, vbMonday, vbFirstFourDays)"), "Long:1");
    EXPECT_EQ(inVb("DatePart(\"ww\", #1/1/2027#, vbMonday, vbFirstFourDays)"), "Long:53");
    EXPECT_EQ(inVb("DatePart(\"ww\", #1/3/2026#, vbSunday, vbFirstFullWeek)"), "Long:52");
    EXPECT_EQ(inVb("DatePart(\"ww\", #1/4/2026#, vbSunday, vbFirstFullWeek)"), "Long:1");
    EXPECT_EQ(inVb("DatePart(\"h\", Null)"), "Null:");
    EXPECT_FALSE(run("x = DatePart(\"ww\", Now, 1, 4)"));
    EXPECT_EQ(control.Error().Number, 5);
}

TEST_F(ScriptTest, DateAndTimeValuesAndArithmetic)
{
    EXPECT_EQ(inVb("DateValue(\"31/01/2026 10:30\")"), "Date:31/01/2026");
    EXPECT_EQ(inVb("TimeValue(\"31/01/2026 10:30\")"), "Date:10:30:00");
    EXPECT_EQ(inVb("DateValue(#1/31/2026 23:59#)"), "Date:31/01/2026");
    EXPECT_EQ(inVb("TimeValue(Null)"), "Null:");
    EXPECT_EQ(inVb("DateDiff(\"d\", #1/1/2026#, #1/31/2026#, vbMonday, vbFirstFourDays)"), "Long:30");
    EXPECT_EQ(inVb("DateDiff(\"ww\", #1/1/2026#, #1/31/2026#, vbMonday)"), "Long:4");
    EXPECT_EQ(inVb("Weekday(#1/1/2026#, vbUseSystemDayOfWeek)"), "Long:5");
    EXPECT_EQ(inVb("Year(Date) = Year(Now)"), "Boolean:Verdadeiro");
    EXPECT_EQ(inVb("Int(Time) = 0"), "Boolean:Verdadeiro");
    EXPECT_EQ(inVb("TypeName(Timer)"), "String:Single");
}
