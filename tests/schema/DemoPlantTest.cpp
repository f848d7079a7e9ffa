// The demo plant passes the scheduler's checks, and generated plants are repeatable.

#include "schema/DemoPlant.h"
#include "schema/SqliteDatabase.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Every row of every table, in insertion order.
QList<QVariantList> contentsOf(const QString& path)
{
    schema::SqliteDatabase db(path);
    QList<QVariantList> contents;
    for (const QVariantList& table : db.rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
        contents.append(table);
        contents.append(db.rows("SELECT * FROM \"" + table.at(0).toString() + "\" ORDER BY rowid"));
    }
    return contents;
}

TEST(DemoPlant, GeneratedPlantsHaveTheirSizeAndRepeatForASeed)
{
    QTemporaryDir folder;
    const schema::PlantSize size{.stations = 7, .groups = 5, .workOrders = 6, .positionsPerOrder = 3,
                                 .operationsPerPosition = 2, .months = 1, .firstDay = QDate(2024, 3, 4)};
    schema::generatePlant(folder.filePath("a.db"), size, 42);
    schema::generatePlant(folder.filePath("b.db"), size, 42);
    schema::generatePlant(folder.filePath("c.db"), size, 43);
    EXPECT_EQ(contentsOf(folder.filePath("a.db")), contentsOf(folder.filePath("b.db")));
    EXPECT_NE(contentsOf(folder.filePath("a.db")), contentsOf(folder.filePath("c.db")));

    schema::SqliteDatabase db(folder.filePath("a.db"));
    EXPECT_EQ(db.rows("SELECT (SELECT count(*) FROM CadPosto), (SELECT count(*) FROM CadGruMaq), "
                      "(SELECT count(*) FROM CadOS), (SELECT count(*) FROM CadPos), (SELECT count(*) FROM CadSeq), "
                      "(SELECT count(*) FROM CadFilaVorna)"),
              (QList<QVariantList>{{7, 5, 6, 18, 36, 6}}));
    // Lead times belong to the operations of the lead-time group, and only to them.
    EXPECT_EQ(db.value("SELECT count(*) FROM CadSeq s JOIN CadPosto p ON p.Codigo = s.Posto JOIN CadGruMaq g "
                       "ON g.Codigo = p.Tipo WHERE (g.Tipo = 3) <> (s.LeadTime IS NOT NULL)").toInt(),
              0);
    EXPECT_EQ(db.value("SELECT ultcale FROM CadParBex"), QVariant("2024-04-04 23:59:00"));
}

TEST(DemoPlant, PassesTheChecksOfAWorkOrderInsertion)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("demo.db");
    schema::buildDemoPlant(path, QDate(2024, 3, 4));
    schema::SqliteDatabase db(path);

    EXPECT_EQ(db.value("SELECT count(*) FROM CadPosto WHERE inativo = 0").toInt(), 6);
    EXPECT_EQ(db.rows("SELECT NrServ, Ordem FROM CadFilaVorna ORDER BY Ordem").size(), 12);
    // No position without an operation, no operation on an inactive or unknown station.
    EXPECT_EQ(db.value("SELECT count(*) FROM CadPos LEFT JOIN CadSeq ON CadPos.Auto = CadSeq.Posicao "
                       "WHERE CadSeq.Auto IS NULL").toInt(),
              0);
    EXPECT_EQ(db.value("SELECT count(*) FROM CadSeq LEFT JOIN CadPosto ON CadSeq.Posto = CadPosto.Codigo "
                       "WHERE CadPosto.Codigo IS NULL OR CadPosto.inativo <> 0").toInt(),
              0);
    // Every station of every work order has a shift and calendar rows.
    EXPECT_EQ(db.value("SELECT count(*) FROM CadPosto p WHERE NOT EXISTS (SELECT 1 FROM CadPostoTur t WHERE "
                       "t.Posto = p.Codigo) OR NOT EXISTS (SELECT 1 FROM CadCale2 c WHERE c.Posto = p.Codigo)")
                  .toInt(),
              0);
    // Parts come before their assembly: stage 0 under a stage-1 root.
    EXPECT_EQ(db.value("SELECT count(*) FROM CadPos c JOIN CadPos r ON r.Auto = c.Pai "
                       "WHERE c.Etapa <> 0 OR r.Etapa <> 1 OR r.Pai <> 0").toInt(),
              0);
    EXPECT_EQ(db.value("SELECT min(DtEntr) FROM CadOS"), QVariant("2024-03-11 17:00:00"));
    EXPECT_EQ(db.value("SELECT ultcale FROM CadParBex"), QVariant("2024-05-04 23:59:00"));
}

}  // namespace
