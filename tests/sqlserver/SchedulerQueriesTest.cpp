// The scheduler's statements: calendars, the load queue, work-order insertion and completion, the placement
// engine, the slot search and the sequence mode with the plant's database functions.

#include "ServerFixture.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class SchedulerQueriesTest : public test::ServerFixture {
protected:
    void SetUp() override { seedPlant(); }

    std::vector<vb::Variant> column(const Rowset& r, int c)
    {
        std::vector<vb::Variant> values;
        for (const auto& row : r.rows)
            values.push_back(row[size_t(c)]);
        return values;
    }
};

TEST_F(SchedulerQueriesTest, FreePeriodsOfAStationInAWindowWrittenWithoutSeconds)
{
    const QString sql = "SELECT Inicio,InicioIntervalo,FimIntervalo,Fim From CadCale2 Where Posto = 'P1' And "
                        "Programado=0 And ((Inicio > '%1' And Fim < '%2') OR (Inicio > '%1' And Inicio < '%2') OR "
                        "(Fim > '%1' And Fim < '%2') OR (Inicio < '%1' And Fim > '%2')) ORDER BY CadCale2.Inicio";
    // Bounds are strict: a shift starting exactly at the window's start, written without seconds, is not after it.
    EXPECT_EQ(0u, rows(sql.arg("2026-12-07 06:00", "2026-12-07 13:59")).rows.size());
    Rowset r = rows(sql.arg("2026-12-07 05:59", "2026-12-07 13:59"));
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 10, 15)), r.rows[0][2]);
    EXPECT_EQ(0u, rows(sql.arg("2026-12-07 14:00", "2026-12-08 06:00")).rows.size());
    EXPECT_EQ(2u, rows(sql.arg("2026-12-07 06:00", "2026-12-09 00:00")).rows.size());
    native({"UPDATE CadCale2 SET Programado = 1 WHERE Auto = 2"});
    EXPECT_EQ(1u, rows(sql.arg("2026-12-07 06:00", "2026-12-09 00:00")).rows.size());
}

TEST_F(SchedulerQueriesTest, CalendarGenerationReads)
{
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 8)), scalar("select ultcale as u from cadparbex"));
    EXPECT_EQ(4u, rows("select codigo from cadposto with(nolock)").rows.size());
    EXPECT_EQ(column(rows("Select Turno From CadTur2 with(nolock) Order By Turno"), 0),
              (std::vector<vb::Variant>{vb::Variant(std::int16_t(1)), vb::Variant(std::int16_t(2))}));
    const Rowset items = rows("SELECT * FROM CadTur2Item with(nolock) WHERE Turno = 1 AND NOT DiaInicio IS NULL ORDER "
                              "BY DiaInicio,HoraInicio");
    ASSERT_EQ(2u, items.rows.size());
    EXPECT_EQ(vb::Variant(std::int16_t(2)), items.rows[0][2]);
    // A time of day is a date on day 0: the platform's time alone.
    EXPECT_EQ(vb::Variant(vb::Date(0.25)), items.rows[0][3]);
}

TEST_F(SchedulerQueriesTest, ShiftOccurrenceInsertSelectSkipsStationsThatHaveIt)
{
    const QString insert =
        " insert into cadcale2\r\n (\r\n    Turno,\r\n    Posto,\r\n    Inicio,\r\n    InicioIntervalo,\r\n"
        "    FimIntervalo,\r\n    Fim\r\n )\r\n  Select\r\n    CADPOSTOTUR.Turno,\r\n"
        "    CADPOSTOTUR.Posto,'%1','2026-12-07 10:00','2026-12-07 10:15','2026-12-07 14:00'\r\n"
        " From cadpostotur INNER JOIN CADPOSTO ON CADPOSTOTUR.POSTO= CADPOSTO.CODIGO    \r\n"
        " where cadposto.inativo=0 and CADPOSTOTUR.Turno = 1\r\n and cadposto.Codigo not in\r\n (\r\n"
        "    select Posto from CadCale2 where cadcale2.Turno =1 and Inicio = '%1'\r\n )";
    // P1 and P2 have the occurrence already (stored with seconds); P3 is inactive: nothing is inserted.
    EXPECT_EQ(0, plant->execute(insert.arg("2026-12-07 06:00")).rowsAffected);
    native({"DELETE FROM CadCale2 WHERE Posto = 'P2'"});
    EXPECT_EQ(1, plant->execute(insert.arg("2026-12-07 06:00")).rowsAffected);
    const Rowset added = rows("SELECT Inicio, Fim, Programado FROM CadCale2 WHERE Posto = 'P2'");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 6)), added.rows[0][0]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 14)), added.rows[0][1]);
    EXPECT_EQ(vb::Variant(0), added.rows[0][2]);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadCale2 WHERE Posto = 'P2' AND Inicio = '2026-12-07 06:00:00'"));
}

