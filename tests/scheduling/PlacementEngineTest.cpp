#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/placement/PlacementEngine_p.h"
#include "scheduling/SchedulerState.h"

#include <gtest/gtest.h>

using test::storedMoment;
using test::vbDate;

namespace {

class PlacementEngine : public testing::Test {
protected:
    // Places one operation straight through the engine, as a first operation of stage 0.
    bool place(int operation, const QString& station, double minutes, const QDateTime& earliest, int previous = 0,
               double remaining = 1)
    {
        QString posto = station;
        return modMonta::AlocaPrograma(operation, previous, 0, 0, previous == 0, 1, 0, 1, remaining, minutes, posto,
                                       false, false, vbDate(earliest));
    }

    QDateTime stored(int operation, const QString& column) { return storedMoment(p.operationValue(operation, column)); }

    test::SchedulerPlant p;
};

}  // namespace

TEST_F(PlacementEngine, OperationsFollowTheirPredecessorsAndStagesByOneMinute)
{
    p.addStation("A", 1);
    p.addStation("B", 2);
    p.plant().addWorkOrder({.number = 10, .date = p.at(0, 0), .delivery = p.at(5, 17)});
    const int first = p.plant().addPosition({.workOrder = 10, .stage = 0});
    const int second = p.plant().addPosition({.workOrder = 10, .stage = 1});
    const int cut = p.plant().addOperation({.position = first, .sequence = 10, .station = "A", .setupMinutes = 60});
    const int bend = p.plant().addOperation({.position = first, .sequence = 20, .station = "B", .setupMinutes = 10,
                                             .unitMinutes = 2, .reportedQuantity = 0});
    const int weld = p.plant().addOperation({.position = second, .sequence = 10, .station = "A", .unitMinutes = 15});
    p.plant().execute(QStringLiteral("UPDATE CadPos SET Quant = 10 WHERE Auto = %1").arg(first));
    p.plant().queueWorkOrder(10);
    p.start();

    ASSERT_TRUE(p.insert(10));
    EXPECT_EQ(p.booking(cut).start, p.at(0, 8));
    EXPECT_EQ(p.booking(cut).end, p.at(0, 9));
    EXPECT_EQ(p.booking(bend).start, p.at(0, 9, 1));  // 10 pieces of 2 minutes and 10 of set-up
    EXPECT_EQ(p.booking(bend).end, p.at(0, 9, 31));
    EXPECT_EQ(p.booking(weld).start, p.at(0, 9, 32));  // after the whole first stage
    EXPECT_EQ(p.booking(weld).station, "A");

    // The stand-alone insertion copied the times into the operations.
    EXPECT_EQ(stored(bend, "Inicio"), p.at(0, 9, 1));
    EXPECT_EQ(stored(bend, "Termino"), p.at(0, 9, 31));
    EXPECT_EQ(stored(bend, "Data"), p.at(0, 0));

    // A predecessor ending exactly at the start pushes it one minute; one ending a minute earlier does not.
    p.plant().addBooking(900, "B", p.at(1, 8), p.at(1, 10));
    const int next = p.plant().addOperation({.position = first, .sequence = 30, .station = "B"});
    ASSERT_TRUE(place(next, "A", 30, p.at(1, 10), 900));
    EXPECT_EQ(p.booking(next).start, p.at(1, 10, 1));
    const int other = p.plant().addOperation({.position = first, .sequence = 40, .station = "B"});
    ASSERT_TRUE(place(other, "A", 30, p.at(1, 10, 1), 900));
    EXPECT_EQ(p.booking(other).start, p.at(1, 10, 31));  // after `next` on station A, not pushed by 900
}

