#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/SequenceMode.h"
#include "support/FakeUiServices.h"

#include <gtest/gtest.h>

using test::storedMoment;

TEST(SequenceMode, OperationsWaitForWhatTheyDependOn)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    p.addStation("B", 2);
    p.addStation("C", 3);
    p.addStation("S", 4, schema::ServicesGroup);
    p.plant().addTreatment(1, "Banho", std::nullopt);

    // The assembly is stage 0 here, so it comes first in the list and has to wait for its part.
    p.plant().addWorkOrder({.number = 1, .date = p.at(0, 0), .delivery = p.at(9, 0)});
    const int assembly = p.plant().addPosition({.workOrder = 1, .stage = 0});
    const int part = p.plant().addPosition({.workOrder = 1, .parent = assembly, .stage = 1});
    const int join = p.plant().addOperation({.position = assembly, .sequence = 10, .station = "A", .unitMinutes = 20});
    const int cut = p.plant().addOperation({.position = part, .sequence = 10, .station = "A", .unitMinutes = 60});
    const int bend = p.plant().addOperation({.position = part, .sequence = 20, .station = "B", .unitMinutes = 30});
    p.plant().queueWorkOrder(1);

    // A concluded predecessor does not push; short operations take 5 minutes; lead time is the treatment's.
    p.plant().addWorkOrder({.number = 2, .date = p.at(0, 0), .delivery = p.at(9, 0)});
    const int other = p.plant().addPosition({.workOrder = 2, .stage = 0});
    const int done = p.plant().addOperation({.position = other, .sequence = 10, .station = "C", .concluded = 1});
    const int quick = p.plant().addOperation({.position = other, .sequence = 20, .station = "C", .unitMinutes = 3});
    const int bath = p.plant().addOperation(
        {.position = other, .sequence = 30, .station = "S", .leadTimeDays = 1, .treatment = 1});
    p.plant().addBooking(done, "C", p.at(1, 8), p.at(1, 10));
    p.plant().queueWorkOrder(2);

    // Never placed: its first operation does not fit in the calendar, so the second waits for ever.
    p.plant().addWorkOrder({.number = 3, .date = p.at(0, 0), .delivery = p.at(9, 0)});
    const int blocked = p.plant().addPosition({.workOrder = 3, .stage = 2});
    p.plant().addOperation({.position = blocked, .sequence = 10, .station = "B", .unitMinutes = 400000});
    const int waiting = p.plant().addOperation({.position = blocked, .sequence = 20, .station = "C", .unitMinutes = 5});
    p.plant().queueWorkOrder(3);
    p.start();
    Modulo::ModoSequencia = true;

    modMonta::MontaPorSequencia(p.window);
    EXPECT_EQ(p.booking(cut).start, p.at(0, 8));
    EXPECT_EQ(p.booking(bend).start, p.at(0, 9, 1));
    EXPECT_EQ(p.booking(join).start, p.at(0, 9, 32));  // after the part's last operation
    EXPECT_EQ(p.booking(join).end, p.at(0, 9, 52));
    EXPECT_EQ(p.booking(quick).start, p.at(0, 8));
    EXPECT_EQ(p.booking(quick).end, p.at(0, 8, 5));
    EXPECT_EQ(p.booking(bath).start, p.at(0, 8, 6));
    EXPECT_EQ(p.booking(bath).end, p.at(3, 8, 6));
    EXPECT_TRUE(p.booking(waiting).station.isEmpty());
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());

    // Each placement is written into the operation at once.
    EXPECT_EQ(storedMoment(p.operationValue(join, "Inicio")), p.at(0, 9, 32));
    EXPECT_EQ(storedMoment(p.operationValue(join, "Data")), p.at(0, 0));

    // All stage 0 entries come first: the part's operations are placed after the second work order's.
    EXPECT_EQ(p.window.maximum, 7);
    EXPECT_EQ(p.window.texts.value(0), "Programa Inserido 2 restando: 6");
    EXPECT_EQ(p.window.texts.last(), "Programa Inserido 1 restando: 2");
    EXPECT_EQ(p.window.values.mid(0, 3), QList<std::int32_t>({0, 0, 1}));
}
