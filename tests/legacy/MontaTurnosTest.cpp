// A station's periods in the older model, beside the live station calendar it differs from.

#include "LegacyDatabase.h"

#include "legacy/clsPostos.h"
#include "scheduling/clsPostoCalendario.h"

#include <QStringList>

using test::at;
using test::ConnectionKind;

namespace {

const QDate monday(2026, 3, 2);
const QDate tuesday = monday.addDays(1);
const QDate wednesday = monday.addDays(2);

QString text(const clsPeriodo& periodo)
{
    return vb::toQDateTime(periodo.Inicio()).toString("dd HH:mm") + "-"
           + vb::toQDateTime(periodo.Fim()).toString("dd HH:mm");
}

class MontaTurnos : public testing::TestWithParam<ConnectionKind> {
protected:
    void addRow(QDate day, QTime start, QTime breakStart, QTime breakEnd, QTime end, bool switchedOff = false)
    {
        db.plant().addCalendarRow({.shift = 1, .station = "SOL'1", .start = QDateTime(day, start),
                                   .breakStart = QDateTime(day, breakStart), .breakEnd = QDateTime(day, breakEnd),
                                   .end = QDateTime(day, end), .switchedOff = switchedOff});
    }

    QStringList turnos(const clsPeriodo& janela)
    {
        clsPostos posto;
        posto.Codigo = "SOL'1";
        posto.MontaTurnos(janela);
        QStringList texts;
        for (const clsPeriodo& periodo : *posto.Turnos)
            texts << text(periodo);
        return texts;
    }

    QStringList liveCalendar(const clsPeriodo& janela)
    {
        clsPostoCalendario calendario;
        calendario.Monta("SOL'1", janela);
        QStringList texts;
        for (const clsPeriodo& periodo : calendario.cPeri)
            texts << text(periodo);
        return texts;
    }

    test::LegacyDatabase db{GetParam()};
};

}  // namespace

TEST_P(MontaTurnos, MergesOverlapsAndCountsSwitchedOffRows)
{
    addRow(monday, QTime(8, 0), QTime(12, 0), QTime(13, 0), QTime(17, 0));
    addRow(monday, QTime(9, 0), QTime(10, 0), QTime(10, 30), QTime(11, 0));  // inside the first half
    // Three mutually overlapping halves, and one apart.
    addRow(tuesday, QTime(10, 30), QTime(15, 0), QTime(16, 0), QTime(18, 0));
    addRow(tuesday, QTime(8, 0), QTime(11, 0), QTime(10, 0), QTime(14, 0));
    addRow(wednesday, QTime(6, 0), QTime(7, 0), QTime(7, 0), QTime(9, 0), true);
    db.plant().addCalendarRow({.shift = 1, .station = "OUTRO", .start = QDateTime(monday, QTime(8, 0)),
                               .breakStart = QDateTime(monday, QTime(9, 0)), .breakEnd = QDateTime(monday, QTime(9, 0)),
                               .end = QDateTime(monday, QTime(20, 0))});

    const clsPeriodo semana(at(monday, 0), at(wednesday, 23));
    EXPECT_EQ(turnos(semana), QStringList({"02 08:00-02 12:00", "02 13:00-02 17:00", "03 08:00-03 15:00",
                                           "03 16:00-03 18:00", "04 06:00-04 07:00", "04 07:00-04 09:00"}));
    // A half that meets the window goes in whole.
    EXPECT_EQ(turnos(clsPeriodo(at(tuesday, 17), at(wednesday, 6, 30))),
              QStringList({"03 16:00-03 18:00", "04 06:00-04 07:00"}));
    if (GetParam() == ConnectionKind::Server) {
        EXPECT_EQ(liveCalendar(semana), QStringList({"02 08:00-02 12:00", "02 13:00-02 17:00", "03 08:00-03 15:00",
                                                     "03 16:00-03 18:00"}));
    }
}

TEST_P(MontaTurnos, WindowIncludesItsBoundsWhereTheLiveCalendarDoesNot)
{
    addRow(monday, QTime(8, 0), QTime(12, 0), QTime(13, 0), QTime(17, 0));
    const clsPeriodo turno(at(monday, 8), at(monday, 17));
    EXPECT_EQ(turnos(turno), QStringList({"02 08:00-02 12:00", "02 13:00-02 17:00"}));
    // The live calendar's window is strict: a row from exactly its start to exactly its end is not read.
    if (GetParam() == ConnectionKind::Server) {
        EXPECT_TRUE(liveCalendar(turno).isEmpty());
    }
    EXPECT_TRUE(turnos(clsPeriodo(at(monday, 17, 1), at(monday, 20))).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothConnections, MontaTurnos, testing::Values(ConnectionKind::Server, ConnectionKind::Access),
                         test::kindName);