TEST_F(PlacementEngine, GroupAlternativesTakeTheEarliestStartThenTheLowerCode)
{
    p.addStation("M1", 1);
    p.addStation("M2", 1, schema::NormalGroup, {.yield = 80});
    p.addStation("M3", 1);
    p.plant().addBooking(900, "M1", p.at(0, 8), p.at(0, 10));
    const QList<int> ops = p.addWorkOrder(20, {{.station = "M1", .setupMinutes = 60}});
    const QList<int> fixed = p.addWorkOrder(21, {{.station = "M1", .setupMinutes = 60, .keepStation = true}});
    const QList<int> third = p.addWorkOrder(22, {{.station = "M1", .setupMinutes = 60}});
    p.start();
    modMonta::DivideVorna = true;

    ASSERT_TRUE(p.insert(20));  // M2 and M3 both start at 08:00: the lower code wins, at its yield
    EXPECT_EQ(p.booking(ops[0]).station, "M2");
    EXPECT_EQ(p.booking(ops[0]).end, p.at(0, 9, 15));
    ASSERT_TRUE(p.insert(21));  // may not change station
    EXPECT_EQ(p.booking(fixed[0]).station, "M1");
    EXPECT_EQ(p.booking(fixed[0]).start, p.at(0, 10));
    ASSERT_TRUE(p.insert(22));  // the earliest start wins
    EXPECT_EQ(p.booking(third[0]).station, "M3");
    EXPECT_EQ(p.booking(third[0]).start, p.at(0, 8));
}

TEST_F(PlacementEngine, WaitingTimeOfAStationPushesTheNextOperationOfThePart)
{
    p.addStation("W", 1, schema::NormalGroup, {.hoursBetweenOperations = 8});
    p.addStation("A", 2);
    p.plant().addWorkOrder({.number = 30, .date = p.at(0, 0), .delivery = p.at(9, 17), .earliestStart = p.at(0, 13)});
    const int parent = p.plant().addPosition({.workOrder = 30, .stage = 1});
    const int child = p.plant().addPosition({.workOrder = 30, .parent = parent, .stage = 0});
    const int saw = p.plant().addOperation({.position = child, .sequence = 10, .station = "W", .setupMinutes = 120});
    const int grind = p.plant().addOperation({.position = child, .sequence = 20, .station = "W", .setupMinutes = 120});
    const int assemble = p.plant().addOperation({.position = parent, .sequence = 10, .station = "A", .setupMinutes = 30});
    p.plant().queueWorkOrder(30);
    p.start();

    ASSERT_TRUE(p.insert(30));
    EXPECT_EQ(p.booking(saw).end, p.at(0, 15));
    EXPECT_EQ(stored(grind, "InicioMinimo"), p.at(0, 23));
    EXPECT_EQ(p.booking(grind).start, p.at(1, 8));
    // The last operation of a child position pushes the first of its parent position.
    EXPECT_EQ(stored(assemble, "InicioMinimo"), p.at(1, 18));
    EXPECT_EQ(p.booking(assemble).start, p.at(2, 8));

    // A later minimum start that is there already stays.
    p.plant().execute(QStringLiteral("UPDATE CadSeq SET InicioMinimo = '%1' WHERE Auto = %2")
                          .arg(p.at(5, 8).toString("yyyy-MM-dd HH:mm:ss"))
                          .arg(assemble));
    std::int32_t next = assemble;
    modMonta::AplicaIntervaloSequencias("W", vbDate(p.at(1, 17)), grind, next);
    EXPECT_EQ(stored(assemble, "InicioMinimo"), p.at(5, 8));
}