TEST_F(SchedulerQueriesTest, StationListAndNextStart)
{
    const Rowset stations = rows(
        "select cadposto.Codigo,isnull(CadPosto.RendMaq,0) as RendMaq,isnull(CadPosto.QtdInterSeq,0)as QtdInterSeq,"
        "CadPosto.Tipo as Grupo,isnull(CadGruMaq.Tipo,0) as Tipo,cadposto.descricao from cadposto with(nolock) inner "
        "join cadgrumaq with(nolock) on cadposto.tipo =cadgrumaq.codigo where cadposto.inativo=0 order by cadposto.codigo");
    ASSERT_EQ(3u, stations.rows.size());
    EXPECT_EQ(vb::Variant("P2"), stations.rows[1][0]);
    EXPECT_EQ(0.0, stations.rows[1][1].toDouble());  // a Null yield reads 0
    EXPECT_EQ(3, stations.rows[2][4].toLong());
    EXPECT_EQ("Grupo", stations.columns[3].name);
    // The next working moment after the server's clock; with none, the clock itself.
    native({"DELETE FROM CadCale2"});
    const QString next = "select isnull(min(d.i),getdate()) as proximoinicio from(select inicio as i from cadcale2 "
                         "with(nolock) where inicio>getdate()union all select fimintervalo as i from cadcale2 "
                         "with(nolock) where fimintervalo>getdate() )as d";
    const vb::Variant now = scalar(next);
    ASSERT_TRUE(now.isDate());
    native({"INSERT INTO CadCale2 (Turno, Posto, Inicio, InicioIntervalo, FimIntervalo, Fim) VALUES "
            "(1, 'P1', '2099-01-05 06:00:00', '2099-01-05 10:00:00', '2099-01-05 10:15:00', '2099-01-05 14:00:00')"});
    EXPECT_EQ(vb::Variant(dateOf(2099, 1, 5, 6)), scalar(next));
}

