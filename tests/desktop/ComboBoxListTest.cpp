#include "desktop/ComboBoxList.h"

#include "core/DBFunc.h"
#include "support/ModelDatabase.h"
#include "support/ProgramFolder.h"

#include <QComboBox>
#include <QDir>
#include <gtest/gtest.h>

TEST(ComboBoxList, AddComboFillsAQtComboBoxWithCodesAsItemData)
{
    test::installModelDatabase();
    test::ProgramFolder folder;
    QDir(folder.path()).mkpath("Dados");
    DBFunc db;
    ASSERT_TRUE(db.CriaBanco(0, "sqlite:Dados", "Teste", "sa", ""));
    ASSERT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", ""), 1);
    for (const char* row : {"1, 'Pintura'", "2, 'Zincagem'", "3, 'Têmpera'"})
        ASSERT_TRUE(db.ExecutaComando(QString("INSERT INTO CadTrat (Codigo, Descricao) VALUES (%1)").arg(row)));

    QComboBox box;
    box.addItem("antigo", 99);
    desktop::ComboBoxList list(box);
    QString filtro = "Codigo > 1";
    db.AddCombo(list, "CadTrat", "Codigo", "Descricao", filtro, "Descricao DESC", true);
    EXPECT_EQ(filtro, " Where Codigo > 1");
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), "");
    EXPECT_FALSE(box.itemData(0).isValid());
    EXPECT_EQ(box.itemText(1), "Zincagem");
    EXPECT_EQ(box.itemData(1).toInt(), 2);
    EXPECT_EQ(box.itemText(2), "Têmpera");
    EXPECT_EQ(box.findData(3), 2);
}
