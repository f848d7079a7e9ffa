#include "DBFuncTestDatabase.h"

#include "runtime/Err.h"

TEST_F(DBFuncDatabase, InsertIdentityAndTheFieldList)
{
    db.Add("Posto", "L1", false);
    EXPECT_EQ(db.Insert("CadCale2"), vb::Variant(true));
    db.Add("Posto", "L2");
    const std::int32_t first = db.Insert("CadCale2", "Auto").toLong();
    db.Add("Posto", "L3");
    EXPECT_EQ(db.Insert("CadCale2", "Auto", false).toLong(), first + 1);
    EXPECT_EQ(db.Count(), 1);
    EXPECT_EQ(db.Insert("CadCale2").toLong(), -1);
    EXPECT_EQ(db.Count(), 0);
    EXPECT_EQ(
        rows("SELECT Auto, Posto FROM CadCale2 ORDER BY Auto").mid(1),
        (QStringList{QString("%1|L2").arg(first), QString("%1|L3").arg(first + 1), QString("%1|L3").arg(first + 2)}));
    // Without an identity column the server hands back Null.
    db.Add("Codigo", 1);
    EXPECT_EQ(db.Insert("CadEmp", "Codigo").toLong(), -1);
    EXPECT_TRUE(boxes().isEmpty());

    // Failures empty the list too.
    db.Add("Codigo", 1);
    EXPECT_EQ(db.Insert("CadEmp"), vb::Variant(std::int16_t(0)));
    EXPECT_EQ(db.Count(), 0);
    db.Add("Inexistente", 1);
    EXPECT_FALSE(db.Update("CadEmp", "Codigo = 1"));
    EXPECT_EQ(db.Count(), 0);
    db.Add("Inexistente", 1);
    EXPECT_FALSE(db.UpdateTrans("CadEmp", "Codigo = 1"));
    EXPECT_EQ(db.Count(), 0);
    EXPECT_EQ(boxes().size(), 3);
}

TEST_F(DBFuncDatabase, UpdateAndItsChangeRecord)
{
    execute("INSERT INTO CadEmp (Codigo, Nome, Fantasia) VALUES (1, 'Um', 'U')");
    execute("INSERT INTO CadEmp (Codigo, Nome, Fantasia) VALUES (2, 'Dois', NULL)");
    db.Add("Codigo", 3, false);
    db.Add("Nome", "Novo");
    db.Add("Fantasia", "U");
    EXPECT_TRUE(db.Update("CadEmp", "Codigo = 1", false, true));
    EXPECT_EQ(rows("SELECT Codigo, Nome, Fantasia FROM CadEmp WHERE Codigo = 1"), QStringList{"1|Novo|U"});
    EXPECT_EQ(db.Alterados, (QMap<QString, QString>{{"Nome", "Novo"}}));
    EXPECT_EQ(db.Originais, (QMap<QString, QString>{{"Nome", "Um"}}));

    // Null to empty text is no change; a condition without rows changes nothing and succeeds.
    db.RemoveAll();
    db.Add("Fantasia", "");
    EXPECT_TRUE(db.Update("CadEmp", "Codigo = 2", false, true));
    EXPECT_TRUE(db.Alterados.isEmpty());
    EXPECT_TRUE(db.Update("CadEmp", "Codigo = 9", false, true));

    // Update changes one of the rows that match, UpdateTrans all of them.
    db.Add("Fantasia", "X");
    EXPECT_TRUE(db.Update("CadEmp", "Codigo > 0"));
    EXPECT_EQ(db.Count(), 0);
    EXPECT_EQ(rows("SELECT Codigo FROM CadEmp WHERE Fantasia = 'X'").size(), 1);
    db.Add("Fantasia", "Y");
    EXPECT_TRUE(db.UpdateTrans("CadEmp", "Codigo > 0"));
    EXPECT_EQ(db.Count(), 0);
    EXPECT_EQ(rows("SELECT Codigo FROM CadEmp WHERE Fantasia = 'Y'").size(), 2);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DBFuncDatabase, BlankConditionsAndCommandsWithoutBox)
{
    execute("INSERT INTO CadEmp (Codigo, Nome) VALUES (1, 'Um')");
    EXPECT_TRUE(db.Delete("CadEmp", "   "));
    EXPECT_FALSE(db.Update2("CadEmp", "Nome = 'X'", " "));
    EXPECT_EQ(rows("SELECT Nome FROM CadEmp"), QStringList{"Um"});
    EXPECT_EQ(boxes().size(), 1);

    // A batch that fails half-way is undone as a whole, logged, and not shown.
    EXPECT_FALSE(
        db.ExecutaComando("INSERT INTO CadEmp (Codigo) VALUES (2); INSERT INTO CadEmp (Codigo) VALUES (1)", false));
    EXPECT_EQ(boxes().size(), 1);
    EXPECT_EQ(rows("SELECT Codigo FROM CadEmp"), QStringList{"1"});
    const QStringList entries = logEntries("ErroDBFunc.txt");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].startsWith("UPDATE2 - SQL: UPDATE CadEmp SET Nome = 'X' WHERE   - "));
    EXPECT_TRUE(entries[1].startsWith("EXECUTACOMANDO - SQL: INSERT INTO CadEmp (Codigo) VALUES (2); INSERT INTO"));
    EXPECT_TRUE(db.Delete("CadEmp", "Codigo = 1"));
    EXPECT_TRUE(rows("SELECT Codigo FROM CadEmp").isEmpty());
}

