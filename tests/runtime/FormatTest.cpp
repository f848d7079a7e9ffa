// Format with the platform's patterns on the Brazilian workstation.

#include "runtime/Format.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Format, DatePatternsOfTheProgram)
{
    const Date d(DateSerial(2026, 12, 5).serial + TimeSerial(14, 3, 9).serial);
    EXPECT_EQ(Format(d, "dd/mm/yyyy hh:nn:ss"), "05/12/2026 14:03:09");
    EXPECT_EQ(Format(d, "yyyymmdd-hhnnss"), "20261205-140309");
    EXPECT_EQ(Format(d, "yyyy-mm-dd hh:nn"), "2026-12-05 14:03");
    EXPECT_EQ(Format(d, "hh:mm:ss"), "14:03:09");   // mm after h is minutes
    EXPECT_EQ(Format(d, "d/m/yy"), "5/12/26");
    EXPECT_EQ(Format(d, "dddd, d \"de\" mmmm"), "sábado, 5 de dezembro");
    EXPECT_EQ(Format(d, "Short Time"), "14:03");
    EXPECT_EQ(Format(d), "05/12/2026 14:03:09");
    EXPECT_EQ(Format(DateSerial(2026, 12, 5)), "05/12/2026");
    EXPECT_EQ(Format(TimeSerial(10, 5, 0)), "10:05:00");
    // Numbers and date texts are formatted as dates; a text that is none comes back as it is.
    EXPECT_EQ(Format(45000.5, "dd/mm/yyyy hh:nn"), "15/03/2023 12:00");
    EXPECT_EQ(Format("31/01/2026 10:05", "yyyy-mm-dd hh:nn"), "2026-01-31 10:05");
    EXPECT_EQ(Format("abc", "dd/mm/yyyy"), "abc");
    // Seconds are shown at the nearest one.
    EXPECT_EQ(Format(Date(TimeSerial(10, 0, 0).serial + 0.6 / 86400), "hh:nn:ss"), "10:00:01");
}

TEST(Format, NumberPatternsRoundHalvesAwayFromZero)
{
    EXPECT_EQ(Format(1.23456, "0.000"), "1,235");
    EXPECT_EQ(Format(1234567.891, "#,##0.00"), "1.234.567,89");
    EXPECT_EQ(Format(-1234.5, "#,##0.00"), "-1.234,50");
    EXPECT_EQ(Format(999.999, "#,##0.00"), "1.000,00");
    EXPECT_EQ(Format(5, "00"), "05");
    EXPECT_EQ(Format(2.5, "0"), "3");
    EXPECT_EQ(Format(-2.5, "0"), "-3");
    EXPECT_EQ(Format(2.675, "0.00"), "2,68");
    EXPECT_EQ(Format(-0.001, "0.00"), "0,00");
    EXPECT_EQ(Format(1.5, "0.##"), "1,5");
    EXPECT_EQ(Format(0.256, "0.0%"), "25,6%");
    EXPECT_EQ(Format(-5, "0;(0)"), "(5)");
    EXPECT_EQ(Format(0, "0;(0);\"zero\""), "zero");
    EXPECT_EQ(Format(1e20, "0"), "100000000000000000000");
    EXPECT_EQ(Format("1,5", "0.00"), "1,50");
    EXPECT_EQ(Format("abc", "0.00"), "abc");
    EXPECT_EQ(Format(1234.5, "Standard"), "1.234,50");
}

TEST(Format, NullEmptyAndTexts)
{
    EXPECT_EQ(Format(Variant::Null(), "0.00"), "");
    EXPECT_EQ(Format(Variant(), "dd/mm/yyyy"), "");
    EXPECT_EQ(Format(1.5), "1,5");
    EXPECT_EQ(Format("abc", ">"), "ABC");
    EXPECT_EQ(Format("12", "@@@@"), "  12");
}
