// Functions handed over with the model database: calls expand to their bodies, arguments bound as values.

#include "ServerFixture.h"

#include "support/ModelDatabase.h"

using namespace sqlserver;

namespace {

class InlineFunctionsTest : public test::ServerFixture {
protected:
    InlineFunctionsTest()
    {
        setModelDatabase(schema::modelSchemaSql(),
                         {{"TWICE_OF", {"@Value"}, "((@Value) * 2)"},
                          {"STATIONS_OF_TYPE", {"@Type", "@Active"},
                           "(SELECT Codigo, Descricao FROM CadPosto WHERE Tipo = @Type AND inativo = 1 - @Active)"}});
        seedPlant();
    }
    ~InlineFunctionsTest() override { test::installModelDatabase(); }
};

TEST_F(InlineFunctionsTest, ScalarCallsExpandWithTheirArguments)
{
    EXPECT_EQ(42, scalar("SELECT dbo.TWICE_OF(21)").toLong());
    EXPECT_EQ(14, scalar("select twice_of(3 + 4)").toLong());  // the argument in parentheses: not 3 + 4 * 2
    EXPECT_EQ("P1", scalar("SELECT Codigo FROM CadPosto WHERE dbo.TWICE_OF(RendMaq) = 180").toString());
    // A literal argument is bound: the same statement with another value gives the other value's result.
    EXPECT_EQ(1, scalar("SELECT count(*) FROM CadPosto WHERE RendMaq = dbo.TWICE_OF(45)").toLong());
    EXPECT_EQ(0, scalar("SELECT count(*) FROM CadPosto WHERE RendMaq = dbo.TWICE_OF(46)").toLong());
}

TEST_F(InlineFunctionsTest, TableValuedCallsAreTableSources)
{
    const sqlserver::Rowset r = rows("SELECT s.Codigo FROM dbo.STATIONS_OF_TYPE(1, 1) AS s ORDER BY s.Codigo");
    ASSERT_EQ(2u, r.rows.size());
    EXPECT_EQ("P1", r.rows[0][0].toString());
    EXPECT_EQ("P2", r.rows[1][0].toString());
    EXPECT_EQ("P3", scalar("SELECT Codigo FROM dbo.STATIONS_OF_TYPE(1, 0) x").toString());
}

TEST_F(InlineFunctionsTest, OnlyHandedOverFunctionsExpand)
{
    EXPECT_NE(0, errorOf("SELECT dbo.TWICE_OF(1, 2)"));  // no such number of parameters
    test::installModelDatabase();
    EXPECT_NE(0, errorOf("SELECT dbo.TWICE_OF(1)"));
    EXPECT_EQ(0, scalar("SELECT dbo.GET_QTD_APONTADA_PROGRAMA(1)").toLong());  // the plant's own
}

}  // namespace
