// The binary stream that saves downloaded files.

#include "ado/AdoErrors.h"
#include "ado/Stream.h"
#include "support/ErrorNumber.h"
#include "support/ProgramFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace ADODB;
using test::errorNumber;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(StreamTest, WritesBytesAndSavesThemToAFile)
{
    test::ProgramFolder program;
    const QString path = program.file("Relatorios.rpt");
    const QByteArray bytes("\x00\x01rpt\xff", 6);

    Stream stream;
    EXPECT_EQ(adErrObjectClosed, errorNumber([&] { stream.Write(bytes); }));
    stream.setType(adTypeBinary);
    stream.Open();
    stream.Write(bytes);
    stream.Write("!");
    EXPECT_EQ(7, stream.Size());
    stream.SaveToFile(path, adSaveCreateOverWrite);
    EXPECT_EQ(bytes + "!", contentOf(path));

    EXPECT_EQ(adErrWriteFile, errorNumber([&] { stream.SaveToFile(path, adSaveCreateNotExist); }));
    EXPECT_EQ(adErrWriteFile, errorNumber([&] { stream.SaveToFile(program.file("No/Such/file.rpt")); }));
    stream.Close();
    EXPECT_EQ(adStateClosed, stream.State());

    Stream text;
    text.Open();
    EXPECT_EQ(adErrIllegalOperation, errorNumber([&] { text.Write(bytes); }));
}

}  // namespace
