// A statement run again with other values reuses its translation and its prepared statement: every value must
// still give the answer the statement written with it gives.

#include "ServerFixture.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class StatementReuseTest : public test::ServerFixture {
protected:
    void SetUp() override { seedPlant(); }

    long count(const QString& sql) { return scalar(sql).toLong(); }

    // The stored text of a date column, which reading would turn into a date.
    QString storedText(const QString& column, const QString& table, int key)
    {
        return plant->executeNative(QStringLiteral("SELECT '=' || %1 FROM %2 WHERE Auto = ?").arg(column, table), {key})
            .rowsets[0]
            .rows[0][0]
            .toString();
    }
};

TEST_F(StatementReuseTest, OneStatementAnswersForEachValue)
{
    const QString lookup = "SELECT TOP 1 CadGruMaq.Tipo, CadPosto.Codigo FROM CadSeq with(nolock) INNER JOIN CadPosto "
                           "with(nolock) ON CadPosto.Codigo = CadSeq.Posto INNER JOIN CadGruMaq with(nolock) ON "
                           "CadGruMaq.Codigo = CadPosto.Tipo WHERE CadSeq.Auto = %1";
    const QStringList stations = {"P1", "T1", "P2", "P1", "P1"};
    for (int round = 0; round < 2; ++round) {
        for (int operation = 1; operation <= 5; ++operation) {
            const Rowset r = rows(lookup.arg(operation));
            ASSERT_EQ(1u, r.rows.size());
            EXPECT_EQ(vb::Variant(stations[operation - 1]), r.rows[0][1]);
            EXPECT_EQ(vb::Variant(std::int16_t(stations[operation - 1] == "T1" ? 3 : 0)), r.rows[0][0]);
        }
    }
    EXPECT_TRUE(rows(lookup.arg(99)).rows.empty());
    // Texts with apostrophes, national strings, COLLATE NOCASE columns, empty texts.
    plant->execute("UPDATE CadPosto SET Descricao = 'Torno d''água' WHERE Codigo = 'p3'");
    EXPECT_EQ(vb::Variant("P3"), scalar("SELECT Codigo FROM CadPosto WHERE Descricao = N'Torno d''água'"));
    EXPECT_EQ(vb::Variant("Forno"), scalar("SELECT Descricao FROM CadPosto WHERE Codigo = 't1'"));
    EXPECT_EQ(0, count("SELECT count(*) FROM CadPosto WHERE Descricao = ''"));
    // Numbers against texts and texts against numbers compare as they always did.
    EXPECT_EQ(1, count("SELECT count(*) FROM Parametro WHERE Valor = 3"));
    EXPECT_EQ(1, count("SELECT count(*) FROM CadOS WHERE NrServ = '100'"));
    EXPECT_EQ(2, count("SELECT count(*) FROM CadOS WHERE NrServ IN (100, 102, 999)"));
    EXPECT_EQ(2, count("SELECT count(*) FROM CadOS WHERE NrServ BETWEEN 101 AND 102"));
    EXPECT_EQ(3, count("SELECT count(*) FROM CadOS WHERE NrServ BETWEEN 99 AND 102"));
    EXPECT_EQ(1, count("SELECT count(*) FROM CadOS WHERE NrServ = 100 / 1 AND Situacao = 7 / 7 - 1"));
}

TEST_F(StatementReuseTest, DatesCompareWithTheStoredFormWhateverTheirForm)
{
    const QString atStart = "SELECT count(*) FROM CadCale2 WHERE Inicio = '%1'";
    for (const char* form : {"2026-12-07 06:00", "2026-12-07 06:00:00", "20261207 06:00", "2026-12-07T06:00:00"})
        EXPECT_EQ(2, count(QString(atStart).arg(form))) << form;
    // Texts that are no dates go as they are, through the same statement.
    for (const char* text : {"", "abc", "2026-13-07 06:00"})
        EXPECT_EQ(0, count(QString(atStart).arg(text))) << text;
    EXPECT_EQ(1, count("SELECT count(*) FROM CadCale2 WHERE Inicio > '2026-12-07 06:00' AND Posto = 'P1'"));
    EXPECT_EQ(1, count("SELECT count(*) FROM CadCale2 WHERE Inicio > '2026-12-07 06:00:00' AND Posto = 'P1'"));
    // A text column keeps the literal as written, even when it reads as a date.
    plant->execute("INSERT INTO Parametro (Parametro, Valor) VALUES ('Dia', '2026-12-07 06:00')");
    EXPECT_EQ(1, count("SELECT count(*) FROM Parametro WHERE Valor = '2026-12-07 06:00'"));
    EXPECT_EQ(0, count("SELECT count(*) FROM Parametro WHERE Valor = '2026-12-07 06:00:00'"));
    // Written by INSERT .. VALUES and UPDATE .. SET: the stored form, next to a text column that keeps its own.
    const QString insert = "INSERT INTO CadCale2 (Posto, Inicio, Fim) VALUES ('%1', '%2', '2026-12-09T14:00')";
    plant->execute(insert.arg("P3", "20261209 06:00"));
    const int first = scalar("SELECT @@IDENTITY").toLong();
    plant->execute(insert.arg("P2", "2026-12-10 06:00"));
    const int second = scalar("SELECT @@IDENTITY").toLong();
    EXPECT_EQ("=2026-12-09 06:00:00", storedText("Inicio", "CadCale2", first));
    EXPECT_EQ("=2026-12-10 06:00:00", storedText("Inicio", "CadCale2", second));
    EXPECT_EQ("=2026-12-09 14:00:00", storedText("Fim", "CadCale2", second));
    EXPECT_EQ("=P2", storedText("Posto", "CadCale2", second));
    plant->execute(QString("UPDATE CadCale2 SET Fim = '2026-12-10 15:30', Posto = 'P1' WHERE Auto = %1").arg(second));
    EXPECT_EQ("=2026-12-10 15:30:00", storedText("Fim", "CadCale2", second));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 10, 15, 30)),
              scalar(QString("SELECT Fim FROM CadCale2 WHERE Auto = %1 AND Fim = '2026-12-10 15:30'").arg(second)));
}

