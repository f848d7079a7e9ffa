// The Access form of connection: an SQLite file in Access's dialect.

#include "ServerFixture.h"

#include "support/Files.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class AccessTest : public test::ServerFixture {
protected:
    void SetUp() override
    {
        access = openAccessFile(program.file("Util/Carga.mdb"), true);
        for (const char* sql : {
                 "CREATE TABLE CadOS ( NrServ LONG, Descricao TEXT(60) )",
                 "CREATE TABLE CadPos ( [Auto]  COUNTER, NrServ LONG, Bruta TEXT(40), Revisao TEXT(10), "
                 "Descricao TEXT(60), Quant DOUBLE )",
                 "CREATE TABLE CadSeq ( [Auto]  COUNTER, Posicao LONG, Posto TEXT(10), Data DATETIME, Termino "
                 "DATETIME, TempoPreparo DOUBLE, TempoUnitario DOUBLE, Tempo DOUBLE, DataSequencia BIT )",
                 "INSERT INTO CadOS (NrServ, Descricao) VALUES (100, 'Eixo')",
                 "INSERT INTO CadPos (NrServ, Bruta, Revisao, Descricao, Quant) VALUES (100, 'D-1', 'A', 'Eixo', 2)",
                 "INSERT INTO CadSeq (Posicao, Posto, Data, Termino, DataSequencia) VALUES "
                 "(1, 'P1', #12/07/2026 08:00#, #12/07/2026 10:00#, True), "   // inside the window
                 "(1, 'P2', #12/06/2026 20:00#, #12/07/2026 07:00#, True), "   // ends in it
                 "(1, 'P3', #12/06/2026 20:00#, #12/09/2026 07:00#, True), "   // spans it
                 "(1, 'P4', #12/09/2026 08:00#, #12/09/2026 09:00#, True), "   // after it
                 "(1, 'P5', #12/07/2026 08:00#, #12/07/2026 09:00#, False)",  // not dated by sequence
             })
            access->execute(sql);
    }

    std::unique_ptr<Session> access;
};

TEST_F(AccessTest, ChartWindowQuery)
{
    const QString min = "12/07/2026 06:00", max = "12/08/2026 06:00";
    const QString sql = QString(
        "Select CadOS.NrServ,CadPos.Bruta as desenho,cadpos.revisao,cadpos.descricao,CadPos.Quant,CadSeq.Auto,CadSeq.Data,"
        "CadSeq.termino,CadSeq.TempoPreparo,CadSeq.TempoUnitario,CadSeq.Tempo,CadSeq.Posto From (CadOS Inner Join CadPos "
        "On CadOS.NrServ = CadPos.NrServ) Inner Join CadSeq On CadPos.Auto = CadSeq.Posicao Where CadSeq.DataSequencia "
        "= True and ((CadSeq.data >= #%1# and CadSeq.data<= #%2#) or (CadSeq.termino >= #%1# and CadSeq.termino<= #%2#) "
        "or (CadSeq.data <=#%1# and CadSeq.termino >= #%2#) ) Order by CadSeq.Data").arg(min, max);
    const Rowset r = access->execute(sql).rowsets.at(0);
    ASSERT_EQ(3u, r.rows.size());
    EXPECT_EQ(vb::Variant("P2"), r.rows[0][11]);
    EXPECT_EQ(vb::Variant("P3"), r.rows[1][11]);
    EXPECT_EQ(vb::Variant("P1"), r.rows[2][11]);
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 8)), r.rows[2][6]);
    EXPECT_EQ("desenho", r.columns[1].name);
}

TEST_F(AccessTest, JetOperatorsAndCatalog)
{
    EXPECT_EQ(vb::Variant("100-Eixo"), access->execute("SELECT NrServ & '-' & Descricao FROM CadOS").rowsets[0].rows[0][0]);
    EXPECT_EQ(1u, access->execute("SELECT * FROM CadOS WHERE Descricao LIKE 'E*o' AND Descricao LIKE \"?ixo\"")
                      .rowsets[0].rows.size());
    EXPECT_EQ(4u, access->execute("SELECT * FROM CadSeq WHERE DataSequencia = True").rowsets[0].rows.size());
    EXPECT_EQ(vb::Variant(false), access->execute("SELECT DataSequencia FROM CadSeq WHERE Posto = 'P5'").rowsets[0].rows[0][0]);
    access->execute("INSERT INTO CadPos (NrServ) VALUES (101)");
    EXPECT_EQ(vb::Variant(2), access->execute("SELECT @@IDENTITY").rowsets[0].rows[0][0]);
    access->execute("Create Unique Index PK_CADOS_NRSERV_ASC on CadOS(NRSERV ASC)WITH PRIMARY");
    const auto indexes = access->indexes("CadOS");
    ASSERT_EQ(1u, indexes.size());
    EXPECT_TRUE(indexes[0].primaryKey);
    EXPECT_EQ(std::vector<QString>({"CadOS", "CadPos", "CadSeq"}), access->tables());
    const auto columns = access->columns("CadPos");
    EXPECT_TRUE(columns[0].identity);
    EXPECT_EQ("TEXT(40)", columns[2].declaredType);
    // The catalog views and extended properties are SQL Server's: an Access file has none.
    EXPECT_THROW(access->execute("select name from sys.tables"), ServerError);
    EXPECT_EQ(vb::Variant(1), access->execute("SELECT DateDiff(\"d\", #12/06/2026#, #12/07/2026#)").rowsets[0].rows[0][0]);
    try {
        access->execute("SELECT DateDiff(\"s\", #01/01/1900#, #01/01/2100#)");
        ADD_FAILURE() << "no overflow";
    } catch (const ServerError& e) {
        EXPECT_EQ(6, e.number());
    }
}

