// The per-user settings store.

#include "runtime/Err.h"
#include "runtime/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vb;

namespace {

class UserSettingsTest : public testing::Test {
protected:
    void SetUp() override { setUserSettingsFolder(m_dir.path()); }
    void TearDown() override { setUserSettingsFolder(m_dir.path() + "/gone"); }
    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(UserSettingsTest, SaveAndGet)
{
    SaveSetting("Vorna", "Conexao", "BancoPadrao", "2");
    EXPECT_EQ(GetSetting("Vorna", "Conexao", "BancoPadrao"), "2");
    SaveSetting("Vorna", "Conexao", "BancoPadrao", "3");
    EXPECT_EQ(GetSetting("Vorna", "Conexao", "BancoPadrao"), "3");
    EXPECT_TRUE(QFile::exists(m_dir.filePath("Vorna.ini")));
}

TEST_F(UserSettingsTest, MissingGivesTheDefault)
{
    EXPECT_EQ(GetSetting("Vorna", "Nada", "Chave"), "");
    EXPECT_EQ(GetSetting("Vorna", "Nada", "Chave", "padrão"), "padrão");
    SaveSetting("Vorna", "Sec", "A", "1");
    EXPECT_EQ(GetSetting("Vorna", "Sec", "B", "x"), "x");
    EXPECT_EQ(GetSetting("Outro", "Sec", "A", "y"), "y");
}

TEST_F(UserSettingsTest, NamesIgnoreCase)
{
    SaveSetting("Vorna", "Configuracao", "DivideVorna", "1");
    EXPECT_EQ(GetSetting("Vorna", "CONFIGURACAO", "dividevorna"), "1");
    SaveSetting("Vorna", "configuracao", "DIVIDEVORNA", "0");
    EXPECT_EQ(GetSetting("Vorna", "Configuracao", "DivideVorna"), "0");
}

TEST_F(UserSettingsTest, TextsSurviveAsTheyAre)
{
    const QString texts[] = {"a, b, c", "@inicio", "Produção", "linha1\nlinha2", "", "  espaços  ", "x=y;z"};
    int i = 0;
    for (const QString& t : texts) {
        const QString key = QString("k%1").arg(i++);
        SaveSetting("Vorna", "Textos", key, t);
        EXPECT_EQ(GetSetting("Vorna", "Textos", key, "default"), t) << t.toStdString();
    }
}

TEST_F(UserSettingsTest, DeleteKeyAndSection)
{
    SaveSetting("Vorna", "S", "A", "1");
    SaveSetting("Vorna", "S", "B", "2");
    DeleteSetting("Vorna", "s", "a");
    EXPECT_EQ(GetSetting("Vorna", "S", "A", "gone"), "gone");
    EXPECT_EQ(GetSetting("Vorna", "S", "B"), "2");
    DeleteSetting("Vorna", "S");
    EXPECT_EQ(GetSetting("Vorna", "S", "B", "gone"), "gone");
}

TEST_F(UserSettingsTest, DeletingWhatDoesNotExistIsError5)
{
    SaveSetting("Vorna", "S", "A", "1");
    try {
        DeleteSetting("Vorna", "S", "NaoExiste");
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), ErrNo::InvalidProcedureCall);
        EXPECT_EQ(e.description(), "Invalid procedure call or argument");
    }
    EXPECT_THROW(DeleteSetting("Vorna", "NaoExiste"), VbError);
    EXPECT_THROW(DeleteSetting("Vorna", "NaoExiste", "A"), VbError);
    EXPECT_EQ(GetSetting("Vorna", "S", "A"), "1");
}

TEST_F(UserSettingsTest, EmptyNamesOnSaveAreError5)
{
    EXPECT_THROW(SaveSetting("Vorna", "", "A", "1"), VbError);
    EXPECT_THROW(SaveSetting("Vorna", "S", "", "1"), VbError);
    EXPECT_THROW(SaveSetting("", "S", "A", "1"), VbError);
    EXPECT_EQ(GetSetting("Vorna", "", "A", "d"), "d");
}

TEST_F(UserSettingsTest, FolderIsCreatedWhenMissing)
{
    const QString nested = m_dir.path() + "/a/b";
    setUserSettingsFolder(nested);
    SaveSetting("Vorna", "S", "A", "1");
    EXPECT_TRUE(QFile::exists(nested + "/Vorna.ini"));
    EXPECT_EQ(GetSetting("Vorna", "S", "A"), "1");
}