TEST_F(StatementReuseTest, ValuesThatShapeAStatementStillDo)
{
    EXPECT_EQ(1u, rows("SELECT TOP 1 Codigo FROM CadPosto ORDER BY Codigo").rows.size());
    EXPECT_EQ(2u, rows("SELECT TOP 2 Codigo FROM CadPosto ORDER BY Codigo").rows.size());
    EXPECT_EQ(vb::Variant("P1"), scalar("SELECT Codigo, Descricao FROM CadPosto ORDER BY 1"));
    EXPECT_EQ(vb::Variant("T1"), scalar("SELECT Codigo, Descricao FROM CadPosto ORDER BY 2"));
    EXPECT_EQ(vb::Variant("07/12/2026"), scalar("SELECT CONVERT(VARCHAR(10), Inicio, 103) FROM CadCale2 WHERE Auto = 1"));
    EXPECT_EQ(vb::Variant("2026-12-07"), scalar("SELECT CONVERT(VARCHAR(10), Inicio, 120) FROM CadCale2 WHERE Auto = 1"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 8, 6)), scalar("SELECT DATEADD(day, 1, Inicio) FROM CadCale2 WHERE Auto = 1"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 9, 6)), scalar("SELECT DATEADD(day, 2, Inicio) FROM CadCale2 WHERE Auto = 1"));
    // A column without a name has none (as in SQL Server); an alias is the statement's own.
    EXPECT_EQ("", rows("SELECT 1 + 1").columns[0].name);
    EXPECT_EQ("a", rows("SELECT 1 + 1 AS a").columns[0].name);
    EXPECT_EQ("b", rows("SELECT 1 + 1 AS b").columns[0].name);
    EXPECT_EQ(vb::Variant(4), rows("SELECT 2 + 2").rows[0][0]);
}

TEST_F(StatementReuseTest, ErrorsAndBatchesAreWhatTheyWere)
{
    long number = 0;
    QString message;
    try {
        plant->execute("SELECT * FROM CadOS WHERE NrServ = 100 100");
    } catch (const ServerError& e) {
        number = e.number();
        message = e.message();
    }
    EXPECT_EQ(102, number);
    EXPECT_EQ("Incorrect syntax near '100'.", message);
    try {
        plant->execute("UPDATE CadOS SET Situacao = 1 5 = 6");
    } catch (const ServerError& e) {
        message = e.message();
    }
    EXPECT_EQ("Incorrect syntax near '5'.", message);
    EXPECT_EQ(105, errorOf("SELECT * FROM CadOS WHERE NrServ = 'abc"));
    EXPECT_EQ(208, errorOf("SELECT * FROM Nada WHERE a = 1"));
    EXPECT_EQ(137, errorOf("SELECT * FROM CadOS WHERE NrServ = ? AND Situacao = 0"));
    EXPECT_EQ(2627, errorOf("INSERT INTO CadPosto (Codigo, Descricao) VALUES ('P1', 'Outro')"));
    // Variables and literals in one batch.
    const QString batch = "DECLARE @p VARCHAR(10) SET @p = '%1' SELECT count(*) FROM CadSeq WHERE Posto = @p AND Auto > %2";
    EXPECT_EQ(2, count(batch.arg("P1").arg(1)));
    EXPECT_EQ(1, count(batch.arg("P2").arg(0)));
    const QString exists = "IF EXISTS (SELECT * FROM CadOS WHERE NrServ = %1) SELECT 1 AS R ELSE SELECT 0 AS R";
    EXPECT_EQ(1, count(exists.arg(100)));
    EXPECT_EQ(0, count(exists.arg(999)));
}

TEST_F(StatementReuseTest, RowsKeepTheirValuesAndFollowSchemaChanges)
{
    plant->execute("CREATE TABLE Nota (Texto VARCHAR(20))");
    for (const char* value : {"'a'", "'a'", "''", "NULL", "'a'", "'b'", "'b'"})
        plant->execute(QString("INSERT INTO Nota (Texto) VALUES (%1)").arg(value));
    const Rowset texts = rows("SELECT Texto FROM Nota ORDER BY rowid");
    const std::vector<vb::Variant> expected = {vb::Variant("a"), vb::Variant("a"), vb::Variant(""), vb::Variant::Null(),
                                               vb::Variant("a"), vb::Variant("b"), vb::Variant("b")};
    ASSERT_EQ(expected.size(), texts.rows.size());
    for (size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(expected[k], texts.rows[k][0]) << k;
    // Another session changes the table: SQLite compiles this session's statement again when it runs, and the
    // columns and the rows' keys follow at once.
    EXPECT_EQ(1u, rows("SELECT * FROM Nota").columns.size());
    connect()->execute("ALTER TABLE Nota ADD Quando DATETIME");
    const Rowset widened = rows("SELECT * FROM Nota");
    ASSERT_EQ(2u, widened.columns.size());
    EXPECT_EQ("Quando", widened.columns[1].name);
    EXPECT_EQ("DATETIME", widened.columns[1].declaredType);
    EXPECT_EQ((std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7}), widened.rowids);
}

}  // namespace
