// The data-access reads as the program writes them: server clock, connection test, single values (TOP 1),
// aggregates, the existence batch, parameters, scripts and combo lists.

#include "ServerFixture.h"

#include "runtime/Date.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class ReadsTest : public test::ServerFixture {
protected:
    void SetUp() override { seedPlant(); }
};

TEST_F(ReadsTest, ServerClock)
{
    const vb::Variant now = scalar("Select GetDate() as D");
    ASSERT_TRUE(now.isDate());
    EXPECT_LT(std::abs(now.toDate().serial - vb::Now().serial), 2.0 / 86400);
    const Rowset today = rows("Select cast(floor(cast(getdate() as float))as datetime) as D");
    EXPECT_EQ("D", today.columns[0].name);
    EXPECT_EQ("DATETIME", today.columns[0].declaredType);
    EXPECT_EQ(vb::Variant(vb::Today()), today.rows[0][0]);
    // SQL Server's float of a date counts days from 01/01/1900.
    EXPECT_EQ(vb::Variant(46360.5), scalar("Select cast(cast('2026-12-06 12:00' as datetime) as float)"));
}

TEST_F(ReadsTest, ConnectionTestAndTransactionCount)
{
    const vb::Variant spid = scalar("SELECT @@SPID AS ID");
    EXPECT_GE(spid.toLong(), 51);
    EXPECT_NE(spid, connect()->execute("SELECT @@SPID AS ID").rowsets[0].rows[0][0]);
    EXPECT_EQ(vb::Variant(0), scalar("select @@trancount as a"));
    plant->beginTransaction();
    EXPECT_EQ(vb::Variant(1), scalar("select @@trancount as a"));
    plant->rollbackTransaction();
}

TEST_F(ReadsTest, SingleValuesWithTopHintsAndJoins)
{
    // The earliest start of a job being executed on an active station.
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 8, 5)),
              scalar("SELECT TOP 1 cadexe.inicio FROM cadexe with(nolock) inner join cadposto with(nolock) on "
                     "cadexe.posto=cadposto.codigo WHERE cadposto.inativo=0 and cadexe.executando=1 ORDER BY cadexe.inicio"));
    // The alias names the column; the operation's own lead time falls back to its treatment's.
    const Rowset lead = rows("SELECT TOP 1 isnull(cadseq.leadtime,cadtrat.leadtime)  as LeadTime FROM CadSeq with(nolock) "
                             "INNER JOIN CadPosto with(nolock) ON CadSeq.Posto = CadPosto.Codigo INNER JOIN CadGruMaq "
                             "with(nolock) ON CadPosto.Tipo = CadGruMaq.Codigo LEFT OUTER JOIN CadTrat with(nolock) ON "
                             "CadSeq.CodTrat = CadTrat.Codigo WHERE CADGRUMAQ.TIPO = 3 AND CADSEQ.auto = 2");
    EXPECT_EQ("LeadTime", lead.columns[0].name);
    EXPECT_EQ(vb::Variant(2.0), lead.rows[0][0]);
    // TOP 1 with ORDER BY picks the lowest sequence; without a match there is no row.
    EXPECT_EQ(vb::Variant(3), scalar("SELECT TOP 1 auto FROM cadseq with(nolock) WHERE posicao=2 ORDER BY sequencia"));
    EXPECT_TRUE(rows("SELECT TOP 1 auto FROM cadseq with(nolock) WHERE posicao=99 ORDER BY sequencia").rows.empty());
    // The first operation of the parent position.
    EXPECT_EQ(vb::Variant(1), scalar("SELECT TOP 1 s2.auto FROM cadpos as p1 with(nolock) inner join cadseq as s1 "
                                     "with(nolock) on p1.auto=s1.posicao inner join cadpos as p2 with(nolock) on "
                                     "p1.pai=p2.auto inner join cadseq as s2 with(nolock) on p2.auto=s2.posicao WHERE "
                                     "s1.auto = 4 ORDER BY s2.sequencia"));
    // A calendar row found by its start written without seconds.
    EXPECT_EQ(vb::Variant(1), scalar("SELECT TOP 1 Auto FROM CadCale2 with(nolock) WHERE Turno = 1 and Posto = 'P1' "
                                     "and inicio='2026-12-07 06:00'"));
    EXPECT_EQ(vb::Variant(2), scalar("SELECT TOP 1 Auto FROM CadCale2 with(nolock) WHERE Turno = 1 and Posto = 'p1' "
                                     "and inicio='2026-12-08T06:00:00'"));
    EXPECT_TRUE(scalar("SELECT TOP 1 InicioMinimo FROM cadseq with(nolock) WHERE Auto=1").isNull());
}

