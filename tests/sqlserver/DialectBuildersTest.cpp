// The SQL fragments the dialect builders write, run on each dialect with the meaning that dialect gives them.

#include "ServerFixture.h"

#include "runtime/Date.h"

#include <QDir>

using namespace sqlserver;
using test::dateOf;

namespace {

class DialectBuildersTest : public test::ServerFixture {
protected:
    void SetUp() override { seedPlant(); }
};

TEST_F(DialectBuildersTest, SqlServerFragments)
{
    const QString from = " FROM CadOS c WHERE c.NrServ = 101";
    EXPECT_EQ(vb::Variant("aberta"), scalar("SELECT  CASE WHEN c.Situacao = 1 THEN 'aberta' ELSE 'outra' END " + from));
    EXPECT_EQ(vb::Variant("03/12/2026"), scalar("SELECT  CONVERT(CHAR(10),c.DataInicioMinimo,103) " + from));
    EXPECT_EQ(vb::Variant("03/12/26"), scalar("SELECT  CONVERT(CHAR(8),c.DataInicioMinimo,3) " + from));
    EXPECT_EQ(vb::Variant("08:00:00  "), scalar("SELECT  CONVERT(CHAR(10),c.DataInicioMinimo,108) " + from));
    EXPECT_EQ(vb::Variant("08:00"), scalar("SELECT  CONVERT(CHAR(5), c.DataInicioMinimo, 108) " + from));
    EXPECT_EQ("CHAR(5)", rows("SELECT  CONVERT(CHAR(5), c.DataInicioMinimo, 108) " + from).columns[0].declaredType);
    EXPECT_EQ(vb::Variant(1.26), scalar("SELECT  CAST(1.2567 AS DECIMAL(18,2)) "));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*)" + from + " AND c.DtEntr >  '2026-12-05' "));
    EXPECT_EQ(vb::Variant(7), scalar("SELECT datepart(hour,  '07:05:09' )"));
    EXPECT_EQ(vb::Variant("FLANGE|flange"), scalar("SELECT  UPPER(c.Descricao) || '|' || LOWER(c.Descricao) " + from));
    EXPECT_EQ(vb::Variant(8), scalar("SELECT  DateDiff(day,c.DataInicioMinimo,c.DtEntr) " + from));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 3, 9, 30)), scalar("SELECT  DateAdd(minute,90,c.DataInicioMinimo) " + from));
    EXPECT_EQ(vb::Variant(101.0), scalar("SELECT  Cast(c.NrServ AS FLOAT) " + from));
    EXPECT_EQ(vb::Variant("101"), scalar("SELECT  Cast(c.NrServ AS VarChar(max)) " + from));
    EXPECT_EQ(vb::Variant(3.0), scalar("SELECT  Round(2.7,0) "));
    EXPECT_TRUE(scalar("SELECT GetDate()").isDate());
}

TEST_F(DialectBuildersTest, DateFunctionsCountBoundariesAsSqlServerDoes)
{
    EXPECT_EQ(vb::Variant(1), scalar("SELECT datediff(year, '2026-12-31 23:59', '2027-01-01 00:00')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT datediff(month, '2026-01-31', '2026-02-01')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT datediff(dd, '2026-12-06 23:59', '2026-12-07 00:01')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT datediff(week, '2026-12-05', '2026-12-06')"));  // Saturday -> Sunday
    EXPECT_EQ(vb::Variant(0), scalar("SELECT datediff(week, '2026-12-06', '2026-12-12')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT datediff(hh, '2026-12-06 10:59', '2026-12-06 11:00')"));
    EXPECT_EQ(vb::Variant(-90), scalar("SELECT datediff(mi, '2026-12-06 11:30', '2026-12-06 10:00')"));
    EXPECT_EQ(vb::Variant(dateOf(2027, 2, 28)), scalar("SELECT dateadd(month, 2, '2026-12-31')"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 5, 23)), scalar("SELECT dateadd(hour, -1, '20261206')"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT datepart(dw, '2026-12-06')"));  // a Sunday
    EXPECT_EQ(vb::Variant(340), scalar("SELECT datepart(dy, '2026-12-06')"));
    EXPECT_EQ(vb::Variant(2026), scalar("SELECT year(DtEntr) FROM CadOS WHERE NrServ = 100"));
    EXPECT_TRUE(scalar("SELECT datediff(day, NULL, getdate())").isNull());
    EXPECT_EQ(155, errorOf("SELECT datediff(fortnight, getdate(), getdate())"));
    EXPECT_EQ(vb::Variant(2147483647), scalar("SELECT datediff(second, '1950-01-01', '2018-01-19 03:14:07')"));
    EXPECT_EQ(535, errorOf("SELECT datediff(second, '1950-01-01', '2018-01-19 03:14:08')"));
    EXPECT_EQ(535, errorOf("SELECT datediff(ms, '2026-12-06', '2026-12-31')"));
    // A date's layout with a day the month lacks is out of range (242); a text that is no date is 241.
    EXPECT_EQ(242, errorOf("SELECT cast('06/31/2026' as datetime)"));
    EXPECT_EQ(241, errorOf("SELECT cast('June the 1st' as datetime)"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 6, 10)), scalar("SELECT convert(datetime, '06/12/2026 10:00', 103)"));
    EXPECT_EQ(vb::Variant("Dec  6 2026  9:05AM"), scalar("SELECT cast(cast('2026-12-06 09:05' as datetime) as varchar(20))"));
}

TEST_F(DialectBuildersTest, AccessFragments)
{
    auto access = openAccessFile(program.file("Util/Vorna.mdb"), true);
    access->execute("CREATE TABLE CadOS ( NrServ LONG, Descricao TEXT(60), Data DATETIME, Situacao SHORT )");
    access->execute("INSERT INTO CadOS (NrServ, Descricao, Data, Situacao) VALUES (5, 'Flange', #12/05/2026 14:30#, 1)");
    const auto value = [&](const QString& sql) { return access->execute(sql).rowsets.at(0).rows.at(0).at(0); };
    const QString from = " FROM CadOS c";
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 5, 14, 30)), value("SELECT Data" + from));
    EXPECT_EQ(vb::Variant("aberta"), value("SELECT  IIF(c.Situacao = 1,'aberta','outra') " + from));
    EXPECT_EQ(vb::Variant("05/12/2026"), value("SELECT  Format(c.Data,'DD/MM/YYYY') " + from));
    EXPECT_EQ(vb::Variant(1), value("SELECT count(*)" + from + " WHERE c.Data >  #12/05/2026#  AND c.Data < #12/06/2026#"));
    EXPECT_EQ(vb::Variant(vb::TimeSerial(7, 5, 9)), value("SELECT  #07:05:09# "));
    EXPECT_EQ(vb::Variant("FLANGE|flange"), value("SELECT  UCase(c.Descricao)  & '|' &  LCase(c.Descricao) " + from));
    EXPECT_EQ(vb::Variant(5), value("SELECT  DateDiff('d',c.Data,#12/10/2026#) " + from));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 5, 16)), value("SELECT  DateAdd('n',90,c.Data) " + from));
    EXPECT_EQ(vb::Variant(5.0), value("SELECT  CDbl(c.NrServ) " + from));
    EXPECT_EQ(vb::Variant("5"), value("SELECT  Cstr(c.NrServ) " + from));
    EXPECT_EQ(vb::Variant(2.0), value("SELECT  Int(2.7) "));
    EXPECT_TRUE(value("SELECT Now()").isDate());
    EXPECT_EQ(vb::Variant(6), value("SELECT len(Descricao)" + from));
}

}  // namespace