TEST_F(PlacementEngine, LeadTimeAndDispatchGroupsBookWithoutASlotSearch)
{
    p.addStation("S", 1, schema::ServicesGroup);
    p.addStation("D", 2, schema::DispatchGroup);
    p.plant().addTreatment(1, "Zincagem", 2);
    p.plant().addTreatment(2, "Pintura", std::nullopt);
    const QList<int> ops = p.addWorkOrder(40, {{.station = "S"},
                                               {.station = "S", .treatment = 1},
                                               {.station = "S", .leadTimeDays = 0},
                                               {.station = "S", .leadTimeDays = -2, .treatment = 1},
                                               {.station = "S", .leadTimeDays = 4, .treatment = 2},
                                               {.station = "D", .setupMinutes = 300}});
    p.start();

    ASSERT_TRUE(p.insert(40));
    const QList<int> days = {3, 2, 1, 1, 4};
    QDateTime start = p.at(0, 8);
    for (int i = 0; i < days.size(); ++i) {
        EXPECT_EQ(p.booking(ops[i]).start, start) << i;
        EXPECT_EQ(p.booking(ops[i]).end, start.addDays(days[i])) << i;
        start = start.addDays(days[i]).addSecs(60);
        if (start.time() > QTime(17, 0))
            start = QDateTime(start.date().addDays(1), QTime(8, 0));
        else if (start.time() > QTime(12, 0) && start.time() < QTime(13, 0))
            start.setTime(QTime(13, 0));
    }
    EXPECT_EQ(p.booking(ops[5]).end, p.booking(ops[5]).start.addSecs(5 * 60));

    // A booking whose length differs from the operation's own lead time is corrected, and its end copied.
    p.plant().execute(QStringLiteral("UPDATE CadSeq SET LeadTime = 2 WHERE Auto = %1").arg(ops[4]));
    const int position = p.operationValue(ops[4], "Posicao").toInt();
    modMonta::CorrigeLeadTime(position);
    EXPECT_EQ(p.booking(ops[4]).end, p.booking(ops[4]).start.addDays(2));
    EXPECT_EQ(stored(ops[4], "Termino"), p.booking(ops[4]).end);
}

TEST_F(PlacementEngine, DurationsComeFromQuantityAndTime)
{
    p.addStation("A", 1);
    const QList<int> ops = p.addWorkOrder(50, {{.station = "A", .unitMinutes = 30, .reportedQuantity = 1},
                                               {.station = "A", .setupMinutes = 15, .unitMinutes = 40}});
    p.start();

    ASSERT_TRUE(p.insert(50));
    EXPECT_TRUE(p.booking(ops[0]).station.isEmpty());  // nothing left to make: skipped
    EXPECT_EQ(p.booking(ops[1]).end, p.at(0, 8, 55));

    // Nothing left and no set-up still books a minute.
    const int empty = p.plant().addOperation({.position = p.operationValue(ops[0], "Posicao").toInt(), .station = "A"});
    ASSERT_TRUE(place(empty, "A", 5, p.at(1, 8), 0, 0));
    EXPECT_EQ(p.booking(empty).end, p.at(1, 8, 1));

    // By time: the whole quantity less the minutes already worked.
    Modulo::PorTempo = true;
    const int worked = p.plant().addOperation({.position = p.operationValue(ops[0], "Posicao").toInt(), .station = "A"});
    p.plant().addExecution({.operation = worked, .start = p.at(-5, 8), .end = p.at(-5, 8, 25), .running = false});
    ASSERT_TRUE(place(worked, "A", 40, p.at(2, 8), 0, 0));
    EXPECT_EQ(p.booking(worked).end, p.at(2, 8, 15));
}

TEST_F(PlacementEngine, OperationsThatFindNoPlaceAreLogged)
{
    p.addStation("A", 1);
    p.addStation("L", 2);
    p.plant().execute("DELETE FROM CadPostoTur WHERE Posto = 'L'");
    p.start(2);
    modMonta::DataLimite = vbDate(p.at(20, 0));

    EXPECT_FALSE(place(1, "A", 2000, p.at(0, 8)));
    ASSERT_GE(p.log().size(), 3);
    EXPECT_EQ(p.log()[p.log().size() - 2], "Falha: Tempo programado menor do que o minimo possivel");
    EXPECT_EQ(p.log().last(), "Não foi possivel alocar o Programa: 1 O.S.: 1 Posto: A\r\n"
                              "Verifique se o tempo dessa operação não esta grande demais.");
    EXPECT_TRUE(p.bookings().isEmpty());

    // No station of the group has a shift.
    modMonta::DivideVorna = true;
    EXPECT_FALSE(place(2, "L", 30, p.at(0, 8)));
    EXPECT_EQ(p.log().mid(p.log().size() - 2),
              QStringList({"Não foi possivel alocar tempo para o posto: L verifique se está ativo no cadastro de "
                           "posto de trabalho.",
                           "Não foi possivel alocar o Programa: 2 O.S.: 1 Posto: L\r\n"
                           "Verifique se o tempo dessa operação não esta grande demais."}));
}
