// Every row a full rescheduling writes, against the rows recorded when the scheduler's reads and writes were
// last known right (fingerprints/<mode>.rows, one line a row, and <mode>.log): a change in what is written, or
// in the order rows are written in, fails with the first row that differs. The plants' calendars are shorter
// than their schedules, so each run also extends the calendar.
//
// To record the rows again after a change meant to alter them: VORNA_RECORD_ROWS=1 scheduling_tests
// --gtest_filter='Modes/ScheduleFingerprint.*', then read the difference in the files before committing them.

#include "PlantDatabase.h"
#include "SchedulerPlant.h"

#include "core/StartupSettings.h"
#include "scheduling/CalendarGeneration.h"
#include "scheduling/Rescheduling.h"
#include "scheduling/SchedulerState.h"
#include "scheduling/StationCalendars.h"
#include "schema/DemoPlant.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct Mode {
    const char* name;
    bool divideVorna;
    bool sequenceMode;
};

// The written tables in the order of their rows: a line with the table's name, then one line a row.
QStringList writtenRows(test::PlantDatabase& db)
{
    QStringList lines;
    for (const char* table : {"CadProgVorna", "CadSeq", "CadFilaVorna", "CadCale2", "CadParBex"}) {
        lines << QString::fromLatin1(table);
        for (const QVariantList& row : db.file().rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table))) {
            QString line;
            for (const QVariant& value : row)
                line += (value.isNull() ? QStringLiteral("<null>") : value.toString()) + QLatin1Char('|');
            lines << line;
        }
    }
    return lines;
}

// The information log without the time each insertion took.
QStringList logLines(test::PlantDatabase& db)
{
    QStringList lines;
    for (const QString& line : db.logTexts())
        lines << line.left(line.indexOf(QStringLiteral(" Inserida em ")));
    return lines;
}

QString recordedFile(const Mode& mode, const char* kind)
{
    return QStringLiteral(FINGERPRINT_DIR "/%1.%2").arg(QString::fromLatin1(mode.name), QString::fromLatin1(kind));
}

QStringList recorded(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<cannot open %1>").arg(path)};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();  // after the last line's end
    return lines;
}

void record(const QString& path, const QStringList& lines)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    for (const QString& line : lines)
        file.write(line.toUtf8() + '\n');
}

// The first line that differs, with the table it belongs to (the last line that names no row).
void expectSameLines(const QStringList& actual, const QString& path)
{
    const QStringList expected = recorded(path);
    QString section;
    const qsizetype common = std::min(actual.size(), expected.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (!expected[i].endsWith(QLatin1Char('|')))
            section = expected[i];
        if (actual[i] != expected[i]) {
            ADD_FAILURE() << path.toStdString() << ":" << i + 1 << " (" << section.toStdString() << ")\n  expected: "
                          << expected[i].toStdString() << "\n  written:  " << actual[i].toStdString();
            return;
        }
    }
    EXPECT_EQ(actual.size(), expected.size()) << path.toStdString() << ": the first "
                                              << common << " lines agree";
}

class ScheduleFingerprint : public testing::TestWithParam<Mode> {};

TEST_P(ScheduleFingerprint, RowsWrittenStayTheSame)
{
    const Mode& run = GetParam();
    test::PlantDatabase db;
    // A fixed Monday years ahead: the server's clock is far from the plant, so the rows do not depend on the day
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
    if (qEnvironmentVariableIsSet("VORNA_RECORD_ROWS")) {
        record(recordedFile(run, "rows"), writtenRows(db));
        record(recordedFile(run, "log"), logLines(db));
        return;
    }
    expectSameLines(writtenRows(db), recordedFile(run, "rows"));
    expectSameLines(logLines(db), recordedFile(run, "log"));
}

INSTANTIATE_TEST_SUITE_P(Modes, ScheduleFingerprint,
                         testing::Values(Mode{"FixedStations", false, false}, Mode{"GroupMoves", true, false},
                                         Mode{"SequenceFixedStations", false, true},
                                         Mode{"SequenceGroupMoves", true, true}),
                         [](const testing::TestParamInfo<Mode>& info) { return std::string(info.param.name); });

}  // namespace
