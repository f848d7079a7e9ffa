#include "scheduling/PeriodRoutines.h"

#include <gtest/gtest.h>

namespace {

vb::Date at(int day, int hour, int minute = 0)
{
    return vb::Date(vb::DateSerial(2026, 3, day).serial + vb::TimeSerial(hour, minute, 0).serial);
}

}  // namespace

TEST(PeriodosSobrepoem, ClausesAndTouchingPeriods)
{
    const clsPeriodo p(at(2, 8), at(2, 12));
    EXPECT_EQ(p.Tempo("n"), 240);
    EXPECT_TRUE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 8), at(2, 12))));   // same bounds
    EXPECT_TRUE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 11), at(2, 14))));  // starts inside
    EXPECT_TRUE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 6), at(2, 9))));    // ends inside
    EXPECT_TRUE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 7), at(2, 13))));   // covers

    // Touching periods never overlap, in either order.
    EXPECT_FALSE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 12), at(2, 14))));
    EXPECT_FALSE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 6), at(2, 8))));
    EXPECT_FALSE(Modulo::PeriodosSobrepoem(clsPeriodo(at(2, 12), at(2, 14)), p));

    // A zero-length period at P's end overlaps; one ending with P but starting before does not, though P
    // overlaps it: the test is not symmetric.
    EXPECT_TRUE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 12), at(2, 12))));
    EXPECT_FALSE(Modulo::PeriodosSobrepoem(p, clsPeriodo(at(2, 6), at(2, 12))));
    EXPECT_TRUE(Modulo::PeriodosSobrepoem(clsPeriodo(at(2, 6), at(2, 12)), p));
}

TEST(OrdenaPeriodosPosto, SortsByStartKeepingEqualStartsInOrder)
{
    std::vector<clsPeriodoPosto> candidates{{at(2, 10), at(2, 11), "S2"}, {at(2, 9), at(2, 12), "S1"},
                                            {at(2, 10), at(2, 12), "S3"}, {at(2, 9), at(2, 10), "S4"}};
    Modulo::OrdenaPeriodosPosto(candidates);
    QStringList order;
    for (const auto& c : candidates)
        order << c.Posto;
    EXPECT_EQ(order, QStringList({"S1", "S4", "S2", "S3"}));
    EXPECT_EQ(candidates[0].Fim, at(2, 12));  // the fields travel together
}
