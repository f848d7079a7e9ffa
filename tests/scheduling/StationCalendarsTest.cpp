#include "PlantDatabase.h"

#include "scheduling/CalendarGeneration.h"
#include "scheduling/StationCalendars.h"
#include "support/FakeUiServices.h"

#include <gtest/gtest.h>

using test::at;
using test::qDateTime;
using test::vbDate;

namespace {

class StationCalendars : public testing::Test {
protected:
    StationCalendars()
    {
        db.plant().addMachineGroup(1, "Dobra", schema::PressBrakeGroup);
        for (const char* code : {"DOB01", "DOB02"})
            db.plant().addStation({.code = code, .description = code, .group = 1});
        db.plant().addStation({.code = "DOB03", .description = "Parada", .group = 1, .active = false});
    }

    void addDay(const QString& station, QDate day)
    {
        db.plant().addCalendarRow({.shift = 1, .station = station, .start = at(day, 8), .breakStart = at(day, 12),
                                   .breakEnd = at(day, 13), .end = at(day, 17)});
    }

    static std::size_t periodCount(const QString& station)
    {
        return modCalendario::CalendariosPostos.PostoCalendario(station)->cPeri.size();
    }

    test::PlantDatabase db;
    const QDate today = QDate::currentDate();
};

}  // namespace

TEST_F(StationCalendars, LastCalendarDateFallsBackToTheServerClock)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    EXPECT_GE(qDateTime(modCalendario::UltimaDataCalendario()), before);  // no parameter row

    db.plant().setCadParBexValue("ultcale", QVariant());
    EXPECT_GE(qDateTime(modCalendario::UltimaDataCalendario()), before);  // Null

    db.plant().setCadParBexValue("ultcale", at(today.addDays(20), 0));
    EXPECT_EQ(qDateTime(modCalendario::UltimaDataCalendario()), at(today.addDays(20), 0));
}

TEST_F(StationCalendars, OneStationOverTheWindowFromYesterdayToTheLastDate)
{
    db.plant().setCadParBexValue("ultcale", at(today.addDays(3), 0));
    addDay("DOB01", today.addDays(-2));  // before the window
    addDay("DOB01", today.addDays(1));
    addDay("DOB01", today.addDays(5));   // after the window

    modCalendario::AtualizaCalendarioPosto("DOB01");
    const auto calendar = modCalendario::CalendariosPostos.PostoCalendario("DOB01");
    const QDateTime windowStart = qDateTime(calendar->Periodo().Inicio());
    EXPECT_LE(qAbs(windowStart.secsTo(QDateTime::currentDateTime().addDays(-1))), 2);
    EXPECT_EQ(qDateTime(calendar->Periodo().Fim()), at(today.addDays(3), 0));
    ASSERT_EQ(calendar->cPeri.size(), 2u);
    EXPECT_EQ(qDateTime(calendar->cPeri[0].Inicio()), at(today.addDays(1), 8));
    EXPECT_EQ(calendar->cPeri[1].TempoTotal, 480);

    // A calendar that ended before the server's clock: the window's start is refused (logged) and stays at
    // the zero date, so every row up to the end counts.
    db.plant().setCadParBexValue("ultcale", at(today.addDays(-1), 0));
    modCalendario::AtualizaCalendarioPosto("DOB01");
    EXPECT_TRUE(modCalendario::CalendariosPostos.PostoCalendario("DOB01")->Periodo().Inicio().isZero());
    EXPECT_EQ(periodCount("DOB01"), 2u);
    ASSERT_EQ(db.logTexts().size(), 1);
    EXPECT_TRUE(db.logTexts()[0].startsWith("O Inicio não pode ser superior ao Fim,"));
}

TEST_F(StationCalendars, EveryStationWithTheProgressWindow)
{
    db.plant().setCadParBexValue("ultcale", at(today.addDays(10), 0));
    addDay("DOB01", today.addDays(1));
    addDay("DOB03", today.addDays(1));

    modCalendario::MontaCalendarioPostos();
    EXPECT_EQ(periodCount("DOB01"), 2u);
    EXPECT_EQ(periodCount("DOB02"), 0u);
    EXPECT_EQ(periodCount("DOB03"), 2u);  // inactive stations too

    const auto& progress = test::fakeUi().progress;
    EXPECT_EQ(progress.showCount, 1);
    EXPECT_EQ(progress.unloadCount, 1);
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(progress.values, QList<int>({0, 33, 66, 100}));
    EXPECT_GE(test::fakeUi().doEventsCount, 4);
}

TEST_F(StationCalendars, EditedStationsAreRebuiltOnceInTheOrderMarked)
{
    db.plant().setCadParBexValue("ultcale", at(today.addDays(10), 0));
    modCalendario::MontaCalendarioPostos();
    addDay("DOB01", today.addDays(1));
    addDay("DOB02", today.addDays(1));

    modCalendario::MarcaPostoAlterado("DOB02");
    modCalendario::MarcaPostoAlterado("DOB02");
    EXPECT_EQ(modCalendario::PostosAlterados, QStringList({"DOB02"}));

    // Until rebuilt, an entry is a snapshot of the table.
    EXPECT_EQ(periodCount("DOB02"), 0u);
    modCalendario::AtualizaPostosAlterados();
    EXPECT_EQ(periodCount("DOB02"), 2u);
    EXPECT_EQ(periodCount("DOB01"), 0u);
    EXPECT_TRUE(modCalendario::PostosAlterados.isEmpty());
}
