#include "SchedulerPlant.h"

#include "scheduling/SchedulerState.h"
#include "scheduling/WorkOrderInsertion.h"
#include "support/FakeUiServices.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using test::storedMoment;

namespace {

class WorkOrderInsertion : public testing::Test {
protected:
    WorkOrderInsertion()
    {
        p.addStation("A", 1);
        p.addStation("X", 2, schema::NormalGroup, {.active = false});
    }

    bool queued(int workOrder)
    {
        return p.db.file().value("SELECT count(*) FROM CadFilaVorna WHERE NrServ = ?", {workOrder}).toInt() == 1;
    }

    QVariantList queueRow(int workOrder)
    {
        return p.db.file()
            .rows("SELECT DataEntrega, DataTermino, Falhou, Atrasado, Adiantado FROM CadFilaVorna WHERE NrServ = ?",
                  {workOrder})
            .value(0);
    }

    test::SchedulerPlant p;
};

}  // namespace

TEST_F(WorkOrderInsertion, RefusedWorkOrdersLeaveTheLoad)
{
    // A position without operations, an open operation on an inactive station, a work order out of the load.
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
    p.plant().addPosition({.workOrder = 1});
    p.addWorkOrder(2, {{.station = "X", .setupMinutes = 30}});
    p.addWorkOrder(3, {{.station = "A", .setupMinutes = 30}});
    p.plant().execute("UPDATE CadOS SET Situacao = 2 WHERE NrServ = 3");
    p.plant().addBooking(999, "A", p.at(0, 8), p.at(0, 9));  // of work order 3, from an earlier run
    p.plant().execute("UPDATE CadProgVorna SET SeqAuto = (SELECT Auto FROM CadSeq WHERE NrServ = 3)");
    p.start();

    EXPECT_FALSE(p.insert(1));
    EXPECT_FALSE(p.insert(2));
    EXPECT_FALSE(p.insert(3));
    EXPECT_FALSE(queued(1));
    EXPECT_FALSE(queued(2));
    EXPECT_FALSE(queued(3));
    EXPECT_TRUE(p.bookings().isEmpty());
    const QStringList log = p.log().filter(QRegularExpression("^(Falha|OS:)"));
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], "Falha: A O.S. 1 não é possivel inserir uma o.s. que não possui operação em alguma posição.");
    EXPECT_EQ(log[1], "Falha: A O.S. 2 tem postos inativos");
    EXPECT_TRUE(log[2].startsWith("OS: 3 Inserida em ")) << log[2].toStdString();
    EXPECT_TRUE(log[2].endsWith(" segundos. Ocorreu um Erro na Inserção.")) << log[2].toStdString();
}

TEST_F(WorkOrderInsertion, WorkOrdersThatCannotBePlacedAreTakenOutAgain)
{
    p.addStation("B", 3);
    const QList<int> ops = p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
    const int tooLong = p.plant().addPosition({.workOrder = 1, .stage = 1});
    p.plant().addOperation({.position = tooLong, .station = "B", .setupMinutes = 400000});
    p.addWorkOrder(2, {{.station = "A", .setupMinutes = 30}});
    p.plant().execute("DELETE FROM CadPos WHERE NrServ = 2");  // no position at all
    p.plant().execute("DELETE FROM CadSeq WHERE NrServ = 2");
    p.plant().addStation({.code = "N", .group = 1});           // no shift
    p.addWorkOrder(3, {{.station = "N", .setupMinutes = 30}});
    p.start();

    EXPECT_FALSE(p.insert(1));
    EXPECT_FALSE(queued(1));
    EXPECT_TRUE(p.booking(ops[0]).station.isEmpty());  // the first position's booking went out with it
    EXPECT_TRUE(p.log().last().endsWith(" Ocorreu um Erro na Inserção.")) << p.log().last().toStdString();

    EXPECT_FALSE(p.insert(2));  // stays queued, recorded as failed
    EXPECT_TRUE(queued(2));
    EXPECT_EQ(queueRow(2).value(2).toInt(), 1);

    EXPECT_FALSE(p.insert(3));  // stays queued, untouched
    EXPECT_TRUE(queued(3));
    EXPECT_EQ(p.log().last(), "Falha: Para Inserir a O.S. 3, é necessário definir um turno para o posto N");
    EXPECT_EQ(queueRow(3).value(2).toInt(), 0);
}

