// Every row a full rescheduling writes, hashed, against the hash recorded when the scheduler's reads and writes
// were last known right: a change in what is written, or in the order rows are written in, shows here. The
// plants' calendars are shorter than their schedules, so each run also extends the calendar.

#include "PlantDatabase.h"
#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "schema/DemoPlant.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace {

struct Mode {
    const char* name;
    bool divideVorna;
    bool sequenceMode;
    const char* expected;
};

// The written tables in the order of their rows, and the information log.
std::string fingerprint(test::PlantDatabase& db)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const char* table : {"CadProgVorna", "CadSeq", "CadFilaVorna", "CadCale2", "CadParBex"}) {
        hash.addData(table);
        for (const QVariantList& row : db.file().rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table))) {
            for (const QVariant& value : row)
                hash.addData((value.isNull() ? QStringLiteral("<null>") : value.toString()).toUtf8() + '|');
            hash.addData("\n");
        }
    }
    // The log without the time each insertion took.
    for (const QString& line : db.logTexts())
        hash.addData(line.left(line.indexOf(QStringLiteral(" Inserida em "))).toUtf8() + '\n');
    return hash.result().toHex().toStdString();
}

class ScheduleFingerprint : public testing::TestWithParam<Mode> {};

TEST_P(ScheduleFingerprint, RowsWrittenStayTheSame)
{
    const Mode& run = GetParam();
    test::PlantDatabase db;
    // A fixed Monday years ahead: the server's clock is far from the plant, so the hash does not depend on the day
    // the test runs (the calendar limit allows generating up to 60 months ahead, as far as the plant).
    schema::generatePlant(db.folder().file("Dados/Teste.db"),
                          {.stations = 12, .groups = 6, .workOrders = 80, .positionsPerOrder = 3,
                           .operationsPerPosition = 4, .months = 1, .firstDay = QDate(2030, 1, 7)},
                          11);
    const QVariant limitBefore = db.file().value("SELECT ultcale FROM CadParBex");
    Modulo::PorTempo = Modulo::Refugo = false;
    Modulo::ModoSequencia = run.sequenceMode;
    modCalendario::MesesCalendario = 60;
    modMonta::CarregaPostos();
    modCalendario::MontaCalendarioPostos();
    modMonta::DivideVorna = run.divideVorna;
    test::RecordingStatusWindow window;
    ASSERT_TRUE(modMonta::rescheduleAll(window));
    Modulo::ModoSequencia = false;

    EXPECT_GT(db.file().value("SELECT count(*) FROM CadProgVorna").toInt(), 500);
    EXPECT_NE(db.file().value("SELECT ultcale FROM CadParBex"), limitBefore);
    EXPECT_EQ(fingerprint(db), run.expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, ScheduleFingerprint,
                         testing::Values(
                             Mode{"FixedStations", false, false, "afe58fa3ca1853410e83017da35c936c7bafa71b"},
                             Mode{"GroupMoves", true, false, "11036c2834c2f8f0737cfa9c38d829852f087f61"},
                             Mode{"SequenceFixedStations", false, true, "17dbccfed0f090baec63b48467db4e8032666de1"},
                             Mode{"SequenceGroupMoves", true, true, "b9740b41a3944130a606d68428fd3a0b078c46ec"}),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

}  // namespace
