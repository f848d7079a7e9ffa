#include "DBFuncTestDatabase.h"

#include "core/Array2D.h"
#include "runtime/Err.h"

namespace {

class DBFuncReads : public DBFuncDatabase {
protected:
    void SetUp() override
    {
        DBFuncDatabase::SetUp();
        execute("INSERT INTO CadTrat (Codigo, Descricao, LeadTime) VALUES (1, 'Pintura', 2)");
        execute("INSERT INTO CadTrat (Codigo, Descricao, LeadTime) VALUES (2, 'Zincagem', NULL)");
        execute("INSERT INTO CadTrat (Codigo, Descricao, LeadTime) VALUES (3, 'Têmpera', 5.5)");
    }
};

}  // namespace

TEST_F(DBFuncReads, DBSeekColumnNamesAndEmptyResults)
{
    EXPECT_EQ(db.DBSeek("CadTrat", "isnull(CadTrat.LeadTime, 9)  as LeadTime", "Codigo = 2").toDouble(), 9);
    EXPECT_EQ(db.DBSeek("CadTrat", "CadTrat.Descricao", "Codigo = 1"), vb::Variant("Pintura"));
    EXPECT_EQ(db.DBSeek("CadTrat", "[Descricao]", "  ", true, false, "Codigo DESC"), vb::Variant("Têmpera"));
    EXPECT_EQ(db.DBSeek("CadTrat", "Descricao", "Codigo = 9"), vb::Variant(""));
    EXPECT_EQ(db.DBSeek("CadTrat", "Descricao", "Codigo = 9", true, true), vb::Variant(std::int16_t(0)));
    EXPECT_TRUE(db.DBSeek("CadTrat", "LeadTime", "Codigo = 2").isNull());
    EXPECT_EQ(db.DBSeek("CadTrat", "LeadTime", "Codigo = 2", true, true), vb::Variant(std::int16_t(0)));
    EXPECT_EQ(db.DBSeek("CadTrat", "Descricao", "Codigo = 1", false), vb::Variant(true));
    EXPECT_EQ(db.DBSeek("CadTrat", "Descricao", "Codigo = 9", false), vb::Variant(false));
    EXPECT_TRUE(boxes().isEmpty());

    // What follows the dot of an unnamed expression is no column.
    EXPECT_TRUE(db.DBSeek("CadTrat", "CadTrat.LeadTime * 2", "Codigo = 1").isEmpty());
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(DBFuncReads, AggregatesAndBlankFilters)
{
    EXPECT_EQ(db.RecordCount("CadTrat", ""), 3);
    EXPECT_EQ(db.RecordCount("CadCale2", ""), 0);
    EXPECT_DOUBLE_EQ(db.RecordSum("CadTrat", "LeadTime", "Codigo > 1", ""), 5.5);
    EXPECT_DOUBLE_EQ(db.RecordMax("CadTrat", "LeadTime", "  "), 5.5);
    EXPECT_DOUBLE_EQ(db.RecordMin("CadTrat", "LeadTime", " "), 2);
    EXPECT_DOUBLE_EQ(db.RecordSum("CadTrat", "LeadTime", "Codigo > 9", ""), 0);
    EXPECT_DOUBLE_EQ(db.RecordMin("CadTrat", "LeadTime", "Codigo > 9"), 0);
    EXPECT_TRUE(db.RecordExists("CadTrat", "Codigo = 3"));
    EXPECT_FALSE(db.RecordExists("CadTrat", "Codigo = 4"));
    EXPECT_TRUE(boxes().isEmpty());

    // Count and sum take blanks for a condition, which the server refuses.
    EXPECT_EQ(db.RecordCount("CadTrat", "  "), 0);
    EXPECT_DOUBLE_EQ(db.RecordSum("CadTrat", "LeadTime", " ", ""), 0);
    EXPECT_EQ(boxes().size(), 2);
    const QStringList entries = logEntries("ErroDBFunc.txt");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].startsWith("RECORDCOUNT - SQL: Select Count(*) as QtdCount From CadTrat Where    - "));
    EXPECT_TRUE(entries[1].startsWith("RECORDSUM - SQL: Select Sum(LeadTime) as SumCampo From CadTrat Where    - "));
}

TEST_F(DBFuncReads, LostConnectionIsReopenedSilently)
{
    const auto lost = db.VariavelADODBConnection();
    lost->Close();
    const auto rs = db.CarregaObjeto("SELECT Descricao FROM CadTrat WHERE Codigo = 1");
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->Fields("Descricao").Value(), vb::Variant("Pintura"));
    EXPECT_NE(db.VariavelADODBConnection(), lost);

    db.setVariavelADODBConnection(nullptr);
    EXPECT_TRUE(db.CarregaRecordset("SELECT * FROM CadTrat"));
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(logEntries("ErroDBFunc.txt").isEmpty());
}

TEST_F(DBFuncReads, DetachedRecordSetOutlivesItsConnection)
{
    auto detached = db.CarregaRecordset("SELECT * FROM CadTrat ORDER BY Codigo", true);
    ASSERT_TRUE(detached);
    EXPECT_FALSE(detached->ActiveConnection());
    db.FechaConexao();
    EXPECT_EQ(detached->RecordCount(), 3);
    detached->MoveLast();
    EXPECT_EQ(detached->Fields("Descricao").Value(), vb::Variant("Têmpera"));
}

TEST_F(DBFuncReads, ArraysAndRecordSetHelpers)
{
    EXPECT_EQ(db.CarregaArray("SELECT Codigo FROM CadTrat WHERE Codigo = 0"), vb::Variant(""));
    const auto array = db.CarregaArray("SELECT Codigo, Descricao FROM CadTrat ORDER BY Codigo").objectAs<Array2D>();
    ASSERT_TRUE(array);
    EXPECT_EQ(array->Value(1, 2), vb::Variant("Têmpera"));

    Array2D grid(0, 5, 0, 1);
    db.CarregaXArrayDB(grid, "SELECT Codigo, Descricao FROM CadTrat ORDER BY Codigo DESC");
    ASSERT_EQ(grid.Count(1), 3);
    EXPECT_EQ(grid.Value(0, 1), vb::Variant("Têmpera"));
    EXPECT_EQ(grid.Value(2, 0), vb::Variant(1));
    Array2D narrow(0, -1, 0, 0);
    EXPECT_THROW(db.CarregaXArrayDB(narrow, "SELECT Codigo, Descricao FROM CadTrat"), vb::VbError);
    try {
        db.CarregaXArrayDB(grid, "SELECT * FROM Nada");
        ADD_FAILURE() << "the failure must reach the caller";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.description(), "ZubDB.CarregaXArrayDB - Invalid object name 'Nada'.");
    }

    const auto rs = db.CarregaObjeto("SELECT * FROM CadTrat ORDER BY Codigo");
    rs->MoveLast();
    EXPECT_TRUE(db.FindFirst(*rs, "Descricao = 'Pintura'"));
    EXPECT_DOUBLE_EQ(db.PercentPosition(*rs), 100.0 / 3);
    EXPECT_TRUE(db.FindFirst(*rs, "Descricao LIKE 'Zin%'"));
    EXPECT_FALSE(db.FindFirst(*rs, "Descricao LIKE '%'"));
    EXPECT_EQ(rs->Fields("Codigo").Value().toLong(), 2);
    EXPECT_DOUBLE_EQ(db.PercentPosition(*db.CarregaObjeto("SELECT * FROM CadTrat WHERE Codigo = 0")), 0);
}
