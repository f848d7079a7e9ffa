#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/SchedulerState.h"
#include "schema/DemoPlant.h"

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
