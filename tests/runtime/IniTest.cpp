// The platform's INI reader.

#include "runtime/Ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vb;

namespace {

QString writeIni(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath("Config.ini");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
    return path;
}

}  // namespace

TEST(Ini, NamesIgnoreCaseAndValuesAreCleaned)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir, "; comentário\r\n[Conexao]\r\nServidor = sqlite:Dados \r\ncitado=\" a b \"\r\n"
                                       "dup=primeiro\r\ndup=segundo\r\nigual=a=b\r\nlongo=" +
                                           QByteArray(300, 'x') + "\r\n[Outra]\r\nBanco=Outro\r\n");
    EXPECT_EQ(ReadIniValue("CONEXAO", "servidor", path), "sqlite:Dados");
    EXPECT_EQ(ReadIniValue("conexao", "citado", path), " a b ");
    EXPECT_EQ(ReadIniValue("Conexao", "dup", path), "primeiro");
    EXPECT_EQ(ReadIniValue("Conexao", "igual", path), "a=b");
    EXPECT_EQ(ReadIniValue("Conexao", "longo", path), QString(254, 'x'));
    EXPECT_EQ(ReadIniValue("Outra", "Banco", path), "Outro");
    EXPECT_EQ(ReadIniValue("Outra", "Servidor", path), "");
}

TEST(Ini, MissingFileSectionOrKeyGivesTheDefault)
{
    QTemporaryDir dir;
    const QString path = writeIni(dir, "[A]\nx=1\nvazio=\n");
    EXPECT_EQ(ReadIniValue("A", "y", path, "7"), "7");
    EXPECT_EQ(ReadIniValue("B", "x", path), "");
    EXPECT_EQ(ReadIniValue("A", "vazio", path, "d"), "");
    EXPECT_EQ(ReadIniValue("A", "x", dir.filePath("sem/pasta/Config.ini"), "d"), "d");
    EXPECT_EQ(ReadIniValue("A", "x", QString()), "");
}

TEST(Ini, EightBitAndUtf8FilesAreRead)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadIniValue("A", "nome", writeIni(dir, "[A]\nnome=Produ\xE7\xE3o\n")), "Produção");
    EXPECT_EQ(ReadIniValue("A", "nome", writeIni(dir, "[A]\nnome=Produção\n")), "Produção");
}

TEST(Ini, Utf16FilesAndEveryLineEndAreRead)
{
    QTemporaryDir dir;
    const QString text = QStringLiteral("[Conexao]\r\nServidor=sqlite:Dados\rBanco=Produção\nTimeOut=45");
    QByteArray little("\xFF\xFE"), big("\xFE\xFF");
    for (const QChar c : text) {
        little.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        big.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    for (const QByteArray& bytes : {little, big, text.toUtf8(), QByteArray("\xEF\xBB\xBF") + text.toUtf8()}) {
        const IniFile ini(writeIni(dir, bytes));
        EXPECT_EQ(ini.value("conexao", "Servidor"), "sqlite:Dados");
        EXPECT_EQ(ini.value("Conexao", "banco"), "Produção");
        EXPECT_EQ(ini.value("Conexao", "TimeOut"), "45");
        EXPECT_EQ(ini.sectionLines(), QStringList{"[Conexao]"});
    }
}
