#include "SchedulerPlant.h"

#include "scheduling/CalendarGeneration.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/placement/SlotSearch_p.h"
#include "support/FakeUiServices.h"

#include <gtest/gtest.h>

using test::qDateTime;
using test::vbDate;

namespace {

struct Slot {
    QDateTime start;  // invalid when none was found
    QDateTime end;
};

class SlotSearch : public testing::Test {
protected:
    SlotSearch()
    {
        p.addStation("A", 1, schema::NormalGroup, {.description = "Corte"});
    }

    Slot search(const QDateTime& from, double minutes, bool executando = false)
    {
        bool found = false;
        vb::Date fim;
        const vb::Date inicio = modMonta::AlocaTempoPosto("A", vbDate(from), minutes, found, fim, executando);
        EXPECT_EQ(found, !inicio.isZero());
        return found ? Slot{qDateTime(inicio), qDateTime(fim)} : Slot{};
    }

    void book(const QDateTime& start, const QDateTime& end) { p.plant().addBooking(++m_operation, "A", start, end); }

    test::SchedulerPlant p;

private:
    int m_operation = 1000;
};

}  // namespace

TEST_F(SlotSearch, FreeStationTakesTheRequestedStart)
{
    p.start();
    const Slot slot = search(p.at(0, 11), 90);
    EXPECT_EQ(slot.start, p.at(0, 11));
    EXPECT_EQ(slot.end, p.at(0, 13, 30));
    EXPECT_TRUE(p.log().isEmpty());
}

TEST_F(SlotSearch, GapsOfTheDurationAreUsedAndShorterOnesSkipped)
{
    book(p.at(0, 8, 30), p.at(0, 9));
    book(p.at(0, 10), p.at(0, 11));
    p.start();

    // Before the first booking: a gap of exactly the duration is used, a gap of 0 never.
    Slot slot = search(p.at(0, 8), 30);
    EXPECT_EQ(slot.start, p.at(0, 8));
    EXPECT_EQ(slot.end, p.at(0, 8, 30));
    slot = search(p.at(0, 8, 30), 30);
    EXPECT_EQ(slot.start, p.at(0, 9));

    // Between bookings: 60 minutes fit between 09:00 and 10:00, 61 go after the last booking.
    slot = search(p.at(0, 8), 60);
    EXPECT_EQ(slot.start, p.at(0, 9));
    EXPECT_EQ(slot.end, p.at(0, 10));
    slot = search(p.at(0, 8), 61);
    EXPECT_EQ(slot.start, p.at(0, 11));
    EXPECT_EQ(slot.end, p.at(0, 13, 1));

    // A job that runs now is placed at its start whatever is booked there.
    slot = search(p.at(0, 10), 30, true);
    EXPECT_EQ(slot.start, p.at(0, 10));
    EXPECT_EQ(slot.end, p.at(0, 10, 30));
}

TEST_F(SlotSearch, AfterTheLastBookingTheStartMovesIntoWorkingTime)
{
    book(p.at(0, 8), p.at(0, 16));
    book(p.at(1, 8), p.at(1, 17));
    p.start();
    const Slot slot = search(p.at(0, 8), 300);  // the evening gap holds only 60 working minutes
    EXPECT_EQ(slot.start, p.at(2, 8));
    EXPECT_EQ(slot.end, p.at(2, 14));
}

TEST_F(SlotSearch, RefusalsAreLogged)
{
    book(p.at(0, 8), p.at(0, 9));
    p.start(2);

    // Bookings that ended before the run's now.
    modMonta::MomentoAtual = vbDate(p.at(0, 9, 30));
    EXPECT_FALSE(search(p.at(0, 8), 30).start.isValid());
    book(p.at(0, 10), p.at(0, 11));
    EXPECT_FALSE(search(p.at(0, 8), 30).start.isValid());
    EXPECT_EQ(p.log(), QStringList({"Data inicio menor que o momento atual.", "Inicio menor que momento atual."}));

    // More work than the calendar holds, with bookings and without: the attempts give up. (The limit lies
    // far enough for the calendar not to be extended first.)
    modMonta::MomentoAtual = vbDate(p.at(0, 0));
    modMonta::DataLimite = vbDate(p.at(10, 0));
    EXPECT_FALSE(search(p.at(0, 8), 1200).start.isValid());
    EXPECT_EQ(p.log().last(), "Falha: Processo em loop, o sistema tentou mais de 10 vezes alocar após a ultima "
                              "operação no Posto A - Corte");
    const int events = test::fakeUi().doEventsCount;
    EXPECT_FALSE(search(p.at(1, 8), 1200).start.isValid());
    EXPECT_EQ(p.log().last(), "Falha: Processo em loop, mais de 50 tentativas na alocação de tempo no Posto A - Corte");
    EXPECT_GE(test::fakeUi().doEventsCount - events, 50);  // the window stays responsive meanwhile
}

TEST_F(SlotSearch, AJobLongerThanHalfTheHorizonExtendsTheCalendarFirst)
{
    p.start(2);
    const QDateTime limit = qDateTime(modMonta::DataLimite);

    const Slot slot = search(p.at(1, 8), 1000);
    EXPECT_EQ(slot.start, p.at(1, 8));
    const QDateTime extended = qDateTime(modMonta::DataLimite);
    EXPECT_GT(extended, limit.addMonths(1));
    EXPECT_EQ(slot.end, p.at(3, 8).addSecs(40 * 60));  // 1000 minutes: two days and 40 minutes

    // Refused when it would reach beyond the months the calendar may cover.
    modCalendario::MesesCalendario = 1;
    modMonta::DataLimite = vbDate(p.at(2, 0));
    EXPECT_FALSE(search(p.at(1, 8), 1000).start.isValid());
    EXPECT_EQ(p.log().last(), "Falha: nao conseguiu montar o calendario");
}
