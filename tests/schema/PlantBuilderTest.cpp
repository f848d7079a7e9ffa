// The builder's rows read back with the values and text forms the scheduler reads.

#include "schema/PlantBuilder.h"
#include "schema/SqliteDatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using schema::PlantBuilder;

constexpr int Monday = 2;
constexpr int Saturday = 7;

class PlantBuilderTest : public testing::Test {
protected:
    QDateTime at(int day, int hour, int minute = 0) { return QDateTime(QDate(2024, 3, day), QTime(hour, minute)); }

    QTemporaryDir folder;
    QString path = folder.filePath("plant.db");
    PlantBuilder plant{path};
    schema::SqliteDatabase db{path};
};

TEST_F(PlantBuilderTest, WritesWorkOrdersOperationsAndTheQueueAsTheSchedulerReadsThem)
{
    plant.addCompany(1, "Empresa");
    plant.addMachineGroup(4, "Laser", schema::LaserGroup);
    plant.addStation({.code = "L1", .description = "Laser 1", .group = 4, .yield = 80, .hoursBetweenOperations = 8});
    plant.addStation({.code = "L2", .description = "Laser 2", .group = 4, .active = false});

    const int first = plant.addWorkOrder({.client = 3, .date = at(1, 8), .delivery = at(15, 17, 30)});
    const int second = plant.addWorkOrder({.delivery = at(20, 17)});
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    const int position = plant.addPosition({.workOrder = second, .stage = 1, .quantity = 12});
    const int cut = plant.addOperation({.position = position, .sequence = 10, .station = "L1", .setupMinutes = 15,
                                        .unitMinutes = 2.5, .keepStation = true});
    plant.addOperation({.position = position, .sequence = 20, .station = "L2", .excluded = true,
                        .leadTimeDays = 2, .earliestStart = at(18, 6)});
    plant.queueWorkOrder(second);
    plant.queueWorkOrder(first);
    plant.addExecution({.operation = cut, .start = at(4, 7, 15)});

    EXPECT_EQ(db.rows("SELECT NrServ, Cliente, Data, DtEntr, Situacao, DataInicioMinimo FROM CadOS ORDER BY NrServ"),
              (QList<QVariantList>{{1, 3, "2024-03-01 08:00:00", "2024-03-15 17:30:00", 0, {}},
                                   {2, 0, {}, "2024-03-20 17:00:00", 0, {}}}));
    EXPECT_EQ(db.rows("SELECT Codigo, Tipo, RendMaq, QtdInterSeq, inativo FROM CadPosto ORDER BY Codigo"),
              (QList<QVariantList>{{"L1", 4, 80.0, 8.0, 0}, {"L2", 4, 100.0, 0.0, 1}}));
    EXPECT_EQ(db.rows("SELECT NrServ, Posicao, Sequencia, Posto, TempoPreparo, TempoUnitario, Tempo, NaoTrocarPosto, "
                      "Apont2, Concluido, LeadTime, InicioMinimo FROM CadSeq ORDER BY Sequencia"),
              (QList<QVariantList>{{2, position, 10, "L1", 15.0, 2.5, 2.5, 1, {}, 0, {}, {}},
                                   {2, position, 20, "L2", 0.0, 0.0, 0.0, 0, "O", 0, 2.0, "2024-03-18 06:00:00"}}));
    EXPECT_EQ(db.rows("SELECT NrServ, Ordem FROM CadFilaVorna ORDER BY Ordem"),
              (QList<QVariantList>{{2, 1}, {1, 2}}));
    EXPECT_EQ(db.rows("SELECT Programa, Posto, Inicio, Fim, Executando FROM CadExe"),
              (QList<QVariantList>{{cut, "L1", "2024-03-04 07:15:00", {}, 1}}));
    EXPECT_THROW(plant.addOperation({.position = 999, .sequence = 10, .station = "L1"}), std::invalid_argument);
}

