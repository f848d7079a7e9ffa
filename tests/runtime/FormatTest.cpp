// Format with the platform's patterns on the Brazilian workstation.

#include "runtime/Format.h"

#include <gtest/gtest.h>

using namespace vb;

namespace {

Date at(int y, int m, int d, int h = 0, int n = 0, int s = 0)
{
    return Date(DateSerial(y, m, d).serial + TimeSerial(h, n, s).serial);
}

}  // namespace

TEST(FormatDateTest, ProgramPatterns)
{
    const Date d = at(2026, 12, 5, 14, 3, 9);
    EXPECT_EQ(Format(d, "dd/mm/yyyy hh:nn:ss"), "05/12/2026 14:03:09");
    EXPECT_EQ(Format(d, "yyyymmdd-hhnnss"), "20261205-140309");
    EXPECT_EQ(Format(d, "yyyy-mm-dd hh:nn"), "2026-12-05 14:03");
    EXPECT_EQ(Format(d, "mm/dd/yyyy hh:nn"), "12/05/2026 14:03");
    EXPECT_EQ(Format(d, "dd/mm/yyyy"), "05/12/2026");
    EXPECT_EQ(Format(d, "DD/MM/YYYY"), "05/12/2026");
    EXPECT_EQ(Format(d, "hh:mm:ss"), "14:03:09");   // mm after h is minutes
    EXPECT_EQ(Format(d, "hh:nn"), "14:03");
    EXPECT_EQ(Format(d, "d/m/yy h:n:s"), "5/12/26 14:3:9");
}

TEST(FormatDateTest, NamesAndTexts)
{
    const Date d = at(2026, 12, 5, 14, 3, 9);
    EXPECT_EQ(Format(d, "ddd"), "sáb");
    EXPECT_EQ(Format(d, "dddd"), "sábado");
    EXPECT_EQ(Format(d, "mmm"), "dez");
    EXPECT_EQ(Format(d, "mmmm"), "dezembro");
    EXPECT_EQ(Format(d, "Short Date"), "05/12/2026");
    EXPECT_EQ(Format(d, "Long Time"), "14:03:09");
    EXPECT_EQ(Format(d, "Short Time"), "14:03");
    EXPECT_EQ(Format(d, "Long Date"), "sábado, 5 de dezembro de 2026");
    EXPECT_EQ(Format(d, "General Date"), "05/12/2026 14:03:09");
    EXPECT_EQ(Format(d, "hh:nn AM/PM"), "02:03 PM");
    EXPECT_EQ(Format(d, "\"dia\" d"), "dia 5");
    EXPECT_EQ(Format(d, "q"), "4");
}

TEST(FormatDateTest, OtherKindsAsDates)
{
    EXPECT_EQ(Format(45000.5, "dd/mm/yyyy hh:nn"), "15/03/2023 12:00");
    EXPECT_EQ(Format("31/01/2026 10:05", "yyyy-mm-dd hh:nn"), "2026-01-31 10:05");
    EXPECT_EQ(Format("abc", "dd/mm/yyyy"), "abc");
    EXPECT_EQ(Format(Date(0), "dd/mm/yyyy hh:nn"), "30/12/1899 00:00");
    // Seconds round to the nearest, as the platform reads a date.
    EXPECT_EQ(Format(Date(at(2026, 1, 1, 10, 0, 0).serial + 0.6 / 86400), "hh:nn:ss"), "10:00:01");
}

TEST(FormatDateTest, DefaultDateText)
{
    EXPECT_EQ(DefaultDateText(at(2026, 1, 31, 10, 5, 9)), "31/01/2026 10:05:09");
    EXPECT_EQ(DefaultDateText(DateSerial(2026, 1, 31)), "31/01/2026");
    EXPECT_EQ(DefaultDateText(TimeSerial(10, 5, 0)), "10:05:00");
    EXPECT_EQ(DefaultDateText(Date(0)), "00:00:00");
    EXPECT_EQ(Format(at(2026, 1, 31, 10, 5, 9)), "31/01/2026 10:05:09");
}

TEST(FormatNumberTest, Patterns)
{
    EXPECT_EQ(Format(1.23456, "0.000"), "1,235");
    EXPECT_EQ(Format(1234567.891, "#,##0.00"), "1.234.567,89");
    EXPECT_EQ(Format(5, "00"), "05");
    EXPECT_EQ(Format(123, "00"), "123");
    EXPECT_EQ(Format(0.5, "0"), "1");         // Format rounds halves away from zero
    EXPECT_EQ(Format(2.5, "0"), "3");
    EXPECT_EQ(Format(-2.5, "0"), "-3");
    EXPECT_EQ(Format(2.675, "0.00"), "2,68");
    EXPECT_EQ(Format(0.125, "0.00"), "0,13");
    EXPECT_EQ(Format(0, "#,##0.00"), "0,00");
    EXPECT_EQ(Format(-1234.5, "#,##0.00"), "-1.234,50");
    EXPECT_EQ(Format(999.999, "#,##0.00"), "1.000,00");
    EXPECT_EQ(Format(0.5, "#.00"), ",50");
    EXPECT_EQ(Format(1.5, "0.##"), "1,5");
    EXPECT_EQ(Format(2, "0.##"), "2,");
    EXPECT_EQ(Format(0.256, "0.0%"), "25,6%");
    EXPECT_EQ(Format(1.5, "0.0\"h\""), "1,5h");
    EXPECT_EQ(Format(-0.001, "0.00"), "0,00");
    EXPECT_EQ(Format(-5, "0;(0)"), "(5)");
    EXPECT_EQ(Format(0, "0;(0);\"zero\""), "zero");
    EXPECT_EQ(Format(1e15, "0"), "1000000000000000");
    EXPECT_EQ(Format(0.0001234, "0.000000"), "0,000123");
    EXPECT_EQ(Format(1234, "#,##0"), "1.234");
    EXPECT_EQ(Format(12, "#,##0"), "12");
    EXPECT_EQ(Format(1.0 / 3, "0.000"), "0,333");
    EXPECT_EQ(Format(0.4, "#"), "");
    EXPECT_EQ(Format(1e20, "0"), "100000000000000000000");
    EXPECT_EQ(Format(DateSerial(2026, 1, 1), "0.00"), "46023,00");
}

TEST(FormatNumberTest, NamedAndTexts)
{
    EXPECT_EQ(Format(1234.5, "Fixed"), "1234,50");
    EXPECT_EQ(Format(1234.5, "Standard"), "1.234,50");
    EXPECT_EQ(Format(0.5, "Percent"), "50,00%");
    EXPECT_EQ(Format(1234.5, "General Number"), "1234,5");
    EXPECT_EQ(Format("1,5", "0.00"), "1,50");
    EXPECT_EQ(Format("abc", "0.00"), "abc");
    EXPECT_EQ(Format(Currency::fromDouble(3.14159), "0.000"), "3,142");
    EXPECT_EQ(Format(true, "0"), "-1");
}

TEST(FormatTest, EmptyNullAndNoPattern)
{
    EXPECT_EQ(Format(Variant()), "");
    EXPECT_EQ(Format(Variant::Null(), "0.00"), "");
    EXPECT_EQ(Format(Variant(), "dd/mm/yyyy"), "");
    EXPECT_EQ(Format(1.5), "1,5");
    EXPECT_EQ(Format("texto"), "texto");
    EXPECT_EQ(Format("abc", ">"), "ABC");
    EXPECT_EQ(Format("ABC", "<"), "abc");
    EXPECT_EQ(Format("12", "@@@@"), "  12");
}
