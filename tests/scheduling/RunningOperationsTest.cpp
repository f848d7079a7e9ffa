#include "SchedulerPlant.h"

#include "scheduling/Rescheduling.h"

#include <gtest/gtest.h>

using test::storedMoment;

TEST(RunningOperations, ArePlacedFirstAtTheirActualStart)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    const QList<int> first = p.addWorkOrder(1, {{.station = "A", .setupMinutes = 180}});
    const QList<int> second = p.addWorkOrder(2, {{.station = "A", .setupMinutes = 30}, {.station = "A", .setupMinutes = 20}});
    const QList<int> stuck = p.addWorkOrder(3, {{.station = "A", .setupMinutes = 400000}});
    p.plant().addExecution({.operation = second[0], .start = p.at(0, 10)});
    p.plant().addExecution({.operation = stuck[0], .start = p.at(0, 16)});
    p.plant().addExecution({.operation = first[0], .start = p.at(0, 9), .end = p.at(0, 9, 30), .running = false});
    p.start();

    ASSERT_TRUE(modMonta::rescheduleAll(p.window));
    EXPECT_EQ(p.booking(second[0]).start, p.at(0, 10));  // whatever else is queued before it
    EXPECT_EQ(p.booking(second[0]).end, p.at(0, 10, 30));
    EXPECT_EQ(p.booking(first[0]).start, p.at(0, 10, 30));  // 180 minutes do not fit before it
    EXPECT_EQ(p.booking(first[0]).end, p.at(0, 14, 30));
    EXPECT_EQ(p.booking(second[1]).start, p.at(0, 14, 30));
    EXPECT_EQ(storedMoment(p.operationValue(first[0], "Termino")), p.at(0, 14, 30));  // times copied back
    EXPECT_TRUE(p.log().contains(QStringLiteral("O programa %1 da O.S.: 3, que esta em execução falhou ao ser "
                                                "inserido no vorna.")
                                     .arg(stuck[0])));
    EXPECT_EQ(p.window.maximum, 3);
    EXPECT_EQ(p.window.values, QList<std::int32_t>({0, 1, 2, 3}));
}
