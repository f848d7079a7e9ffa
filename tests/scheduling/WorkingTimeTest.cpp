#include "SchedulerPlant.h"

#include "core/BancoAtual.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/placement/WorkingTime_p.h"
#include "scheduling/store/ScheduleRun_p.h"

#include <gtest/gtest.h>

using test::qDateTime;
using test::vbDate;

namespace {

class WorkingTime : public testing::Test {
protected:
    WorkingTime()
    {
        p.addStation("A", 1);
        p.addStation("B", 1);
        p.start(3);
    }

    // The end CalculaFimCalendario computes from `start`, or an invalid moment when the job does not fit by
    // `latest`.
    QDateTime endOf(const QDateTime& start, double minutes, const QDateTime& latest)
    {
        vb::Date fim = vbDate(latest);
        return modMonta::CalculaFimCalendario("A", vbDate(start), fim, minutes) ? qDateTime(fim) : QDateTime();
    }

    bool free(const QDateTime& from, const QDateTime& to)
    {
        return modMonta::IntervaloLivre("A", vbDate(from), vbDate(to));
    }

    QDateTime next(const QDateTime& limit, const QDateTime& moment, bool later)
    {
        vb::Date momento = vbDate(moment);
        modMonta::ProximoTempoLivre("A", vbDate(limit), momento, later);
        return qDateTime(momento);
    }

    test::SchedulerPlant p;
};

}  // namespace

TEST_F(WorkingTime, EndsAreCountedOverWorkingMinutesOnly)
{
    const QDateTime limit = p.at(3, 0);
    EXPECT_EQ(endOf(p.at(0, 11), 90, limit), p.at(0, 13, 30));  // over the break
    EXPECT_EQ(endOf(p.at(0, 16), 120, limit), p.at(1, 9));       // over the night
    EXPECT_EQ(endOf(p.at(0, 8), 480, limit), p.at(0, 17));        // a whole day ends with it
    // A start outside working time counts from the next period's start, never the break or night before it.
    EXPECT_EQ(endOf(p.at(0, 12), 300, limit), p.at(1, 9));
    EXPECT_EQ(endOf(p.at(0, 6), 60, limit), p.at(0, 9));

    double minutes = 30.7;
    vb::Date fim = vbDate(limit);
    ASSERT_TRUE(modMonta::CalculaFimCalendario("A", vbDate(p.at(0, 8)), fim, minutes));
    EXPECT_EQ(minutes, 30);  // cut in place
    EXPECT_EQ(qDateTime(fim), p.at(0, 8, 30));

    // A latest end one minute short refuses and is left as it was; a start after it raises it first.
    fim = vbDate(p.at(0, 13, 29));
    minutes = 90;
    EXPECT_FALSE(modMonta::CalculaFimCalendario("A", vbDate(p.at(0, 11)), fim, minutes));
    EXPECT_EQ(qDateTime(fim), p.at(0, 13, 29));
    EXPECT_EQ(endOf(p.at(0, 9), 30, p.at(0, 8)), p.at(0, 9, 30));
    // More work than the calendar holds.
    EXPECT_FALSE(endOf(p.at(2, 8), 481, limit).isValid());
}

TEST_F(WorkingTime, WorkingMomentsAndNextPeriods)
{
    const auto inside = [](const QDateTime& a, const QDateTime& b) {
        return modMonta::DentroCalendario("A", vbDate(a), vbDate(b));
    };
    EXPECT_TRUE(inside(p.at(0, 8), p.at(0, 12)));    // bounds included
    EXPECT_TRUE(inside(p.at(0, 17), p.at(1, 8)));    // in different periods
    EXPECT_FALSE(inside(p.at(0, 11), p.at(0, 12, 1)));
    EXPECT_FALSE(inside(p.at(0, 7, 59), p.at(0, 9)));

    const auto nextPeriod = [](const QDateTime& m) {
        return qDateTime(modMonta::ProximoInicioCalendario("A", vbDate(m)));
    };
    EXPECT_EQ(nextPeriod(p.at(0, 12, 30)), p.at(0, 13));
    EXPECT_EQ(nextPeriod(p.at(0, 13)), p.at(0, 13));
    EXPECT_EQ(nextPeriod(p.at(2, 13, 1)), p.at(2, 13, 1));  // no period after it

    // The next working moment: the earlier of the next shift start and break end, never before the limit. A
    // moment in a break so goes back to its shift's start unless the later one is asked for.
    EXPECT_EQ(next(p.at(0, 8), p.at(0, 17), false), p.at(1, 8));
    EXPECT_EQ(next(p.at(0, 8), p.at(0, 12), false), p.at(0, 8));
    EXPECT_EQ(next(p.at(0, 8), p.at(0, 12), true), p.at(0, 13));
    EXPECT_EQ(next(p.at(0, 10), p.at(0, 12), false), p.at(0, 10));
}

TEST_F(WorkingTime, NextWorkingMomentsKeptForARunAnswerAsTheCalendarRowsDo)
{
    // At a row's start, in a break, seconds past a break's end, after the last row (which extends the calendar).
    const QList<QDateTime> moments = {p.at(1, 8),  p.at(1, 8).addSecs(30), p.at(0, 12),
                                      p.at(0, 13), p.at(0, 13).addSecs(59), p.at(0, 17), p.at(9, 0)};
    for (const bool later : {false, true}) {
        QList<QDateTime> read, kept;
        for (const QDateTime& moment : moments)
            read << next(p.at(0, 0), moment, later);
        {
            const scheduling::ScheduleRun run(BancoAtual());
            for (const QDateTime& moment : moments)
                kept << next(p.at(0, 0), moment, later);
        }
        EXPECT_EQ(kept, read);
    }
}

TEST_F(WorkingTime, FreeIntervalsAvoidBookingsAndNonWorkingTime)
{
    p.plant().addBooking(1, "A", p.at(0, 9), p.at(0, 10));
    p.plant().addBooking(2, "A", p.at(0, 15), p.at(0, 15));  // zero length
    p.plant().addBooking(3, "B", p.at(0, 10), p.at(0, 11));
    p.plant().addBooking(4, "a", p.at(1, 9), p.at(1, 10));    // codes compare without case

    EXPECT_TRUE(free(p.at(0, 10), p.at(0, 11)));   // touches the end of a booking
    EXPECT_TRUE(free(p.at(0, 8), p.at(0, 9)));     // touches its start
    EXPECT_FALSE(free(p.at(0, 9, 59), p.at(0, 10, 30)));
    EXPECT_FALSE(free(p.at(0, 8, 30), p.at(0, 9, 1)));
    EXPECT_FALSE(free(p.at(0, 14), p.at(0, 15)));  // a zero-length booking at its end
    EXPECT_FALSE(free(p.at(0, 11, 30), p.at(0, 12, 30)));  // ends in the break
    EXPECT_FALSE(free(p.at(1, 8), p.at(1, 11)));
}
