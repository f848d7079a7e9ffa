#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/LoadQueue.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/SequenceMode.h"
#include "scheduling/WorkOrderInsertion.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "schema/DemoPlant.h"
#include "sqlserver/Session.h"
#include "support/FakeUiServices.h"

#include <QMap>
#include <gtest/gtest.h>

using test::storedMoment;

namespace {

struct WorkingSpan {
    QDateTime start;
    QDateTime end;
};

// The working spans of every station's active calendar rows: start to break, break end to end.
QMap<QString, QList<WorkingSpan>> workingTime(schema::SqliteDatabase& file)
{
    QMap<QString, QList<WorkingSpan>> spans;
    for (const QVariantList& row : file.rows("SELECT Posto, Inicio, InicioIntervalo, FimIntervalo, Fim FROM CadCale2 "
                                             "WHERE Programado = 0")) {
        spans[row[0].toString().toUpper()] << WorkingSpan{storedMoment(row[1]), storedMoment(row[2])}
                                            << WorkingSpan{storedMoment(row[3]), storedMoment(row[4])};
    }
    return spans;
}

bool working(const QList<WorkingSpan>& spans, const QDateTime& moment)
{
    return std::any_of(spans.begin(), spans.end(),
                       [&](const WorkingSpan& s) { return s.start <= moment && moment <= s.end; });
}

}  // namespace

TEST(Rescheduling, TimedBookingsNeverOverlapAndLieInWorkingTime)
{
    // Two generated plants, the second letting operations change station within their group.
    for (const quint32 seed : {7u, 2024u}) {
        SCOPED_TRACE(seed);
        test::PlantDatabase db;
        schema::generatePlant(db.folder().file("Dados/Teste.db"),
                              {.stations = 12, .groups = 6, .workOrders = 25, .positionsPerOrder = 3,
                               .operationsPerPosition = 4, .months = 2, .firstDay = QDate::currentDate().addDays(1)},
                              seed);
        Modulo::PorTempo = Modulo::ModoSequencia = false;
        scheduling::loadSchedulerState();
        modMonta::DivideVorna = seed != 7u;
        test::RecordingStatusWindow window;
        ASSERT_TRUE(modMonta::rescheduleAll(window));

        const QMap<QString, QList<WorkingSpan>> spans = workingTime(db.file());
        const QList<QVariantList> bookings = db.file().rows(
            "SELECT b.Posto, b.Inicio, b.Fim FROM CadProgVorna b JOIN CadPosto s ON s.Codigo = b.Posto "
            "JOIN CadGruMaq g ON g.Codigo = s.Tipo WHERE g.Tipo NOT IN (2, 3) ORDER BY b.Posto, b.Inicio");
        ASSERT_GT(bookings.size(), 150);
        for (qsizetype i = 0; i < bookings.size(); ++i) {
            const QString station = bookings[i][0].toString().toUpper();
            const QDateTime start = storedMoment(bookings[i][1]);
            const QDateTime end = storedMoment(bookings[i][2]);
            EXPECT_TRUE(working(spans[station], start)) << station.toStdString() << " " << start.toString(Qt::ISODate).toStdString();
            EXPECT_TRUE(working(spans[station], end)) << station.toStdString() << " " << end.toString(Qt::ISODate).toStdString();
            const bool sameStation = i > 0 && bookings[i - 1][0].toString().toUpper() == station;
            if (sameStation) {
                EXPECT_LE(storedMoment(bookings[i - 1][2]), start) << station.toStdString();
            }
        }
    }
}