TEST_F(PlantBuilderTest, NightShiftsCrossMidnightInTheTemplateAndTheCalendar)
{
    plant.addMachineGroup(1, "Solda", schema::WeldingGroup);
    plant.addStation({.code = "S1", .group = 1});
    plant.addStation({.code = "S2", .group = 1, .active = false});
    plant.addShift(2, "Noturno");
    plant.addShiftItem(2, schema::ShiftItem::onDay(Monday, QTime(22, 0), QTime(2, 0), QTime(2, 30), QTime(6, 0)));
    plant.assignShift("S1", 2);
    plant.assignShift("S2", 2);

    EXPECT_EQ(db.rows("SELECT DiaInicio, HoraInicio, DiaInicioIntervalo, HoraInicioIntervalo, DiaFimIntervalo, "
                      "HoraFimIntervalo, DiaFim, HoraFim FROM CadTur2Item"),
              (QList<QVariantList>{{2, "1899-12-30 22:00:00", 3, "1899-12-30 02:00:00", 3, "1899-12-30 02:30:00", 3,
                                    "1899-12-30 06:00:00"}}));
    // Saturday night ends on Sunday, the first weekday.
    schema::ShiftItem saturday =
        schema::ShiftItem::onDay(Saturday, QTime(22, 0), QTime(23, 0), QTime(1, 0), QTime(6, 0));
    EXPECT_EQ((std::vector<int>{saturday.breakStartDay, saturday.breakEndDay, saturday.endDay}),
              (std::vector<int>{7, 1, 1}));

    // 4 March 2024 is a Monday: one occurrence in that week, on the active station only.
    EXPECT_EQ(plant.fillCalendar(QDate(2024, 3, 4), QDate(2024, 3, 10)), 1);
    EXPECT_EQ(db.rows("SELECT Turno, Posto, Inicio, InicioIntervalo, FimIntervalo, Fim, Programado FROM CadCale2"),
              (QList<QVariantList>{{2, "S1", "2024-03-04 22:00:00", "2024-03-05 02:00:00", "2024-03-05 02:30:00",
                                    "2024-03-05 06:00:00", 0}}));
    EXPECT_EQ(db.value("SELECT ultcale FROM CadParBex"), QVariant("2024-03-10 23:59:00"));

    // Filling again adds nothing that exists, and never moves the calendar's end back.
    EXPECT_EQ(plant.fillCalendar(QDate(2024, 3, 1), QDate(2024, 3, 12)), 1);
    EXPECT_EQ(plant.fillCalendar(QDate(2024, 3, 4), QDate(2024, 3, 5)), 0);
    EXPECT_EQ(db.value("SELECT ultcale FROM CadParBex"), QVariant("2024-03-12 23:59:00"));

    plant.addCalendarRow({.shift = 9, .station = "S1", .start = at(9, 8), .breakStart = at(9, 10),
                          .breakEnd = at(9, 10), .end = at(9, 12), .switchedOff = true});
    EXPECT_EQ(db.value("SELECT Programado FROM CadCale2 WHERE Turno = 9").toInt(), 1);
}

TEST_F(PlantBuilderTest, ParameterTablesKeepOneRowAndTakeOnlyColumnNames)
{
    plant.setCadParBexValue("Refugo", true);
    plant.setCadParBexValue("ultcale", at(31, 0));
    plant.setNamedParameter("Empresa", 3);
    plant.setNamedParameter("empresa", 4);
    EXPECT_EQ(db.rows("SELECT ultcale, Refugo FROM CadParBex"),
              (QList<QVariantList>{{"2024-03-31 00:00:00", 1}}));
    EXPECT_EQ(db.rows("SELECT Parametro, Valor FROM Parametro"), (QList<QVariantList>{{"Empresa", "4"}}));

    EXPECT_THROW(plant.setCadParValue("Empresa = 1; DROP TABLE CadOS; --", 1), std::invalid_argument);
    EXPECT_EQ(db.value("SELECT count(*) FROM sqlite_master WHERE name = 'CadOS'").toInt(), 1);

    // Opening the file again keeps what it holds.
    PlantBuilder reopened(path);
    EXPECT_EQ(db.value("SELECT Refugo FROM CadParBex").toInt(), 1);
}

}  // namespace