TEST_F(SchedulerQueriesTest, WorkOrderInsertionAndCompletion)
{
    const Rowset os = rows("SELECT CadOS.NrServ,CadOS.dtEntr,Cados.situacao from CadOS with(nolock) where nrserv = 100 ");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 10)), os.rows[0][1]);
    EXPECT_EQ(column(rows("Select Auto,Etapa From CadPos with(nolock) Where nrserv = 100 order by Etapa"), 0),
              (std::vector<vb::Variant>{vb::Variant(2), vb::Variant(1)}));
    EXPECT_EQ(column(rows("select posto from cadseq with(nolock) where nrserv = 100 group by posto"), 0),
              (std::vector<vb::Variant>{vb::Variant("P1"), vb::Variant("P2"), vb::Variant("T1")}));
    // Copying the placed times into the operations (the day of the start at midnight).
    native({"INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (1, 'P1', '2026-12-07 10:15:00', "
            "'2026-12-07 16:45:00')"});
    plant->execute("update cadseq set Data = cast(floor(cast(cadprogvorna.inicio as float))as datetime), inicio = "
                   "cadprogvorna.inicio,termino = cadprogvorna.fim from cadseq inner join cadprogvorna on "
                   "cadseq.auto=cadprogvorna.seqauto where cadseq.nrserv = 100");
    const Rowset copied = rows("SELECT Data, Inicio, Termino FROM CadSeq WHERE Auto = 1");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7)), copied.rows[0][0]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 10, 15)), copied.rows[0][1]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 16, 45)), copied.rows[0][2]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 9)), scalar("SELECT Termino FROM CadSeq WHERE Auto = 3"));
    EXPECT_TRUE(scalar("SELECT Termino FROM CadSeq WHERE Auto = 5").isNull());  // not of work order 100
    // The end of the work order: its root position's last operation (here operation 2 has no times: Null).
    EXPECT_TRUE(scalar("Select Top 1 CadSeq.Termino From CadPos with(nolock) Inner Join CadSeq with(nolock) ON "
                       "CadPos.Auto = CadSeq.Posicao Where (CadPos.Pai = 0 Or CadPos.Pai Is Null) and CadPos.NrServ = 100 "
                       "Order by CadSeq.Sequencia Desc").isNull());
    const Rowset order = rows("Select dtEntr, OS_PCP from cados with(nolock) where nrserv = 100");
    EXPECT_EQ(vb::Variant(true), order.rows[0][1]);
    plant->execute("update CadPed set PCP_PrevConclusao = '2026-12-12 15:30' where nrservpcp = 100");
    plant->execute("update cados set datainiciominimo = '2026-12-12 15:30' from cados inner join cadpeditem on "
                   "CadOS.NrServ=CadPedItem.NrServ inner join CadPed on cadpeditem.nrped = cadped.nrped where "
                   "cadped.nrservpcp = 100");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 12, 15, 30)), scalar("SELECT PCP_PrevConclusao FROM CadPed WHERE NrPed = 500"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 12, 15, 30)), scalar("SELECT DataInicioMinimo FROM CadOS WHERE NrServ = 101"));
    EXPECT_TRUE(scalar("SELECT DataInicioMinimo FROM CadOS WHERE NrServ = 100").isNull());
    plant->execute("update cadfilavorna set dataentrega =  '2026-12-10' ,datatermino =  '2026-12-12' , falhou = 0, "
                   "atrasado = 2,adiantado = null where nrserv = 100");
    const Rowset queue = rows("SELECT DataEntrega, DataTermino, Falhou, Atrasado, Adiantado FROM CadFilaVorna WHERE NrServ = 100");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 10)), queue.rows[0][0]);
    EXPECT_EQ(vb::Variant(false), queue.rows[0][2]);
    EXPECT_EQ(vb::Variant(2), queue.rows[0][3]);
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadFilaVorna WHERE DataEntrega = '2026-12-10 00:00:00'"));
}

TEST_F(SchedulerQueriesTest, OperationsOfAPositionToPlace)
{
    const QString sql =
        "Select CadSeq.Auto,cadseq.sequencia,CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant ,("
        "   CadPos.Quant - cadseq.QtdApontada -   isnull((select sum(r.qtdrejeitada)  from cadsolrefugo as r "
        "with(nolock) where r.situacao=1 and r.programa in(select s.auto from cadseq as s with(nolock) where s.posicao "
        "= cadpos.auto and s.sequencia<=cadseq.sequencia)),0) -    isnull((select sum(p.qtd)  from cadsolrefugo as p "
        "with(nolock) where p.situacao=0 and p.programa = cadseq.auto),0))as QuantRestante,"
        "CadSeq.TempoUnitario,CadSeq.Posto,CadSeq.NaoTrocarPosto,isnull(cados.datainiciominimo,cados.data)as "
        "DataInicioMinimo,  isnull((Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = "
        "CadPos.Auto and SeqA.Sequencia < CadSeq.Sequencia order by seqa.sequencia desc),0)as AutoAnt, "
        " isnull((Select top 1 SeqA.Auto from cadseq as SeqA with(nolock) Where seqa.Posicao = CadPos.Auto and "
        "SeqA.Sequencia > CadSeq.Sequencia order by seqa.sequencia),0)as AutoProx "
        "From CadPos with(nolock) Inner Join CadSeq with(nolock) On CadPos.Auto = CadSeq.Posicao "
        "inner join cados with(nolock) on cadpos.nrserv =cados.nrserv "
        "left join cadprogvorna with(nolock) on cadseq.auto = cadprogvorna.seqauto "
        "Where CADPOS.AUTO = 2 and cadprogvorna.seqauto is null and cadseq.concluido=0 and "
        "isnull(cadseq.apont2,'')<>'O' And cadpos.concluido = 0 Order By cadseq.Sequencia";
    const Rowset r = rows(sql);
    ASSERT_EQ(1u, r.rows.size());  // operation 3 is booked already
    const auto& op = r.rows[0];
    EXPECT_EQ(vb::Variant(4), op[0]);
    EXPECT_EQ(vb::Variant(3.0), op[5]);  // 10 - 4 reported - 1 scrapped - 2 requested
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 1)), op[9]);
    EXPECT_EQ(vb::Variant(3), op[10]);  // previous operation
    EXPECT_EQ(vb::Variant(0), op[11]);  // last of its position
    EXPECT_EQ("AutoAnt", r.columns[10].name);
}