TEST_F(ReadsTest, Aggregates)
{
    EXPECT_EQ(vb::Variant(3), scalar("Select Count(*) as QtdCount From CadOS Where Situacao IN (0, 1) or nrserv = 102"));
    EXPECT_EQ(vb::Variant(0), scalar("Select Count(*) as QtdCount From CadSolRefugo Where programa = 99"));
    // Minutes worked: a finished execution (30) and, for a running one, up to the server's clock.
    const vb::Variant finished = scalar("Select Sum(CAST(DATEDIFF(s, CadExe.Inicio, Isnull(CadExe.Fim,getdate())) AS "
                                        "float) / 60) as SumCampo From cadexe with(nolock) Where programa = 4 ");
    EXPECT_EQ(vb::Variant(30.0), finished);
    const double running = scalar("Select Sum(CAST(DATEDIFF(s, CadExe.Inicio, Isnull(CadExe.Fim,getdate())) AS float) "
                                  "/ 60) as SumCampo From cadexe with(nolock) Where programa = 3 ").toDouble();
    EXPECT_NEAR((vb::Now().serial - dateOf(2026, 12, 7, 8, 5).serial) * 1440, running, 1.0);
    EXPECT_TRUE(scalar("Select Sum(Qtd) as SumCampo From CadSolRefugo Where programa = 99 ").isNull());
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 8, 14)), scalar("Select Max(Fim) as MaxCampo From CadCale2 Where Posto = 'P1'"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 6)), scalar("Select Min(Inicio) as MinCampo From CadCale2"));
    // A blank condition after Where is refused by the server.
    EXPECT_EQ(102, errorOf("Select Count(*) as QtdCount From CadOS Where   "));
}

TEST_F(ReadsTest, ExistenceBatch)
{
    const auto exists = [&](const QString& table, const QString& filter) {
        const Rowset r = rows("DECLARE @R BIT IF EXISTS(SELECT * FROM " + table + " Where " + filter
                              + ") SET @R=1 ELSE SET @R=0 SELECT @R AS R");
        EXPECT_EQ("BIT", r.columns[0].declaredType);
        return r.rows[0][0];
    };
    EXPECT_EQ(vb::Variant(false), exists("cadpos with(nolock) left join cadseq  with(nolock) on cadpos.auto=cadseq.posicao",
                                         "cadseq.auto is null and cadpos.nrserv = 100"));
    native({"INSERT INTO CadPos (Auto, NrServ, Pai, Etapa) VALUES (9, 100, 1, 2)"});
    EXPECT_EQ(vb::Variant(true), exists("cadpos with(nolock) left join cadseq  with(nolock) on cadpos.auto=cadseq.posicao",
                                        "cadseq.auto is null and cadpos.nrserv = 100"));
    EXPECT_EQ(vb::Variant(true), exists("cadseq with(nolock) inner join cadposto with(nolock) on cadseq.posto= cadposto.codigo",
                                        "cadposto.inativo=0 and cadseq.concluido=0 and cadseq.nrserv=100"));
    EXPECT_EQ(vb::Variant(false), exists("CadPostoTur with(nolock)", "Posto='T1'"));
    EXPECT_EQ(vb::Variant(true), exists("CadCale2 with(nolock)", "Posto='P2'"));
    // The batch's column is r, however the caller spells it.
    EXPECT_EQ(vb::Variant(true), rows("DECLARE @R BIT IF EXISTS(SELECT * FROM CadOS) SET @r=1 ELSE SET @R=0 SELECT @R AS R")
                                     .rows[0][0]);
}

TEST_F(ReadsTest, ParametersScriptsAndLists)
{
    EXPECT_EQ(vb::Variant("3"), scalar("SELECT TOP 1 Valor FROM Parametro WHERE Parametro ='Empresa'"));
    EXPECT_EQ(208, errorOf("SELECT TOP 1 Valor FROM Parametros WHERE Parametro ='Empresa'"));
    EXPECT_EQ(vb::Variant("MsgBox 1"), scalar("Select Top 1 Fonte from CadScript where ID_Script=1"));
    EXPECT_EQ(vb::Variant("Campo sete"), scalar("Select descricao from cadcampo where auto=7"));
    const Rowset list = rows("Select Codigo,Descricao From CadPosto Where inativo = 0 Order By Descricao");
    ASSERT_EQ(3u, list.rows.size());
    EXPECT_EQ(vb::Variant("T1"), list.rows[0][0]);  // "Forno" sorts first
    EXPECT_EQ(vb::Variant("Torno 2"), list.rows[2][1]);
}

TEST_F(ReadsTest, OneTableReadsCarryRowidsForWritingBack)
{
    const Rowset one = rows("SELECT TOP 1 * FROM CadFilaVorna WHERE NrServ = 101");
    EXPECT_EQ("CadFilaVorna", one.baseTable);
    ASSERT_EQ(1u, one.rowids.size());
    EXPECT_EQ(8u, one.columns.size());  // the rowid is not a column
    EXPECT_EQ(one.rows[0][0], vb::Variant(int(one.rowids[0])));
    const Rowset aliased = rows("select f.Ordem from cadfilavorna as f with(nolock) order by f.ordem desc");
    EXPECT_EQ("CadFilaVorna", aliased.baseTable);
    EXPECT_EQ(2u, aliased.rowids.size());
    // Rows of a join, a grouping or an aggregate come from no one table.
    EXPECT_TRUE(rows("select posto from cadseq with(nolock) where nrserv = 100 group by posto").baseTable.isEmpty());
    EXPECT_TRUE(rows("Select Count(*) as QtdCount From CadOS").rowids.empty());
    EXPECT_TRUE(rows("SELECT CadOS.NrServ FROM CadOS INNER JOIN CadPos ON CadOS.NrServ = CadPos.NrServ").baseTable.isEmpty());
}

}  // namespace
