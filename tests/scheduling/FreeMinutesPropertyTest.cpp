// The in-memory free periods hold the same minutes as the calendar rows they come from, for shift
// templates drawn at random (overlapping shifts included: the minutes of their union).

#include "PlantDatabase.h"

#include "scheduling/CalendarGeneration.h"
#include "scheduling/StationCalendars.h"

#include <algorithm>
#include <random>
#include <gtest/gtest.h>

using test::at;
using test::qDateTime;
using test::storedMoment;
using test::vbDate;

namespace {

QTime after(QTime t, int minutes)
{
    return t.addSecs(minutes * 60);
}

// Random weekly shifts: 1 to 3 occurrences each, work-break-work lasting under a day.
void addRandomShifts(schema::PlantBuilder& plant, int shifts, std::mt19937& random)
{
    std::uniform_int_distribution<int> weekday(1, 7), minuteOfDay(0, 24 * 60 - 1), work(15, 300), pause(0, 60),
        occurrences(1, 3);
    for (int shift = 1; shift <= shifts; ++shift) {
        plant.addShift(shift, QString("Turno %1").arg(shift));
        for (int n = occurrences(random); n > 0; --n) {
            const QTime start = QTime(0, 0).addSecs(minuteOfDay(random) * 60);
            const QTime breakStart = after(start, work(random));
            const QTime breakEnd = after(breakStart, pause(random));
            const QTime end = after(breakEnd, work(random));
            plant.addShiftItem(shift, schema::ShiftItem::onDay(weekday(random), start, breakStart, breakEnd, end));
        }
    }
}

// Minutes covered by a set of intervals, each counted once.
qint64 unionMinutes(std::vector<std::pair<QDateTime, QDateTime>> intervals)
{
    std::sort(intervals.begin(), intervals.end());
    qint64 minutes = 0;
    QDateTime coveredTo;
    for (const auto& [from, to] : intervals) {
        const QDateTime start = coveredTo.isValid() ? std::max(from, coveredTo) : from;
        if (to > start) {
            minutes += start.secsTo(to) / 60;
            coveredTo = to;
        }
    }
    return minutes;
}

// The working halves of a station's active rows that begin before the window's end (halves go in whole).
qint64 rowMinutes(schema::SqliteDatabase& file, const QString& station, const QDateTime& windowEnd)
{
    std::vector<std::pair<QDateTime, QDateTime>> halves;
    for (const QVariantList& r : file.rows("SELECT Inicio, InicioIntervalo, FimIntervalo, Fim FROM CadCale2 "
                                           "WHERE Programado = 0 AND Posto = ?",
                                           {station})) {
        const QDateTime start = storedMoment(r[0]), breakStart = storedMoment(r[1]);
        const QDateTime breakEnd = storedMoment(r[2]), end = storedMoment(r[3]);
        if (start < windowEnd)
            halves.emplace_back(start, breakStart);
        if (breakEnd < windowEnd)
            halves.emplace_back(breakEnd, end);
    }
    return unionMinutes(halves);
}

}  // namespace

TEST(FreeMinutes, MatchTheCalendarRowsForRandomShiftTemplates)
{
    const QStringList stations{"P01", "P02", "P03", "P04"};
    for (const unsigned seed : {11u, 23u, 37u, 41u, 59u}) {
        SCOPED_TRACE(seed);
        test::PlantDatabase db;
        std::mt19937 random(seed);
        schema::PlantBuilder& plant = db.plant();
        plant.addMachineGroup(1, "Grupo", schema::NormalGroup);
        const int shifts = 4;
        addRandomShifts(plant, shifts, random);
        std::bernoulli_distribution assigned(0.5);
        for (const QString& station : stations) {
            plant.addStation({.code = station, .group = 1});
            plant.assignShift(station, 1 + (stations.indexOf(station) % shifts));
            for (int shift = 1; shift <= shifts; ++shift)
                if (assigned(random) && shift != 1 + (stations.indexOf(station) % shifts))
                    plant.assignShift(station, shift);
        }
        // Some rows switched off on the chart: never free time.
        ASSERT_TRUE(modCalendario::MontaCalendario(vbDate(at(QDate::currentDate().addDays(21), 0))));
        plant.execute("UPDATE CadCale2 SET Programado = 1 WHERE Auto % 7 = 0");
        modCalendario::MontaCalendarioPostos();

        for (const QString& station : stations) {
            SCOPED_TRACE(station.toStdString());
            const auto calendar = modCalendario::CalendariosPostos.PostoCalendario(station);
            double minutes = 0;
            for (std::size_t i = 0; i < calendar->cPeri.size(); ++i) {
                const clsPeriodo& p = calendar->cPeri[i];
                minutes += p.Tempo("n");
                EXPECT_EQ(p.TempoTotal, minutes);
                // Sorted, and apart or touching once merged.
                if (i > 0) {
                    EXPECT_LE(calendar->cPeri[i - 1].Fim(), p.Inicio());
                }
            }
            EXPECT_GT(minutes, 0);
            EXPECT_EQ(qint64(minutes), rowMinutes(db.file(), station, qDateTime(calendar->Periodo().Fim())));
        }
    }
}
