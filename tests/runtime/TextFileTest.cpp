// Appending lines as "Open .. For Append" with "Print #".

#include "runtime/TextFile.h"
#include "support/ErrorNumber.h"
#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vb;

TEST(AppendLines, CreatesThenAppendsCrLfLinesInWindows1252)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Erro.txt");
    AppendLines(path, {"primeira", ""});
    AppendLines(path, {QString::fromUtf8("Produção €5 – ok"), QString::fromUtf8("日本")});
    EXPECT_EQ(test::readFile(path), QByteArray("primeira\r\n\r\nProdu\xE7\xE3o \x80" "5 \x96 ok\r\n??\r\n"));
}

TEST(AppendLines, AMissingFolderIs76AndAFolderInTheWayIs75)
{
    QTemporaryDir dir;
    EXPECT_EQ(test::errorNumber([&] { AppendLines(dir.filePath("Log/Info.log"), {"x"}); }), ErrNo::PathNotFound);
    EXPECT_FALSE(QFile::exists(dir.filePath("Log")));
    EXPECT_EQ(test::errorNumber([&] { AppendLines(dir.path(), {"x"}); }), ErrNo::PathFileAccessError);
}