TEST(Rescheduling, WaitsForNoOtherRunAndChangesNothingWhileOneHoldsTheSchedule)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    const QList<int> operations = p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
    p.start();
    ASSERT_TRUE(modMonta::rescheduleAll(p.window));
    const QList<QVariantList> before = p.db.file().rows("SELECT * FROM CadProgVorna ORDER BY Auto");
    ASSERT_EQ(before.size(), 1);

    // Another run (here: another session on the file) holds the schedule.
    auto other = sqlserver::openServerDatabase(p.db.folder().file("Dados"), "Teste");
    const QString take = "DECLARE @r INT EXEC @r = sp_getapplock 'Vorna.Programacao', 'Exclusive', 'Session', 0 "
                         "SELECT @r";
    ASSERT_EQ(vb::Variant(0), other->execute(take).rowsets.at(0).rows.at(0).at(0));
    p.plant().addExecution({.operation = operations[0], .start = p.at(1, 10)});
    test::fakeUi().messageBoxes.clear();
    EXPECT_FALSE(modMonta::rescheduleAll(p.window));
    ASSERT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_TRUE(test::fakeUi().messageBoxes[0].prompt.startsWith("Outra programação está em andamento"));
    EXPECT_EQ(p.db.file().rows("SELECT * FROM CadProgVorna ORDER BY Auto"), before);
    // An insertion and the sequence mode are runs too.
    modMonta::RemoveOSVorna(1);
    modMonta::AdicionaFila(1);
    EXPECT_FALSE(modMonta::InsereOS(p.window, 1, QString(), true));
    modMonta::MontaPorSequencia(p.window);
    EXPECT_EQ(test::fakeUi().messageBoxes.size(), 3);
    EXPECT_EQ(p.db.file().value("SELECT count(*) FROM CadProgVorna").toInt(), 0);

    // Its end lets the next run in, and a finished run lets go of the lock.
    other.reset();
    EXPECT_TRUE(modMonta::rescheduleAll(p.window));
    EXPECT_EQ(p.booking(operations[0]).start, p.at(1, 10));
    other = sqlserver::openServerDatabase(p.db.folder().file("Dados"), "Teste");
    EXPECT_EQ(vb::Variant(0), other->execute(take).rowsets.at(0).rows.at(0).at(0));
}

TEST(Rescheduling, StopsWithOneMessageWhenABookingCannotBeStored)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    for (int workOrder = 1; workOrder <= 4; ++workOrder)
        p.addWorkOrder(workOrder, {{.station = "A", .setupMinutes = 30}, {.station = "A", .setupMinutes = 20}});
    p.start();
    const auto snapshot = [&] {
        return std::pair{p.db.file().rows("SELECT * FROM CadFilaVorna ORDER BY NrServ"),
                         p.db.file().rows("SELECT Auto, Data, Inicio, Termino FROM CadSeq ORDER BY Auto")};
    };
    const auto before = snapshot();
    // The database refuses every booking, as a full disk does.
    p.plant().execute("CREATE TRIGGER Full BEFORE INSERT ON CadProgVorna BEGIN SELECT RAISE(FAIL, 'database or disk "
                      "is full'); END");
    test::fakeUi().messageBoxes.clear();
    EXPECT_FALSE(modMonta::rescheduleAll(p.window));
    EXPECT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_EQ(p.db.file().value("SELECT count(*) FROM CadProgVorna").toInt(), 0);
    EXPECT_EQ(snapshot(), before);  // no work order left the queue, no operation got times
}

TEST(Rescheduling, ARefusedBookingOutsideAFullReschedulingEndsOnlyItsOwnRun)
{
    test::SchedulerPlant p;
    p.addStation("A", 1);
    p.addWorkOrder(1, {{.station = "A", .setupMinutes = 30}});
    p.start();
    p.plant().execute("CREATE TRIGGER Full BEFORE INSERT ON CadProgVorna BEGIN SELECT RAISE(FAIL, 'database or disk "
                      "is full'); END");
    // The chart's re-placing of one work order and the sequence mode started on their own: the refusal is shown
    // by the data-access object and stops the run they began, not the window that called them.
    test::fakeUi().messageBoxes.clear();
    EXPECT_NO_THROW(modMonta::RealocaOS(p.window, 1));
    EXPECT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_NO_THROW(modMonta::MontaPorSequencia(p.window));
    EXPECT_EQ(test::fakeUi().messageBoxes.size(), 2);
    EXPECT_EQ(scheduling::ScheduleRun::current(), nullptr);
}
