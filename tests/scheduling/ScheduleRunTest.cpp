// What a run remembers follows every write the scheduler makes through the schedule's road: each write below is
// read before it (so that the run holds the old answer), made, and read again. A write that forgot to tell the
// run would leave the old answer in place.

#include "SchedulerPlant.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/store/ScheduleRun_p.h"
#include "scheduling/store/ScheduleWrites_p.h"
#include "scheduling/store/StationList_p.h"

#include <gtest/gtest.h>

using test::qDateTime;
using test::vbDate;

namespace {

class ScheduleRunTest : public testing::Test {
protected:
    ScheduleRunTest()
    {
        p.addStation("A", 1);
        ops = p.addWorkOrder(1, {{.station = "A", .setupMinutes = 60}, {.station = "A", .setupMinutes = 30}});
        p.start(3);
    }

    // The bookings of station A from the plant's first morning on, as the run answers.
    QList<QDateTime> ends(scheduling::ScheduleRun& run)
    {
        QList<QDateTime> result;
        const scheduling::BookingsFrom bookings = run.bookings.from("A", vbDate(p.at(0, 0)));
        for (std::size_t i = 0; i < bookings.size(); ++i)
            result << qDateTime(bookings[i].fim);
        return result;
    }

    QDateTime nextRowStart(scheduling::ScheduleRun& run, const QDateTime& after)
    {
        const auto rows = scheduling::nextWorkingRows(BancoAtual(), &run, "A", vbDate(after));
        return rows && !rows->ini1.isNull() ? qDateTime(rows->ini1.toDate()) : QDateTime();
    }

