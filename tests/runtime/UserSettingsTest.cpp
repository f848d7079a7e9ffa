// The per-user settings store.

#include "runtime/UserSettings.h"
#include "support/ErrorNumber.h"
#include "support/ProgramFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vb;

TEST(UserSettings, SavedTextsComeBackAsTheyAreUnderAnySpelling)
{
    test::ProgramFolder folder;
    SaveSetting("Vorna", "Configuracao", "DivideVorna", "1");
    SaveSetting("Vorna", "configuracao", "DIVIDEVORNA", "0");
    EXPECT_EQ(GetSetting("Vorna", "CONFIGURACAO", "dividevorna"), "0");
    EXPECT_TRUE(QFile::exists(folder.userSettingsFolder() + "/Vorna.ini"));

    const QString texts[] = {"a, b, c", "@inicio", "Produção", "linha1\nlinha2", "", "  espaços  ", "x=y;z"};
    for (const QString& t : texts) {
        SaveSetting("Vorna", "Textos", "chave", t);
        EXPECT_EQ(GetSetting("Vorna", "Textos", "chave", "padrão"), t) << t.toStdString();
    }
}

TEST(UserSettings, WhatIsMissingReadsAsTheDefaultAndEmptyNamesAreError5)
{
    test::ProgramFolder folder;
    SaveSetting("Vorna", "Sec", "A", "1");
    EXPECT_EQ(GetSetting("Vorna", "Nada", "Chave"), "");
    EXPECT_EQ(GetSetting("Vorna", "Sec", "B", "x"), "x");
    EXPECT_EQ(GetSetting("Outro", "Sec", "A", "y"), "y");
    EXPECT_EQ(GetSetting("Vorna", "", "A", "d"), "d");
    EXPECT_EQ(test::errorNumber([] { SaveSetting("Vorna", "S", "", "1"); }), ErrNo::InvalidProcedureCall);

    // A settings folder that does not exist yet is created.
    setUserSettingsFolder(folder.file("a/b"));
    SaveSetting("Vorna", "S", "A", "1");
    EXPECT_EQ(GetSetting("Vorna", "S", "A"), "1");
}