TEST_F(AccessTest, OlderLoadModelQueries)
{
    for (const char* sql : {
             "CREATE TABLE CadCale2 ( [Auto] COUNTER, Posto TEXT(10), Inicio DATETIME, Fim DATETIME )",
             "INSERT INTO CadCale2 (Posto, Inicio, Fim) VALUES ('P1', #12/07/2026 06:00#, #12/07/2026 14:00#), "
             "('P1', #12/08/2026 06:00#, #12/08/2026 14:00#), ('P2', #12/07/2026 06:00#, #12/07/2026 14:00#)",
             "ALTER TABLE CadPos ADD COLUMN Pai LONG",
             "ALTER TABLE CadPos ADD COLUMN Hierarquia TEXT(100)",
             "ALTER TABLE CadPos ADD COLUMN Etapa LONG",
             "UPDATE CadPos SET Pai = 0, Hierarquia = '001' WHERE Auto = 1",
             "INSERT INTO CadPos (NrServ, Pai, Hierarquia) VALUES (100, 1, '001.001'), (100, 2, '001.001.001'), "
             "(100, 1, '001.002')",
         })
        access->execute(sql);
    // Levels below each position, over the levels of the tree: texts joined with &, * as the wildcard, and a
    // division of reals.
    const Rowset stages = access->execute(
        "Select p1.auto, ((SELECT max(len(hierarquia) - len(p1.hierarquia)) as filhos from cadpos where nrserv = "
        "p1.nrserv and hierarquia like p1.Hierarquia & '*') / ((Select Len(hierarquia) from cadpos where nrserv = "
        "p1.nrserv and pai=0 ) + 1)) as Etapa From CadPos p1 Where p1.nrserv = 100 Order By p1.auto").rowsets.at(0);
    ASSERT_EQ(4u, stages.rows.size());
    EXPECT_EQ(vb::Variant(2.0), stages.rows[0][1]);
    EXPECT_EQ(vb::Variant(1.0), stages.rows[1][1]);
    EXPECT_EQ(vb::Variant(0.0), stages.rows[2][1]);
    EXPECT_EQ(vb::Variant(0.0), stages.rows[3][1]);
    EXPECT_EQ(vb::Variant(0.75), access->execute("SELECT 3 / 4").rowsets[0].rows[0][0]);
    access->execute("update cadpos set etapa = 2 where auto = 1");
    // A station's periods in a window: inclusive bounds in the first three clauses.
    const QString s = "12/07/2026 06:00", e = "12/07/2026 14:00";
    const Rowset periods = access->execute(QString(
        "SELECT * From CadCale2 Where Posto = 'P1' And ((Inicio >= #%1# And Fim <= #%2#) OR (Inicio >= #%1# And Inicio "
        "<= #%2#) OR (Fim >= #%1# And Fim <= #%2#) OR (Inicio < #%1# And Fim > #%2#)) ORDER BY CadCale2.Inicio").arg(s, e))
                                .rowsets.at(0);
    ASSERT_EQ(1u, periods.rows.size());
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 14)), periods.rows[0][3]);
}

TEST_F(AccessTest, FilesThatAreMissingOrNoDatabase)
{
    try {
        openAccessFile(program.file("Util/Nada.mdb"), false);
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(5120, e.number());
        EXPECT_TRUE(e.message().contains("Nada.mdb"));
    }
    ASSERT_TRUE(test::writeFile(program.file("Util/Texto.mdb"), QByteArray(5000, 'a')));
    try {
        openAccessFile(program.file("Util/Texto.mdb"), false);
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(5172, e.number());
    }
}

}  // namespace