TEST_F(SchedulerQueriesTest, CandidateStationsBookingsAndEndsOfStages)
{
    const Rowset candidates = rows(
        "SELECT distinct P.Codigo,p.vornamaquina FROM CadPosto as P with(nolock) inner join cadpostotur with(nolock) on "
        "p.codigo = cadpostotur.posto inner join cadtur2 with(nolock) on cadpostotur.turno=cadtur2.turno Inner join "
        "cadposto as PF with(nolock) on p.tipo = pf.tipo and p.empresa = pf.empresa and pf.codigo = 'P1' where "
        "p.inativo=0 ORDER BY P.Codigo");
    EXPECT_EQ(column(candidates, 0), (std::vector<vb::Variant>{vb::Variant("P1"), vb::Variant("P2")}));
    EXPECT_EQ(vb::Variant(true), candidates.rows[0][1]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 9)), scalar("SELECT fim FROM cadprogvorna with(nolock) WHERE seqauto = 3"));
    const QString stageEnd =
        "SELECT Max(CadProgVorna.Fim) AS Fim FROM (CadPos with(nolock) INNER JOIN CadSeq with(nolock) ON CadPos.Auto = "
        "CadSeq.Posicao) INNER JOIN CadProgVorna with(nolock) ON CadSeq.Auto = CadProgVorna.SeqAuto Where "
        "(((CadSeq.NrServ) = 100) And ((CadPos.Etapa) = %1) And ((CadPos.Concluido) = 0))";
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 9)), scalar(stageEnd.arg(0)));
    EXPECT_TRUE(scalar(stageEnd.arg(1)).isNull());
    // Bookings at or after a requested start written without seconds.
    const QString bookings = "SELECT Inicio,Fim FROM CadProgVorna with(nolock) WHERE posto = 'P2' AND (Inicio >= '%1' "
                             "OR Fim >= '%1') order by inicio";
    EXPECT_EQ(1u, rows(bookings.arg("2026-12-07 09:00")).rows.size());
    EXPECT_EQ(0u, rows(bookings.arg("2026-12-07 09:01")).rows.size());
    // Overlap with an interval: inside it, or starting before its end and ending after its start.
    const QString overlap = "SELECT CadProgVorna.Auto FROM CadProgVorna with(nolock) WHERE Posto = 'P2' AND ((Inicio >= "
                            "'%1' AND Fim <= '%2') OR (Inicio < '%2' AND Fim > '%1'))";
    EXPECT_EQ(0u, rows(overlap.arg("2026-12-07 09:00", "2026-12-07 10:00")).rows.size());  // touching
    EXPECT_EQ(1u, rows(overlap.arg("2026-12-07 08:59", "2026-12-07 10:00")).rows.size());
    // The next free working moment after a moment.
    const Rowset next = rows("select min(inicio) as ini1, min(fimintervalo) as ini2 from cadcale2 with(nolock) where "
                             "Programado=0 and Posto = 'P1' and (inicio > '2026-12-07 10:00' or fimintervalo > "
                             "'2026-12-07 10:00' )");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 6)), next.rows[0][0]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 10, 15)), next.rows[0][1]);
}

