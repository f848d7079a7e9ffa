#include "PlantDatabase.h"

#include "runtime/Err.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "support/FakeUiServices.h"

#include <QSet>
#include <gtest/gtest.h>

using test::at;
using test::storedMoment;
using test::vbDate;

namespace {

constexpr int DayShift = 1;
constexpr int NightShift = 2;

class CalendarGeneration : public testing::Test {
protected:
    CalendarGeneration()
    {
        schema::PlantBuilder& plant = db.plant();
        plant.addMachineGroup(1, "Corte", schema::LaserGroup);
        plant.addStation({.code = "CUT01", .group = 1});
        plant.addStation({.code = "CUT02", .group = 1});
        plant.addStation({.code = "CUT03", .group = 1, .active = false});
        // Every day 07:00-11:30, 12:30-17:00; Mondays 22:00 with the break and the end on Tuesday.
        plant.addShift(DayShift, "Diurno");
        for (int weekday = 1; weekday <= 7; ++weekday)
            plant.addShiftItem(DayShift, schema::ShiftItem::onDay(weekday, QTime(7, 0), QTime(11, 30), QTime(12, 30),
                                                                  QTime(17, 0)));
        plant.addShift(NightShift, "Noturno");
        plant.addShiftItem(NightShift,
                           schema::ShiftItem::onDay(2, QTime(22, 0), QTime(2, 0), QTime(2, 30), QTime(6, 0)));
        for (const char* code : {"CUT01", "CUT02", "CUT03"})
            plant.assignShift(code, DayShift);
        plant.assignShift("CUT01", NightShift);
    }

    struct Row {
        QString station;
        int shift;
        QDateTime start, breakStart, breakEnd, end;
    };

    QList<Row> rows(const QString& where = "1=1")
    {
        QList<Row> result;
        for (const QVariantList& r : db.file().rows("SELECT Posto, Turno, Inicio, InicioIntervalo, FimIntervalo, Fim "
                                                    "FROM CadCale2 WHERE " + where + " ORDER BY Posto, Inicio, Turno"))
            result.append({r[0].toString(), r[1].toInt(), storedMoment(r[2]), storedMoment(r[3]), storedMoment(r[4]),
                           storedMoment(r[5])});
        return result;
    }
    int rowCount() { return db.file().value("SELECT count(*) FROM CadCale2").toInt(); }
    QDateTime ultcale() { return storedMoment(db.file().value("SELECT ultcale FROM CadParBex")); }

    // Days from..to, both included, that are Mondays.
    static int mondays(QDate from, QDate to)
    {
        int count = 0;
        for (QDate d = from; d <= to; d = d.addDays(1))
            count += d.dayOfWeek() == Qt::Monday;
        return count;
    }

    test::PlantDatabase db;
    const QDate today = QDate::currentDate();
};

}  // namespace

