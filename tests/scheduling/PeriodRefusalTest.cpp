#include "PlantDatabase.h"

#include "scheduling/clsPeriodo.h"

#include <gtest/gtest.h>

using test::at;
using test::vbDate;

TEST(clsPeriodo, RefusesAStartAfterItsEndAndLogsIt)
{
    test::PlantDatabase db;
    const QDate day(2026, 3, 2);

    // A fresh period ends at the zero date: a start written first is refused. Fim first, then Inicio, works.
    clsPeriodo p;
    p.setInicio(vbDate(at(day, 8, 15)));
    EXPECT_TRUE(p.Inicio().isZero());
    p.setFim(vbDate(at(day, 12)));
    p.setInicio(vbDate(at(day, 8, 15)));
    EXPECT_EQ(p.Inicio(), vbDate(at(day, 8, 15)));

    // An end before the start is refused too and the old end stays.
    p.setFim(vbDate(at(day.addDays(-1), 0)));
    EXPECT_EQ(p.Fim(), vbDate(at(day, 12)));

    // The bounds that would have resulted, in the default text of a date (midnight: the date alone; day 0:
    // the time alone).
    EXPECT_EQ(db.logTexts(), QStringList({"O Inicio não pode ser superior ao Fim,02/03/2026 08:15:00 - 00:00:00",
                                          "O Inicio não pode ser superior ao Fim,02/03/2026 08:15:00 - 01/03/2026"}));
}
