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
    const char* rows;
    const char* log;
};

// The written tables in the order of their rows.
std::string rowsFingerprint(test::PlantDatabase& db)
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
    return hash.result().toHex().toStdString();
}

// The information log without the time each insertion took.
std::string logFingerprint(test::PlantDatabase& db)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
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
                          {.stations = 12,
                           .groups = 6,
                           .workOrders = 80,
                           .positionsPerOrder = 3,
                           .operationsPerPosition = 4,
                           .months = 1,
                           .firstDay = QDate(2030, 1, 7)},
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
    EXPECT_EQ(rowsFingerprint(db), run.rows);
    EXPECT_EQ(logFingerprint(db), run.log);
}

// The last log differs from the first recording only in lines no longer repeated: a refusal to extend the
// calendar to one final date is logged once per run.
INSTANTIATE_TEST_SUITE_P(
    Modes, ScheduleFingerprint,
    testing::Values(Mode{"FixedStations", false, false, "856faeebda334ab43166ed1847a3003355e808fa",
                         "042f7faa275fa8ab97b97b56b06ba99136720314"},
                    Mode{"GroupMoves", true, false, "6ca1344c7feef824e3dca232a3ec81bf4390c055",
                         "76942c3e66c7a59ebf017f43ec364e519bafe8ad"},
                    Mode{"SequenceFixedStations", false, true, "b0997a619e6c733f7f328d9d977db9d3c504e88e",
                         "d3fbecb63814cd166bf146484eb72f00594bbb51"},
                    Mode{"SequenceGroupMoves", true, true, "fe146bff22e0557d7567f9099ac59c36a0f667e2",
                         "8bd0b1418a454c119fde4b0aab89326ad33c7423"}),
    [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

}  // namespace
