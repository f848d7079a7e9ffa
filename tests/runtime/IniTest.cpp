// The platform's INI reader.

#include "runtime/Ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vb;

namespace {

QString writeIni(const QTemporaryDir& dir, const QByteArray& content, const QString& name = "Config.ini")
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

}  // namespace

TEST(IniTest, SectionsAndKeysIgnoreCase)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir,
                                  "; comentário\r\n"
                                  "[Conexao]\r\n"
                                  "TipoBanco=0\r\n"
                                  "Servidor = sqlite:Dados \r\n"
                                  "Banco=Vorna\r\n"
                                  "\r\n"
                                  "[Outra]\r\n"
                                  "Banco=Outro\r\n");
    EXPECT_EQ(ReadIniValue("Conexao", "TipoBanco", path), "0");
    EXPECT_EQ(ReadIniValue("CONEXAO", "servidor", path), "sqlite:Dados");
    EXPECT_EQ(ReadIniValue("conexao", "BANCO", path), "Vorna");
    EXPECT_EQ(ReadIniValue("Outra", "Banco", path), "Outro");
}

TEST(IniTest, MissingGivesTheDefault)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir, "[A]\nx=1\n");
    EXPECT_EQ(ReadIniValue("A", "y", path), "");
    EXPECT_EQ(ReadIniValue("B", "x", path), "");
    EXPECT_EQ(ReadIniValue("B", "x", path, "padrão"), "padrão");
    EXPECT_EQ(ReadIniValue("A", "y", path, "7"), "7");
}

TEST(IniTest, MissingFileGivesTheDefaultWithoutError)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadIniValue("A", "x", dir.filePath("naoexiste.ini")), "");
    EXPECT_EQ(ReadIniValue("A", "x", dir.filePath("naoexiste.ini"), "d"), "d");
    EXPECT_EQ(ReadIniValue("A", "x", dir.filePath("sem/pasta/Config.ini"), "d"), "d");
    EXPECT_EQ(ReadIniValue("A", "x", QString(), "d"), "d");
}

TEST(IniTest, ValuesAreCutTo254Characters)
{
    QTemporaryDir dir;
    const QByteArray longValue(300, 'x');
    const QString path = writeIni(dir, "[A]\nlongo=" + longValue + "\ncurto=abc\n");
    EXPECT_EQ(ReadIniValue("A", "longo", path).size(), 254);
    EXPECT_EQ(ReadIniValue("A", "longo", path), QString(254, 'x'));
    EXPECT_EQ(ReadIniValue("A", "curto", path), "abc");
}

TEST(IniTest, QuotesEmptyValuesAndFirstMatch)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir,
                                  "[A]\n"
                                  "citado=\" com espaços \"\n"
                                  "vazio=\n"
                                  "dup=primeiro\n"
                                  "dup=segundo\n"
                                  "igual=a=b\n");
    EXPECT_EQ(ReadIniValue("A", "citado", path), " com espaços ");
    EXPECT_EQ(ReadIniValue("A", "vazio", path, "d"), "");
    EXPECT_EQ(ReadIniValue("A", "dup", path), "primeiro");
    EXPECT_EQ(ReadIniValue("A", "igual", path), "a=b");
}

TEST(IniTest, EightBitFiles)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir, "[A]\nnome=Produ\xE7\xE3o\n");   // Windows-1252
    EXPECT_EQ(ReadIniValue("A", "nome", path), QString::fromUtf8("Produção"));
    const QString utf8 = writeIni(dir, "[A]\nnome=Produção\n", "utf8.ini");
    EXPECT_EQ(ReadIniValue("A", "nome", utf8), QString::fromUtf8("Produção"));
}