TEST_F(SchedulerQueriesTest, BookingsAndLeadTimes)
{
    plant->execute("Update CadSeq Set Data = '2026-12-07' ,Inicio = '2026-12-07 10:15', Termino = '2026-12-09 10:15' "
                   "WHERE AUTO = 2");
    plant->execute("Insert InTo CadProgVorna (SeqAuto,Posto,Inicio,Fim)Values(2,'T1','2026-12-07 10:15','2026-12-09 10:15')");
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadSeq WHERE Data = '2026-12-07 00:00:00' AND Termino = "
                                     "'2026-12-09 10:15:00'"));
    native({"UPDATE CadSeq SET LeadTime = 3 WHERE Auto = 2"});
    const QString changed =
        "select  cadprogvorna.auto,  cadprogvorna.seqauto,  cadprogvorna.Inicio,  cadseq.LeadTime from CadProgVorna "
        "with(nolock) inner join cadseq with(nolock) on cadprogvorna.seqauto = cadseq.auto inner join CadPosto "
        "with(nolock) on CadSeq.Posto = CadPosto.Codigo  inner join CadGruMaq with(nolock) on CadPosto.Tipo = "
        "CadGruMaq.Codigo where CadGruMaq.Tipo = 3 and cadseq.posicao = 1 and "
        "cadseq.LeadTime<>datediff(d,cadprogvorna.Inicio,cadprogvorna.Fim) order by cadseq.sequencia";
    const Rowset r = rows(changed);
    ASSERT_EQ(1u, r.rows.size());  // booked for 2 days, its own lead time is 3
    EXPECT_EQ(vb::Variant(2), r.rows[0][1]);
    native({"UPDATE CadSeq SET LeadTime = 2 WHERE Auto = 2"});
    EXPECT_TRUE(rows(changed).rows.empty());
}

TEST_F(SchedulerQueriesTest, RunningOperationsAndSequenceMode)
{
    const QString running = (
        "Select CadSeq.Auto,CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant ,\r\n (    CadPos.Quant - cadseq.qtdapontada -"
        "    isnull((select sum(r.qtdrejeitada)  from cadsolrefugo as r where r.situacao=1 and r.programa in(select "
        "s.auto from cadseq as s where s.posicao = cadpos.auto and s.sequencia<=cadseq.sequencia)),0) -     "
        "isnull((select sum(p.qtd)  from cadsolrefugo as p where p.situacao=0 and p.programa = cadseq.auto),0) )as "
        "QuantRestante,\r\n CadSeq.TempoUnitario,CadSeq.Posto,CadSeq.NaoTrocarPosto,isnull(cados.datainiciominimo,"
        "cados.data)as DataInicioMinimo\r\nFrom CadPos with(nolock) Inner Join CadSeq with(nolock) On CadPos.Auto = "
        "CadSeq.Posicao\r\ninner join cadfilavorna with(nolock) on cadpos.nrserv = cadfilavorna.nrserv\r\ninner join "
        "cadexe with(nolock) on cadseq.auto=cadexe.programa\r\ninner join cados with(nolock) on "
        "cadpos.nrserv=cados.nrserv\r\nWhere CadSeq.Auto Not in(select seqauto from cadprogvorna)\r\nand "
        "cadseq.concluido=0\r\nand cadexe.executando=1\r\nAnd cadpos.concluido = 0\r\nOrder by cadfilavorna.ordem");
    EXPECT_TRUE(rows(running).rows.empty());  // operation 3 runs but is booked
    native({"DELETE FROM CadProgVorna"});
    const Rowset unbooked = rows(running);
    ASSERT_EQ(1u, unbooked.rows.size());
    EXPECT_EQ(vb::Variant(3), unbooked.rows[0][0]);
    EXPECT_EQ(vb::Variant(10.0), unbooked.rows[0][4]);
    const QString list =
        "Select     cadseq.posicao,    CadSeq.Auto as Programa ,   cadseq.Sequencia , "
        "CadSeq.NrServ,CadSeq.TempoPreparo,CadPos.Quant ,  (    CadPos.Quant - dbo.GET_QTD_APONTADA_PROGRAMA(cadseq.auto) "
        ")as QuantRestante,  CadSeq.Tempo,CadSeq.Posto,CadSeq.NaoTrocarPosto From CadPos with(nolock) Inner Join CadSeq "
        "with(nolock) On CadPos.Auto = CadSeq.Posicao  inner join cados with(nolock) on cadpos.NrServ=cados.NrServ  "
        "inner join CadFilaVorna  with(nolock)on cados.NrServ = CadFilaVorna.NrServ  left join cadprogvorna "
        "with(nolock) on cadseq.auto = CadProgVorna.SeqAuto Where cadseq.concluido=0   and CadProgVorna.auto is null "
        "And cadpos.concluido = 0  AND CADOS.Situacao IN (0,1) Order By  cadpos.Etapa,CadFilaVorna.Ordem,"
        "cadseq.posicao,cadseq.Sequencia";
    const Rowset sequence = rows(list);
    // Stage 0 of both work orders first, then queue order, position and sequence.
    EXPECT_EQ(column(sequence, 1), (std::vector<vb::Variant>{vb::Variant(3), vb::Variant(4), vb::Variant(5),
                                                             vb::Variant(1), vb::Variant(2)}));
    EXPECT_EQ(vb::Variant(6.0), sequence.rows[1][6]);  // 10 less the 4 reported
    EXPECT_EQ(vb::Variant(std::int16_t(0)), sequence.rows[0][9]);
}

