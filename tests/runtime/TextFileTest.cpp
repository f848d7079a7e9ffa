// Appending lines as "Open .. For Append" with "Print #".

#include "runtime/Err.h"
#include "runtime/TextFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vb;

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

TEST(TextFileTest, CreatesAndAppendsWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Erro.txt");
    AppendLines(path, {"primeira", "segunda"});
    EXPECT_EQ(contents(path), QByteArray("primeira\r\nsegunda\r\n"));
    AppendLines(path, {"terceira"});
    EXPECT_EQ(contents(path), QByteArray("primeira\r\nsegunda\r\nterceira\r\n"));
    AppendLines(path, {""});
    EXPECT_EQ(contents(path), QByteArray("primeira\r\nsegunda\r\nterceira\r\n\r\n"));
}

TEST(TextFileTest, EmptyListStillCreatesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vazio.txt");
    AppendLines(path, {});
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(contents(path), QByteArray());
}

TEST(TextFileTest, WritesWindows1252)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("acentos.txt");
    AppendLines(path, {QString::fromUtf8("Produção €5 – ok"), QString::fromUtf8("日本")});
    EXPECT_EQ(contents(path), QByteArray("Produ\xE7\xE3o \x80" "5 \x96 ok\r\n??\r\n"));
}

TEST(TextFileTest, MissingFolderIsPathNotFound)
{
    QTemporaryDir dir;
    try {
        AppendLines(dir.filePath("Log/Info.log"), {"x"});
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), ErrNo::PathNotFound);
        EXPECT_EQ(e.description(), "Path not found");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("Log")));
}

TEST(TextFileTest, AFolderInTheWayIsPathFileAccessError)
{
    QTemporaryDir dir;
    try {
        AppendLines(dir.path(), {"x"});
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), ErrNo::PathFileAccessError);
    }
    EXPECT_THROW(AppendLines(QString(), {"x"}), VbError);
}