TEST_F(WorkOrderInsertion, CompletionFieldsRecordLatenessAndTheStatus)
{
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 90}});
    p.addWorkOrder(2, {{.station = "A", .setupMinutes = 60}});
    const QList<int> sameDay = p.addWorkOrder(3, {{.station = "A", .setupMinutes = 30}});
    p.plant().execute(QStringLiteral("UPDATE CadOS SET DtEntr = '%1' WHERE NrServ = 2").arg(p.at(-2, 0).toString("yyyy-MM-dd HH:mm:ss")));
    p.plant().execute(QStringLiteral("UPDATE CadOS SET DtEntr = '%1' WHERE NrServ = 3").arg(p.at(0, 11).toString("yyyy-MM-dd HH:mm:ss")));
    p.start();

    ASSERT_TRUE(p.insert(1));
    EXPECT_EQ(p.window.texts, QStringList({"O.S.: 1", p.window.texts.value(1)}));
    EXPECT_TRUE(p.window.texts.value(1).startsWith("Tempo:")) << p.window.texts.value(1).toStdString();
    EXPECT_TRUE(p.window.texts.value(1).endsWith(" Segundos."));
    QVariantList row = queueRow(1);
    EXPECT_EQ(storedMoment(row[0]), p.at(10, 0));  // the delivery date, without its time
    EXPECT_EQ(storedMoment(row[1]), p.at(0, 0));   // the end of the last operation, likewise
    EXPECT_EQ(row[2].toInt(), 0);
    EXPECT_TRUE(row[3].isNull());
    EXPECT_EQ(row[4].toInt(), 10);
    EXPECT_TRUE(p.log().last().startsWith("OS: 1 Inserida em "));
    EXPECT_TRUE(p.log().last().endsWith(" segundos.")) << p.log().last().toStdString();

    ASSERT_TRUE(p.insert(2));
    row = queueRow(2);
    EXPECT_EQ(row[3].toInt(), 2);
    EXPECT_TRUE(row[4].isNull());
    EXPECT_TRUE(p.log().last().endsWith(" segundos. Esta Atrasada.")) << p.log().last().toStdString();

    // Ending at 11:00 on the delivery day at 11:00 is not late.
    ASSERT_TRUE(p.insert(3));
    EXPECT_EQ(storedMoment(p.operationValue(sameDay[0], "Termino")), p.at(0, 11));
    row = queueRow(3);
    EXPECT_TRUE(row[3].isNull());
    EXPECT_EQ(row[4].toInt(), 0);
    EXPECT_EQ(test::fakeUi().GetMousePointer(), vb::vbDefault);
    EXPECT_TRUE(test::fakeUi().pointerChanges.contains(vb::vbArrowHourglass));
}

TEST_F(WorkOrderInsertion, APlanningWorkOrderForecastsItsSalesOrder)
{
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 90}});
    p.plant().execute("UPDATE CadOS SET OS_PCP = 1 WHERE NrServ = 1");
    p.plant().addClient(1, "Cliente");
    p.plant().addWorkOrder({.number = 7, .date = p.at(0, 0)});
    p.plant().addSalesOrder(500, 1, p.at(0, 0), 1);
    p.plant().addSalesOrderItem(500, 7);
    p.start();

    ASSERT_TRUE(p.insert(1));
    EXPECT_EQ(storedMoment(p.db.file().value("SELECT PCP_PrevConclusao FROM CadPed WHERE NrPed = 500")), p.at(0, 9, 30));
    EXPECT_EQ(storedMoment(p.db.file().value("SELECT DataInicioMinimo FROM CadOS WHERE NrServ = 7")), p.at(0, 9, 30));
}

TEST_F(WorkOrderInsertion, ADeliveryBeyondTheCalendarExtendsIt)
{
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
    p.plant().execute(QStringLiteral("UPDATE CadOS SET DtEntr = '%1' WHERE NrServ = 1").arg(p.at(20, 0).toString("yyyy-MM-dd HH:mm:ss")));
    p.start();
    const QVariant before = p.db.file().value("SELECT ultcale FROM CadParBex");

    ASSERT_TRUE(p.insert(1));
    EXPECT_GT(storedMoment(p.db.file().value("SELECT ultcale FROM CadParBex")), storedMoment(before).addMonths(4));
    EXPECT_EQ(p.log().filter("com a data de entrega superior ao limite do calendário").size(), 1);
}

TEST_F(WorkOrderInsertion, StationCodesAreOnlyCodesInTheStatements)
{
    p.addStation("O'K", 3, schema::NormalGroup, {.yield = 50});
    const QList<int> ops = p.addWorkOrder(1, {{.station = "O'K", .setupMinutes = 30}, {.station = "O'K", .setupMinutes = 30}});
    p.plant().addBooking(999, "O'K", p.at(0, 8, 30), p.at(0, 9));
    p.start();

    ASSERT_TRUE(p.insert(1));
    EXPECT_EQ(p.booking(ops[0]).station, "O'K");
    EXPECT_EQ(p.booking(ops[0]).start, p.at(0, 9));  // after the booking, at half speed
    EXPECT_EQ(p.booking(ops[0]).end, p.at(0, 10));
    EXPECT_EQ(p.booking(ops[1]).start, p.at(0, 10, 1));
}

TEST_F(WorkOrderInsertion, AnUnexpectedErrorIsShownAndEndsTheInsertion)
{
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
    p.plant().execute("UPDATE CadSeq SET NaoTrocarPosto = NULL");
    p.start();

    EXPECT_FALSE(p.insert(1));
    ASSERT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_EQ(test::fakeUi().messageBoxes[0].prompt, "Monta Erro:94 - Invalid use of Null - Linha 0");
    EXPECT_EQ(test::fakeUi().messageBoxes[0].style, vb::vbOKOnly);
    EXPECT_TRUE(p.log().last().endsWith(" Ocorreu um Erro na Inserção."));  // the closing steps ran
    EXPECT_TRUE(p.window.texts.last().startsWith("Tempo:"));
    EXPECT_EQ(test::fakeUi().GetMousePointer(), vb::vbDefault);
}