TEST_F(SchedulerQueriesTest, DependenciesOfAnOperation)
{
    const QString sql = "select Tipo,Programa_anterior,Concluido,Fim,Agendado from "
                        "dbo.GET_DEPENDENCIAS_SEQUENCIA(%1,%2)as d";
    // The second operation of position 2 waits for the first, which is booked until 09:00.
    Rowset r = rows(sql.arg(2).arg(20));
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant("PROG_ANT"), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(3), r.rows[0][1]);
    EXPECT_EQ(vb::Variant(0), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 9)), r.rows[0][3]);
    EXPECT_EQ(vb::Variant(1), r.rows[0][4]);
    // The first operation of a position waits for the last operation of each child position (not booked).
    r = rows(sql.arg(1).arg(10));
    ASSERT_EQ(1u, r.rows.size());
    EXPECT_EQ(vb::Variant("POS_ANT"), r.rows[0][0]);
    EXPECT_EQ(vb::Variant(4), r.rows[0][1]);
    EXPECT_TRUE(r.rows[0][3].isNull());
    EXPECT_EQ(vb::Variant(0), r.rows[0][4]);
    // The second operation of position 1 has both its previous operation and the children's last ones.
    r = rows(sql.arg(1).arg(20) + " order by Tipo");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ(vb::Variant("POS_ANT"), r.rows[0][0]);
    EXPECT_EQ(vb::Variant("PROG_ANT"), r.rows[1][0]);
    EXPECT_EQ(vb::Variant(1), r.rows[1][1]);
    // A finished operation counts as done and never holds the others back.
    native({"UPDATE CadSeq SET Concluido = 1 WHERE Auto = 4"});
    r = rows(sql.arg(1).arg(10));
    EXPECT_EQ(vb::Variant(1), r.rows[0][2]);
    EXPECT_EQ(vb::Variant(1), r.rows[0][4]);
    // A first operation without child positions depends on nothing.
    EXPECT_TRUE(rows(sql.arg(3).arg(10)).rows.empty());
    EXPECT_EQ(vb::Variant(4.0), scalar("select dbo.GET_QTD_APONTADA_PROGRAMA(4)"));
    // ISNULL takes the type of its first argument: the float column's.
    EXPECT_EQ(vb::Variant(0.0), scalar("select dbo.GET_QTD_APONTADA_PROGRAMA(99)"));
}

}  // namespace