    test::SchedulerPlant p;
    QList<int> ops;
};

TEST_F(ScheduleRunTest, IsTheRunInProgressUntilItEnds)
{
    EXPECT_EQ(scheduling::ScheduleRun::current(), nullptr);
    {
        scheduling::ScheduleRun run(BancoAtual());
        EXPECT_EQ(scheduling::ScheduleRun::current(), &run);
        const scheduling::RunInProgress inner(BancoAtual());
        EXPECT_EQ(inner.run(), &run);
        EXPECT_TRUE(inner.joined());
    }
    EXPECT_EQ(scheduling::ScheduleRun::current(), nullptr);
    const scheduling::RunInProgress own(BancoAtual());
    ASSERT_NE(own.run(), nullptr);
    EXPECT_FALSE(own.joined());
    EXPECT_EQ(scheduling::ScheduleRun::current(), own.run());
}

TEST_F(ScheduleRunTest, ForgetsEverythingWhenItEnds)
{
    {
        scheduling::ScheduleRun run(BancoAtual());
        EXPECT_TRUE(ends(run).isEmpty());
    }
    // Written behind the scheduler's back between two runs: the next run reads it.
    p.plant().addBooking(ops[0], "A", p.at(0, 8), p.at(0, 9));
    scheduling::ScheduleRun run(BancoAtual());
    EXPECT_EQ(ends(run), QList<QDateTime>{p.at(0, 9)});
}

TEST_F(ScheduleRunTest, BookingsInsertedAreAdded)
{
    scheduling::ScheduleRun run(BancoAtual());
    EXPECT_TRUE(ends(run).isEmpty());
    scheduling::insertBooking(BancoAtual(), &run, ops[0], "a", vbDate(p.at(0, 8)), vbDate(p.at(0, 9)));
    EXPECT_EQ(ends(run), QList<QDateTime>{p.at(0, 9)});
    EXPECT_TRUE(run.bookings.overlaps("A", vbDate(p.at(0, 8, 30)), vbDate(p.at(0, 8, 40))));
    EXPECT_EQ(run.bookings.writtenOn("A"), 1u);
}

TEST_F(ScheduleRunTest, OtherBookingChangesAreReadAgain)
{
    const int booking = p.plant().addBooking(ops[0], "A", p.at(0, 8), p.at(0, 9));
    p.plant().addBooking(ops[1], "A", p.at(0, 10), p.at(0, 11));
    scheduling::ScheduleRun run(BancoAtual());
    EXPECT_EQ(ends(run), (QList<QDateTime>{p.at(0, 9), p.at(0, 11)}));

    scheduling::setLeadTimeEnd(BancoAtual(), &run, booking, ops[0], vbDate(p.at(0, 9, 30)));
    EXPECT_EQ(ends(run), (QList<QDateTime>{p.at(0, 9, 30), p.at(0, 11)}));
    EXPECT_EQ(qDateTime(test::vbDate(p.at(0, 9, 30))), test::storedMoment(p.operationValue(ops[0], "Termino")));

    scheduling::deleteWorkOrderBookings(BancoAtual(), &run, 1);
    EXPECT_TRUE(ends(run).isEmpty());
}

TEST_F(ScheduleRunTest, TheWholeScheduleDeletedMakesEveryBookingKnown)
{
    p.plant().addBooking(ops[0], "A", p.at(0, 8), p.at(0, 9));
    scheduling::ScheduleRun run(BancoAtual());
    std::optional<vb::Date> end;
    EXPECT_FALSE(run.bookings.endKnown(ops[0], end));
    EXPECT_EQ(ends(run).size(), 1);

    ASSERT_TRUE(scheduling::deleteSchedule(BancoAtual(), &run));
    EXPECT_TRUE(ends(run).isEmpty());
    ASSERT_TRUE(run.bookings.endKnown(ops[0], end));
    EXPECT_FALSE(end);
    EXPECT_EQ(run.bookedOperations.positionBooked(1), false);

    scheduling::insertBooking(BancoAtual(), &run, ops[0], "A", vbDate(p.at(0, 8)), vbDate(p.at(0, 9)));
    ASSERT_TRUE(run.bookings.endKnown(ops[0], end));
    EXPECT_EQ(qDateTime(*end), p.at(0, 9));
}

TEST_F(ScheduleRunTest, MinimumStartsFollowTheirWrites)
{
    scheduling::ScheduleRun run(BancoAtual());
    run.minimumStarts.read(ops[1], vb::Variant::Null());
    scheduling::pushMinimumStart(BancoAtual(), &run, ops[1], vbDate(p.at(0, 12)));
    ASSERT_TRUE(run.minimumStarts.known(ops[1]));
    EXPECT_EQ(qDateTime(run.minimumStarts.known(ops[1])->toDate()), p.at(0, 12));

    scheduling::clearMinimumStarts(BancoAtual(), &run, 1);
    EXPECT_FALSE(run.minimumStarts.known(ops[1]));
    EXPECT_TRUE(p.operationValue(ops[1], "InicioMinimo").isNull());
}

TEST_F(ScheduleRunTest, CalendarRowsWrittenAreSeenByTheNextWorkingMoment)
{
    const QDateTime late = p.at(5, 8);  // after the plant's three days of rows
    scheduling::ScheduleRun run(BancoAtual());
    EXPECT_FALSE(nextRowStart(run, p.at(4, 0)).isValid());

    scheduling::insertShiftRow(BancoAtual(), &run, 1, "A", vbDate(late), vbDate(p.at(5, 12)), vbDate(p.at(5, 13)),
                               vbDate(p.at(5, 17)));
    EXPECT_EQ(nextRowStart(run, p.at(4, 0)), late);

    // A whole occurrence of the station's shift, the day before.
    const int shift = vb::CLng(BancoAtual().DBSeek("CadPostoTur", "Turno", "Posto = 'A'"));
    ASSERT_TRUE(scheduling::insertShiftOccurrence(BancoAtual(), &run, shift, "A", vbDate(p.at(4, 8)),
                                                  vbDate(p.at(4, 12)), vbDate(p.at(4, 13)), vbDate(p.at(4, 17))));
    EXPECT_EQ(nextRowStart(run, p.at(4, 0)), p.at(4, 8));
}

TEST_F(ScheduleRunTest, StoredCalendarLimitIsReadAgain)
{
    scheduling::ScheduleRun run(BancoAtual());
    const vb::Variant before = scheduling::storedCalendarLimit(BancoAtual(), &run);
    ASSERT_FALSE(before.isNull());
    const vb::Date later(before.toDate().serial + 10);
    scheduling::storeCalendarLimit(BancoAtual(), &run, later);
    EXPECT_EQ(scheduling::storedCalendarLimit(BancoAtual(), &run).toDate().serial, later.serial);
}

TEST_F(ScheduleRunTest, StationValuesAreKeptOnlyInARun)
{
    EXPECT_EQ(vb::CDbl(scheduling::stationListValue(nullptr, "A", "RendMaq")), 100);
    scheduling::ScheduleRun run(BancoAtual());
    EXPECT_EQ(vb::CDbl(scheduling::stationListValue(&run, "A", "RendMaq")), 100);
    EXPECT_TRUE(run.lookups.stationValue(modMonta::PostosCarregados.get(), "A", "RendMaq"));
    EXPECT_FALSE(run.lookups.stationValue(modMonta::PostosCarregados.get(), "A", "QtdInterSeq"));
}

}  // namespace
