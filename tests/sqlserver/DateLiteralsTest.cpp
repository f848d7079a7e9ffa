// Dates written in any of SQL Server's forms compare exactly with the stored ones, wherever they stand.

#include "ServerFixture.h"

#include "sqlserver/ServerDates.h"

using namespace sqlserver;
using test::dateOf;

namespace {

class DateLiteralsTest : public test::ServerFixture {
protected:
    void SetUp() override { seedPlant(); }
};

TEST(ServerDatesTest, FormsSqlServerReadsAsDates)
{
    EXPECT_EQ(dateOf(2026, 12, 6, 10), parseDateText(QStringLiteral("2026-12-06 10:00")));
    EXPECT_EQ(dateOf(2026, 12, 6, 10), parseDateText(QStringLiteral("2026-12-06T10:00:00")));
    EXPECT_EQ(dateOf(2026, 12, 6), parseDateText(QStringLiteral("20261206")));
    EXPECT_EQ("2026-12-06 10:00:00.997", canonicalDateText(*parseDateText(QStringLiteral(" 2026-12-06 10:00:00.997 "))));
    EXPECT_EQ(dateOf(1900, 1, 1, 7, 5, 9), parseDateText(QStringLiteral("07:05:09")));
    EXPECT_FALSE(parseDateText(QStringLiteral("2026-02-30")).has_value());
    EXPECT_FALSE(parseDateText(QStringLiteral("2026-12-06 24:00")).has_value());
    EXPECT_FALSE(parseDateText(QStringLiteral("P1")).has_value());
    EXPECT_EQ("2026-12-06 10:00:00", canonicalDateText(dateOf(2026, 12, 6, 10)));
    EXPECT_EQ("1899-12-29 06:00:00", canonicalDateText(vb::Date(-1.25)));  // the platform's negative dates
    EXPECT_EQ(vb::Date(-1.25), parseDateText(QStringLiteral("1899-12-29 06:00:00")));
    EXPECT_EQ(46360.0, sqlFloatFromDate(dateOf(2026, 12, 6)));
}

TEST_F(DateLiteralsTest, EveryPlaceALiteralMeetsADateColumn)
{
    const auto count = [&](const QString& where) { return scalar("SELECT count(*) FROM CadCale2 WHERE " + where).toLong(); };
    EXPECT_EQ(2, count("'2026-12-07 06:00' = Inicio"));
    EXPECT_EQ(2, count("Inicio BETWEEN '2026-12-07 06:00' AND '2026-12-08 06:00' AND Posto = 'P1'"));
    EXPECT_EQ(2, count("Inicio IN ('2026-12-07 06:00', '20261208 06:00') AND Posto = 'P1'"));
    EXPECT_EQ(3, count("isnull(Fim, Inicio) > '2026-12-07 13:59'"));
    EXPECT_EQ(1, count("Posto = 'P1' AND dateadd(day, 1, Inicio) = '2026-12-08 06:00'"));
    EXPECT_EQ(3, count("CadCale2.Inicio >= '2026-12-07T06:00:00'"));
    // Written to a date column: UPDATE .. SET and INSERT .. VALUES keep the stored form.
    plant->execute("UPDATE CadCale2 SET Fim = '2026-12-07 15:00' WHERE Auto = 1");
    plant->execute("INSERT INTO CadCale2 (Posto, Inicio, Fim) VALUES ('P2', '20261208 06:00', '2026-12-08T14:00')");
    plant->execute("INSERT INTO CadCale2 VALUES (2, 'P3', '2026-12-09 06:00', NULL, NULL, '2026-12-09 14:00', 0)");
    EXPECT_EQ(1, count("Inicio = '2026-12-09 06:00:00' AND Fim = '2026-12-09 14:00:00'"));
    EXPECT_EQ(1, count("Fim = '2026-12-07 15:00:00'"));
    EXPECT_EQ(1, count("Posto = 'P2' AND Inicio = '2026-12-08 06:00:00' AND Fim = '2026-12-08 14:00:00'"));
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 8, 14)), scalar("SELECT Fim FROM CadCale2 WHERE Posto = 'P2' AND Inicio > '2026-12-08'"));
}

TEST_F(DateLiteralsTest, UpdateThroughAnAliasedJoin)
{
    plant->execute("UPDATE s SET s.Inicio = p.Inicio, Termino = p.Fim FROM CadSeq s INNER JOIN CadProgVorna p ON "
                   "p.SeqAuto = s.Auto WHERE p.Posto = 'P2'");
    EXPECT_EQ(vb::Variant(dateOf(2026, 12, 7, 8)), scalar("SELECT Inicio FROM CadSeq WHERE Auto = 3"));
    EXPECT_EQ(vb::Variant(1), scalar("SELECT count(*) FROM CadSeq WHERE Termino IS NOT NULL"));
}

}  // namespace