TEST_F(DBFuncDatabase, WritesInsideACallerTransaction)
{
    execute("INSERT INTO CadEmp (Codigo, Nome) VALUES (1, 'Um')");
    execute("INSERT INTO CadEmp (Codigo, Nome) VALUES (2, 'Dois')");
    db.BenginTrans();
    db.Add("Codigo", 3);
    EXPECT_EQ(db.Insert("CadEmp").toLong(), -1);
    db.Add("Nome", "Mudado");
    EXPECT_TRUE(db.Update("CadEmp", "Codigo = 1"));
    EXPECT_TRUE(db.Update2("CadEmp", "Fantasia = 'F'", "Codigo = 2"));
    EXPECT_TRUE(db.Delete("CadEmp", "Codigo = 2"));
    EXPECT_TRUE(db.ExecutaComando("INSERT INTO CadEmp (Codigo) VALUES (4)"));
    EXPECT_FALSE(db.ExecutaComando("INSERT INTO CadEmp (Codigo) VALUES (4)", false));
    EXPECT_EQ(rows("SELECT Codigo FROM CadEmp ORDER BY Codigo"), (QStringList{"1", "3", "4"}));
    db.RollBackTrans();
    EXPECT_EQ(rows("SELECT Codigo, Nome FROM CadEmp ORDER BY Codigo"), (QStringList{"1|Um", "2|Dois"}));
}

TEST_F(DBFuncDatabase, ValuesNeverBecomeSql)
{
    const QString hostile = "x', Fantasia = 'y'); DELETE FROM CadEmp; --";
    execute("INSERT INTO CadEmp (Codigo, Nome) VALUES (1, 'Um')");
    db.Add("Codigo", 2);
    db.Add("Nome", hostile, true, true, false);
    db.Add("Fantasia", " O'Brien ");
    EXPECT_EQ(db.Insert("CadEmp").toLong(), -1);
    db.Add("Nome", hostile, true, true, false);
    EXPECT_TRUE(db.Update("CadEmp", "Codigo = 1"));
    EXPECT_EQ(rows("SELECT Codigo, Nome, Fantasia FROM CadEmp ORDER BY Codigo"),
              (QStringList{"1|" + hostile + "|<null>", "2|" + hostile + "|O`Brien"}));
}

TEST_F(DBFuncDatabase, Insert2AndInsertTrans)
{
    EXPECT_TRUE(db.Insert2("CadEmp", "Codigo, Nome", "1, 'Um'"));
    try {
        db.Insert2("CadEmp", "Codigo", "1");
        ADD_FAILURE() << "the failure must reach the caller";
    } catch (const vb::VbError& e) {
        EXPECT_EQ(e.source(), "ZubDB.Insert2");
        EXPECT_TRUE(e.description().startsWith("Ocorreu um erro ao inserir dados na tabela ''CadEmp''\r"));
    }

    db.Add("Posto", "A");
    const std::int32_t first = db.InsertTrans("CadCale2", false);
    db.Add("Posto", "B");
    EXPECT_EQ(db.InsertTrans("CadCale2", false), first + 1);
    EXPECT_EQ(db.InsertTrans("CadCale2", true), -1);
    EXPECT_EQ(db.Count(), 0);
    db.Add("Posto", "C");
    db.InsertTrans("CadCale2", false);
    db.Add("Inexistente", 1);
    EXPECT_EQ(db.InsertTrans("CadCale2", false), 0);
    EXPECT_EQ(db.InsertTrans("CadCale2", true), 0);
    EXPECT_EQ(rows("SELECT Posto FROM CadCale2 ORDER BY Auto"), (QStringList{"A", "B"}));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Erro: 3265 - "));
    EXPECT_TRUE(logEntries("ErroDBFunc.txt").isEmpty());
}