TEST_F(CalendarGeneration, AllStationsUpToTheFinalDate)
{
    const QDate last = today.addDays(14);
    EXPECT_TRUE(modCalendario::MontaCalendario(vbDate(at(last, 0))));
    EXPECT_EQ(ultcale(), at(last, 0));
    EXPECT_EQ(test::qDateTime(modMonta::DataLimite), at(last, 0));
    EXPECT_TRUE(db.logTexts().contains("Data Limite: " + last.toString("dd/MM/yyyy")));

    // Day shift: the four moments on the start day, a row per day (the final one included) and active station.
    const QList<Row> day = rows("Turno = 1");
    EXPECT_EQ(day.size(), 2 * 15);
    for (const Row& r : day) {
        EXPECT_NE(r.station, "CUT03");
        EXPECT_EQ(r.breakStart, QDateTime(r.start.date(), QTime(11, 30)));
        EXPECT_EQ(r.end, QDateTime(r.start.date(), QTime(17, 0)));
    }
    // Night shift: Monday 22:00 to Tuesday 06:00, the break on Tuesday.
    const QList<Row> night = rows("Turno = 2");
    ASSERT_EQ(night.size(), mondays(today, last));
    for (const Row& r : night) {
        EXPECT_EQ(r.station, "CUT01");
        EXPECT_EQ(r.start.date().dayOfWeek(), Qt::Monday);
        EXPECT_EQ(r.start.time(), QTime(22, 0));
        EXPECT_EQ(r.breakStart, at(r.start.date().addDays(1), 2));
        EXPECT_EQ(r.breakEnd, at(r.start.date().addDays(1), 2, 30));
        EXPECT_EQ(r.end, at(r.start.date().addDays(1), 6));
    }

    // Every station's free periods were rebuilt: two per row that starts before the final date.
    const QString beforeLast = at(last, 0).toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(modCalendario::CalendariosPostos.PostoCalendario("CUT01")->cPeri.size(),
              2 * rows("Posto = 'CUT01' AND Inicio < '" + beforeLast + "'").size());
    EXPECT_TRUE(modCalendario::CalendariosPostos.PostoCalendario("CUT03")->cPeri.empty());
    EXPECT_EQ(test::fakeUi().progress.showCount, 2);  // the shifts, then the stations
    EXPECT_EQ(test::fakeUi().progress.unloadCount, 2);
}

TEST_F(CalendarGeneration, SecondCallToTheSameDateAndTheHorizonAreRefused)
{
    const vb::Date last = vbDate(at(today.addDays(7), 0));
    ASSERT_TRUE(modCalendario::MontaCalendario(last));
    const int written = rowCount();

    // The calendar reaches that date already: refused at once, silently.
    EXPECT_FALSE(modCalendario::MontaCalendario(last));
    EXPECT_EQ(rowCount(), written);
    EXPECT_EQ(test::fakeUi().progress.showCount, 2);

    // More than MesesCalendario months ahead: logged, nothing written. Exactly at the horizon is allowed.
    const QDate beyond = today.addMonths(6).addDays(1);
    EXPECT_FALSE(modCalendario::MontaCalendario(vbDate(at(beyond, 0))));
    EXPECT_EQ(db.logTexts().last(),
              "Rotina monta Calendário - Data final acima de 6 meses, Data final = " + beyond.toString("dd/MM/yyyy"));
    EXPECT_EQ(rowCount(), written);
    EXPECT_EQ(ultcale(), at(today.addDays(7), 0));
    EXPECT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addMonths(6), 0))));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(CalendarGeneration, RunningJobMovesTheStartBack)
{
    ASSERT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addDays(7), 0))));
    const int firstRun = rowCount();

    schema::PlantBuilder& plant = db.plant();
    const int order = plant.addWorkOrder({.number = 100, .date = at(today, 0)});
    const int operation = plant.addOperation({.position = plant.addPosition({.workOrder = order}), .station = "CUT02"});
    plant.addExecution({.operation = operation, .start = at(today.addDays(-3), 10)});

    ASSERT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addDays(10), 0))));
    // The job's day counts whole; no occurrence is written twice.
    QSet<QString> occurrences;
    for (const Row& r : rows())
        occurrences.insert(r.station + QString::number(r.shift) + r.start.toString(Qt::ISODate));
    EXPECT_EQ(occurrences.size(), rowCount());
    EXPECT_EQ(rows().first().start, at(today.addDays(-3), 7));
    // New are the three days before today and the three after the first run, the final date's own day
    // included although the walk keeps the job's time of day.
    EXPECT_EQ(rowCount(), firstRun + 2 * 6 + mondays(today.addDays(-3), today.addDays(-1)) +
                              mondays(today.addDays(8), today.addDays(10)));
    EXPECT_EQ(rows().last().start.date(), today.addDays(10));
}

