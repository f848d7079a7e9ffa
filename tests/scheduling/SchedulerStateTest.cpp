#include "PlantDatabase.h"

#include "ado/Recordset.h"
#include "scheduling/SchedulerState.h"

#include <gtest/gtest.h>

using test::at;
using test::qDateTime;
using test::vbDate;

namespace {

class SchedulerState : public testing::Test {
protected:
    test::PlantDatabase db;
};

}  // namespace

TEST_F(SchedulerState, StationListHoldsActiveStationsOfExistingGroups)
{
    schema::PlantBuilder& plant = db.plant();
    plant.addMachineGroup(1, "Guilhotina", schema::GuillotineGroup);
    plant.addMachineGroup(2, "Expedição", schema::DispatchGroup);
    plant.addStation({.code = "GUI02", .description = "Guilhotina 2", .group = 1, .yield = 80,
                      .hoursBetweenOperations = 2});
    plant.addStation({.code = "EXP01", .description = "Expedição", .group = 2});
    plant.addStation({.code = "GUI01", .description = "Guilhotina 1", .group = 1});
    plant.addStation({.code = "GUI03", .group = 1, .active = false});
    plant.addStation({.code = "XXX01", .group = 9});  // no such group
    plant.execute("UPDATE CadPosto SET RendMaq = NULL, QtdInterSeq = NULL WHERE Codigo = 'GUI01'");
    plant.execute("UPDATE CadGruMaq SET Tipo = NULL WHERE Codigo = 2");

    modMonta::CarregaPostos();
    ADODB::Recordset& postos = *modMonta::PostosCarregados;
    QStringList codes;
    for (postos.MoveFirst(); !postos.adoEOF(); postos.MoveNext())
        codes << vb::CStr(postos.Fields("Codigo").Value());
    EXPECT_EQ(codes, QStringList({"EXP01", "GUI01", "GUI02"}));

    EXPECT_EQ(Modulo::TipoGrupoPosto("GUI02"), schema::GuillotineGroup);
    EXPECT_EQ(vb::CDbl(postos.Fields("RendMaq").Value()), 80);
    EXPECT_EQ(vb::CDbl(postos.Fields("QtdInterSeq").Value()), 2);
    EXPECT_EQ(vb::CStr(postos.Fields("descricao").Value()), "Guilhotina 2");
    EXPECT_EQ(vb::CLng(postos.Fields("Grupo").Value()), 1);

    // Null yield and interval read as 0; a group kind of Null as 0.
    EXPECT_EQ(Modulo::TipoGrupoPosto("GUI01"), schema::GuillotineGroup);
    EXPECT_EQ(vb::CDbl(postos.Fields("RendMaq").Value()), 0);
    EXPECT_EQ(vb::CDbl(postos.Fields("QtdInterSeq").Value()), 0);
    EXPECT_EQ(Modulo::TipoGrupoPosto("EXP01"), 0);

    // Not in the list: 0. A code with an apostrophe is only a code.
    EXPECT_EQ(Modulo::TipoGrupoPosto("GUI03"), 0);
    EXPECT_EQ(Modulo::TipoGrupoPosto("X' OR 'a'='a"), 0);
}

TEST_F(SchedulerState, CalendarLimitKeepsItsValueWithoutAStoredDate)
{
    const QDate limit(2026, 9, 30);
    db.plant().setCadParBexValue("ultcale", at(limit, 0));
    modMonta::LeDataLimite();
    EXPECT_EQ(qDateTime(modMonta::DataLimite), at(limit, 0));

    db.plant().setCadParBexValue("ultcale", QVariant());
    modMonta::LeDataLimite();
    EXPECT_EQ(qDateTime(modMonta::DataLimite), at(limit, 0));
    EXPECT_EQ(db.logTexts(), QStringList({"Data Limite: 30/09/2026", "Data Limite: 30/09/2026"}));
}

TEST_F(SchedulerState, NextStartIsTheEarliestShiftStartOrBreakEndAhead)
{
    // Without calendar rows ahead: the server's clock.
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    modMonta::LeProximoInicio();
    EXPECT_GE(qDateTime(modMonta::MomentoAtual), before);
    EXPECT_LE(qAbs(qDateTime(modMonta::ProximoInicio).secsTo(qDateTime(modMonta::MomentoAtual))), 1);

    // A break that ends ahead in a shift already started, and a switched-off shift: both count.
    schema::PlantBuilder& plant = db.plant();
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime breakEnd(now.date().addDays(1), QTime(0, 10));
    plant.addCalendarRow({.shift = 1, .station = "A", .start = now.addDays(-1), .breakStart = breakEnd.addSecs(-600),
                          .breakEnd = breakEnd, .end = breakEnd.addSecs(3600)});
    plant.addCalendarRow({.shift = 1, .station = "B", .start = now.addDays(2), .breakStart = now.addDays(2),
                          .breakEnd = now.addDays(2), .end = now.addDays(2), .switchedOff = true});
    modMonta::LeProximoInicio();
    EXPECT_EQ(qDateTime(modMonta::ProximoInicio), breakEnd);

    // Until the clock reaches it, the next start stays, whatever the table says; only the clock moves.
    plant.execute("UPDATE CadCale2 SET FimIntervalo = Fim");
    const vb::Date firstMoment = modMonta::MomentoAtual;
    modMonta::LeProximoInicio();
    EXPECT_EQ(qDateTime(modMonta::ProximoInicio), breakEnd);
    EXPECT_GE(modMonta::MomentoAtual, firstMoment);

    // Once reached, it is computed again.
    modMonta::ProximoInicio = vbDate(now.addSecs(-60));
    modMonta::LeProximoInicio();
    EXPECT_EQ(qDateTime(modMonta::ProximoInicio), breakEnd.addSecs(3600));
}
