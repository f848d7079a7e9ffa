// The dialect builders' fragments run where they are meant to run: on the embedded server, and on an Access
// file for TipoBanco 1. What each fragment means there is the test; its exact text is the builder's own.

#include "DBFuncTestDatabase.h"

#include "runtime/Date.h"

namespace {

vb::Variant firstValue(DBFunc& db, const QString& sql)
{
    const auto rs = db.VariavelADODBConnection()->Execute(sql);
    EXPECT_FALSE(rs->adoEOF()) << sql.toStdString();
    return rs->adoEOF() ? vb::Variant() : rs->Fields(0).Value();
}

// The work order 7 "Flange", situation 1, dated 05/12/2026 07:05:09, delivered 06/12/2026 08:35:09.
const QString workOrderValues = "7, 'Flange', 1";

vb::Date day(int offset = 0)
{
    return vb::Date(vb::DateSerial(2026, 12, 5).serial + offset);
}

}  // namespace

TEST_F(DBFuncDatabase, DialectBuildersMeanWhatTheySayOnTheServer)
{
    execute("INSERT INTO CadOS (NrServ, Descricao, Situacao, Data, DtEntr) VALUES (" + workOrderValues +
            ", '2026-12-05 07:05:09', '2026-12-06 08:35:09')");
    const auto value = [&](const QString& fragment) {
        return firstValue(db, "SELECT " + fragment + " FROM CadOS c WHERE c.NrServ = 7");
    };
    EXPECT_EQ(value(db.Formata("c.Data", "DD/MM/YYYY")), vb::Variant("05/12/2026"));
    EXPECT_EQ(value(db.Formata("c.Data", "mm/dd/yy")), vb::Variant("05/12/26"));
    EXPECT_EQ(value(db.Formata("c.Data", "hh:nn:ss")), vb::Variant("07:05:09  "));
    EXPECT_EQ(value(db.Formata("c.Data", "hh:nn")), vb::Variant("07:05"));
    EXPECT_EQ(value(db.Formata("2.71828", "0.0000")), vb::Variant(2.7183));
    EXPECT_EQ(value(db.Formata("2.71828", "0.")), vb::Variant(3.0));
    EXPECT_TRUE(db.Formata("c.Data", "#,##0").isEmpty());
    EXPECT_EQ(value(db.CondicaoZub("c.Data >" + db.FormataData(day()) + "AND c.Data <" + db.FormataData(day(1)),
                                   "'hoje'", "'outro'")),
              vb::Variant("hoje"));
    EXPECT_EQ(value("datepart(hour," + db.FormataHora(vb::TimeSerial(19, 0, 0)) + ")"), vb::Variant(19));
    EXPECT_EQ(value(db.UPPER("c.Descricao")), vb::Variant("FLANGE"));
    EXPECT_EQ(value(db.LOWER("c.Descricao")), vb::Variant("flange"));
    EXPECT_EQ(value(db.DateDiffZUB("minute", "c.Data", "c.DtEntr")), vb::Variant(1530));
    EXPECT_EQ(value(db.DateAddZUB("minute", "90", "c.Data")),
              vb::Variant(vb::Date(day().serial + vb::TimeSerial(8, 35, 9).serial)));
    EXPECT_EQ(value(db.CDblZub("c.NrServ")), vb::Variant(7.0));
    EXPECT_EQ(value(db.CStrZub("c.NrServ")), vb::Variant("7"));
    EXPECT_EQ(value(db.IntZub("2.7")), vb::Variant(3.0));
    EXPECT_TRUE(value(db.NowZub()).isDate());
}

TEST(DBFuncDialect, AccessBuildersMeanWhatTheySayOnAnAccessFile)
{
    test::ProgramFolder folder;
    const QString file = folder.file("Local.mdb");
    DBFunc db;
    ASSERT_TRUE(db.CriaBanco(1, "", file, "", ""));
    ASSERT_EQ(db.AbreConexao(1, false, 0, "Servidor", file, "", ""), 1);
    ASSERT_TRUE(db.ExecutaComando("CREATE TABLE CadOS (NrServ LONG, Descricao TEXT(60), Situacao SHORT, Data DATETIME, "
                                  "DtEntr DATETIME)"));
    ASSERT_TRUE(db.ExecutaComando("INSERT INTO CadOS (NrServ, Descricao, Situacao, Data, DtEntr) VALUES (" +
                                  workOrderValues + ", #12/05/2026 07:05:09#, #12/06/2026 08:35:09#)"));
    const auto value = [&](const QString& fragment) {
        return firstValue(db, "SELECT " + fragment + " FROM CadOS c WHERE c.NrServ = 7");
    };
    EXPECT_EQ(value(db.Formata("c.Data", "DD/MM/YYYY")), vb::Variant("05/12/2026"));
    EXPECT_EQ(value(db.CondicaoZub("c.Data >" + db.FormataData(day()) + "AND c.Data <" + db.FormataData(day(1)),
                                   "'hoje'", "'outro'")),
              vb::Variant("hoje"));
    EXPECT_EQ(value(db.FormataHora(vb::TimeSerial(19, 0, 0))), vb::Variant(vb::TimeSerial(19, 0, 0)));
    EXPECT_EQ(value(db.UPPER("c.Descricao")), vb::Variant("FLANGE"));
    EXPECT_EQ(value(db.LOWER("c.Descricao")), vb::Variant("flange"));
    EXPECT_EQ(value(db.DateDiffZUB("n", "c.Data", "c.DtEntr")), vb::Variant(1530));
    EXPECT_EQ(value(db.DateAddZUB("n", "90", "c.Data")),
              vb::Variant(vb::Date(day().serial + vb::TimeSerial(8, 35, 9).serial)));
    EXPECT_EQ(value(db.CDblZub("c.NrServ")), vb::Variant(7.0));
    EXPECT_EQ(value(db.CStrZub("c.NrServ")), vb::Variant("7"));
    EXPECT_EQ(value(db.IntZub("2.7")), vb::Variant(2.0));
    EXPECT_TRUE(value(db.NowZub()).isDate());
}

TEST(DBFuncDialect, AnyKindButAccessWritesTheServersText)
{
    DBFunc server;
    DBFunc other;
    other.TipoBanco = 2;
    const vb::Date moment(day().serial + vb::TimeSerial(7, 5, 9).serial);
    for (const char* format : {"DD/MM/YYYY", "mm/dd/yy", "hh:nn:ss", "hh:nn", "0.00", "#,##0"})
        EXPECT_EQ(other.Formata("x", format), server.Formata("x", format)) << format;
    EXPECT_EQ(other.FormataData(moment), server.FormataData(moment));
    EXPECT_EQ(other.FormataHora(moment), server.FormataHora(moment));
    EXPECT_EQ(other.CondicaoZub("a", "1", "0"), server.CondicaoZub("a", "1", "0"));
    EXPECT_EQ(other.DateDiffZUB("minute", "a", "b"), server.DateDiffZUB("minute", "a", "b"));
    EXPECT_EQ(other.IntZub("x"), server.IntZub("x"));
    EXPECT_EQ(other.NowZub(), server.NowZub());
}
