#include "scheduling/calendar/ShiftDates_p.h"

#include <gtest/gtest.h>

TEST(DataDiaSemana, FirstMatchingDayFromTheBaseOn)
{
    // Monday 2 March 2026, 22:00.
    const vb::Date monday(vb::DateSerial(2026, 3, 2).serial + vb::TimeSerial(22, 0, 0).serial);
    ASSERT_EQ(vb::Weekday(monday), 2);
    // The base's own day counts, at midnight.
    EXPECT_EQ(modCalendario::DataDiaSemana(monday, 2), vb::DateSerial(2026, 3, 2));
    EXPECT_EQ(modCalendario::DataDiaSemana(monday, 3), vb::DateSerial(2026, 3, 3));
    EXPECT_EQ(modCalendario::DataDiaSemana(monday, 1), vb::DateSerial(2026, 3, 8));
    // No weekday matches: eight days on.
    EXPECT_EQ(modCalendario::DataDiaSemana(monday, 0), vb::DateSerial(2026, 3, 10));
    EXPECT_EQ(modCalendario::DataDiaSemana(monday, 8), vb::DateSerial(2026, 3, 10));
}