TEST_F(CalendarGeneration, OneStationFromTodayToTheStoredLimit)
{
    db.plant().setCadParBexValue("ultcale", at(today.addDays(4), 0));

    // The date given is not used: the stored limit is, and it stays.
    EXPECT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addDays(30), 0)), "CUT02"));
    const QList<Row> written = rows();
    ASSERT_EQ(written.size(), 5);
    for (const Row& r : written)
        EXPECT_EQ(r.station, "CUT02");
    EXPECT_EQ(written.first().start, at(today, 7));
    EXPECT_EQ(ultcale(), at(today.addDays(4), 0));

    // Only that station's free periods were rebuilt.
    EXPECT_FALSE(modCalendario::CalendariosPostos.PostoCalendario("CUT02")->cPeri.empty());
    EXPECT_THROW(modCalendario::CalendariosPostos.PostoCalendario("CUT01"), vb::VbError);
}

TEST_F(CalendarGeneration, RunTimeErrorIsReported)
{
    db.plant().execute("UPDATE CadTur2Item SET DiaFim = NULL WHERE Turno = 2");
    EXPECT_FALSE(modCalendario::MontaCalendario(vbDate(at(today.addDays(7), 0))));
    ASSERT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_EQ(test::fakeUi().messageBoxes[0].prompt, "Erro: 94 - Invalid use of Null");
    EXPECT_EQ(test::fakeUi().messageBoxes[0].style, vb::vbCritical);
    EXPECT_TRUE(QFile::exists(db.folder().file("Util/Erro.txt")));
    // The first shift's rows stay, the progress window stays open, and the limit is not moved over the rows
    // that are missing: the next generation stores them, and the rows already there once.
    EXPECT_EQ(rows("Turno = 1").size(), 2 * 8);
    EXPECT_FALSE(ultcale().isValid());
    EXPECT_TRUE(test::fakeUi().progress.visible);
    db.plant().execute("UPDATE CadTur2Item SET DiaFim = 3 WHERE Turno = 2");
    EXPECT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addDays(7), 0))));
    EXPECT_EQ(rows("Turno = 1").size(), 2 * 8);
    EXPECT_EQ(rows("Turno = 2").size(), mondays(today, today.addDays(7)));
    EXPECT_EQ(ultcale(), at(today.addDays(7), 0));
}

TEST_F(CalendarGeneration, AFailedWriteKeepsTheOldLimit)
{
    ASSERT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addDays(3), 0))));
    const int before = rowCount();
    // A write the database refuses (as a full disk or a deadlock given up would).
    db.plant().execute("CREATE TRIGGER Full BEFORE INSERT ON CadCale2 BEGIN SELECT RAISE(FAIL, 'database or disk is full'); END");
    EXPECT_FALSE(modCalendario::MontaCalendario(vbDate(at(today.addDays(9), 0))));
    EXPECT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_EQ(rowCount(), before);
    EXPECT_EQ(ultcale(), at(today.addDays(3), 0));
    db.plant().execute("DROP TRIGGER Full");
    EXPECT_TRUE(modCalendario::MontaCalendario(vbDate(at(today.addDays(9), 0))));
    EXPECT_EQ(rows("Turno = 1").size(), 2 * 10);
    EXPECT_EQ(ultcale(), at(today.addDays(9), 0));
}

TEST_F(CalendarGeneration, ShiftOccurrenceAddedByHand)
{
    const QDate day = today.addDays(2);
    const auto add = [&](int breakHour) {
        return modCalendario::IncluiTurnoPosto(DayShift, "CUT01", vbDate(at(day, 7)), vbDate(at(day, breakHour)),
                                               vbDate(at(day, breakHour, 15)), vbDate(at(day, 15)));
    };
    const std::int32_t added = add(11);
    ASSERT_GT(added, 0);
    const QList<Row> written = rows(QString("Auto = %1 AND Programado = 0").arg(added));
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].breakEnd, at(day, 11, 15));

    // The same shift, station and start minute again: refused in a box, nothing written.
    EXPECT_EQ(add(12), 0);
    ASSERT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_EQ(test::fakeUi().messageBoxes[0].prompt, "Esse turno já esta ativo neste horário");
    EXPECT_EQ(test::fakeUi().messageBoxes[0].style, vb::vbCritical);
    EXPECT_EQ(rowCount(), 1);
}
