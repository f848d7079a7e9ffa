#include "PlantDatabase.h"

#include "runtime/Err.h"
#include "scheduling/clsColCalendario.h"
#include "support/FakeUiServices.h"

#include <gtest/gtest.h>

using test::at;
using test::qDateTime;
using test::vbDate;

namespace {

const QDate monday(2026, 3, 2);
const QDate tuesday = monday.addDays(1);

class StationCalendar : public testing::Test {
protected:
    StationCalendar()
    {
        db.plant().addMachineGroup(1, "Laser", schema::LaserGroup);
        db.plant().addStation({.code = "LAS01", .group = 1});
        db.plant().addStation({.code = "LAS02", .group = 1});
    }

    void addRow(const QString& station, QDateTime start, QDateTime breakStart, QDateTime breakEnd, QDateTime end,
                bool switchedOff = false)
    {
        db.plant().addCalendarRow({.shift = 1, .station = station, .start = start, .breakStart = breakStart,
                                   .breakEnd = breakEnd, .end = end, .switchedOff = switchedOff});
    }

    // The station's periods over the window as "dd hh:mm-dd hh:mm (running total)".
    QStringList periods(const QString& station, QDateTime from, QDateTime to)
    {
        clsPostoCalendario calendar;
        calendar.Monta(station, clsPeriodo(vbDate(from), vbDate(to)));
        QStringList texts;
        for (const clsPeriodo& p : calendar.cPeri)
            texts << QString("%1-%2 (%3)").arg(qDateTime(p.Inicio()).toString("dd HH:mm"),
                                               qDateTime(p.Fim()).toString("dd HH:mm"), QString::number(p.TempoTotal));
        return texts;
    }

    test::PlantDatabase db;
};

}  // namespace

TEST_F(StationCalendar, MergesOverlapsKeepsTouchingPeriodsApart)
{
    // A zero-length break: two halves that touch.
    addRow("LAS01", at(monday, 8), at(monday, 12), at(monday, 12), at(monday, 16));
    // Shifts that touch stay apart; one that overlaps the next is merged into [earlier start, later end].
    addRow("LAS01", at(tuesday, 6), at(tuesday, 10), at(tuesday, 10, 15), at(tuesday, 14));
    addRow("LAS01", at(tuesday, 14), at(tuesday, 18), at(tuesday, 18, 15), at(tuesday, 22));
    const QDate wednesday = tuesday.addDays(1);
    addRow("LAS01", at(tuesday, 21), at(wednesday, 1), at(wednesday, 1, 15), at(wednesday, 5));  // over midnight
    // Switched-off rows and other stations' rows are no free time.
    addRow("LAS01", at(monday, 18), at(monday, 19), at(monday, 19), at(monday, 20), true);
    addRow("LAS02", at(monday, 8), at(monday, 12), at(monday, 13), at(monday, 17));

    EXPECT_EQ(periods("LAS01", at(monday, 0), at(monday.addDays(7), 0)),
              QStringList({"02 08:00-02 12:00 (240)", "02 12:00-02 16:00 (480)", "03 06:00-03 10:00 (720)",
                           "03 10:15-03 14:00 (945)", "03 14:00-03 18:00 (1185)", "03 18:15-04 01:00 (1590)",
                           "04 01:15-04 05:00 (1815)"}));
}

TEST_F(StationCalendar, StrictWindowQueryAndWholeHalves)
{
    addRow("LAS01", at(monday, 8), at(monday, 12), at(monday, 13), at(monday, 17));
    // Starts with the window to the minute and ends after it: no comparison of the query holds.
    EXPECT_TRUE(periods("LAS01", at(monday, 8), at(monday, 16)).isEmpty());
    // Halves go in whole: one before the window's start is left out, one that begins before it or ends
    // after it keeps its own bounds.
    EXPECT_EQ(periods("LAS01", at(monday, 12, 30), at(tuesday, 0)), QStringList({"02 13:00-02 17:00 (240)"}));
    EXPECT_EQ(periods("LAS01", at(monday, 9), at(monday, 14)),
              QStringList({"02 08:00-02 12:00 (240)", "02 13:00-02 17:00 (480)"}));
    // No active row in the window; a code with an apostrophe is only a code.
    EXPECT_TRUE(periods("LAS01", at(tuesday, 0), at(tuesday, 23)).isEmpty());
    EXPECT_TRUE(periods("L'AS01", at(monday, 0), at(tuesday, 0)).isEmpty());
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

TEST_F(StationCalendar, CollectionKeepsOneEntryPerStation)
{
    addRow("LAS01", at(monday, 8), at(monday, 12), at(monday, 13), at(monday, 17));
    clsColCalendario calendars;
    EXPECT_TRUE(calendars.Add("LAS01", clsPeriodo(vbDate(at(monday, 0)), vbDate(at(monday, 10)))));
    const auto first = calendars.PostoCalendario("LAS01");
    EXPECT_EQ(first->cPeri.size(), 1u);

    // A second Add replaces the entry (codes compare without case); the first stays whole for its holder.
    const clsPeriodo day(vbDate(at(monday, 0)), vbDate(at(tuesday, 0)));
    EXPECT_TRUE(calendars.Add("las01", day));
    const auto second = calendars.PostoCalendario("LAS01");
    EXPECT_EQ(second->cPeri.size(), 2u);
    EXPECT_EQ(second->Posto(), "las01");
    EXPECT_EQ(second->Periodo().Fim(), day.Fim());
    EXPECT_EQ(first->cPeri.size(), 1u);

    // A station without an entry is the collection's missing-key error.
    try {
        calendars.PostoCalendario("LAS02");
        FAIL() << "no entry expected";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.number(), vb::ErrNo::InvalidProcedureCall);
    }
}
