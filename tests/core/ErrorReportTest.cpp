#include "core/Modulo.h"

#include "runtime/Err.h"
#include "support/FakeUiServices.h"
#include "support/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setPendingError(long number, const QString& description)
{
    vb::Err.Clear();
    vb::Err.Number = number;
    vb::Err.Description = description;
}

const QByteArray dashes(139, '-');

}  // namespace

TEST(TrataErro, WithoutPendingErrorDoesNothing)
{
    test::ProgramFolder folder;
    vb::Err.Clear();

    EXPECT_FALSE(Modulo::TrataErro("Contexto"));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file("Util/Erro.txt")));
}

TEST(TrataErro, ReportsInABoxAndAppendsStampedEntries)
{
    test::ProgramFolder folder;
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);

    setPendingError(13, "Type mismatch");
    EXPECT_TRUE(Modulo::TrataErro("Atualização de calendário"));
    EXPECT_EQ(vb::Err.Number, 0);
    EXPECT_EQ(vb::Err.Description, "");

    setPendingError(76, "Path not found");
    EXPECT_TRUE(Modulo::TrataErro());
    const QDateTime after = QDateTime::currentDateTime();

    const auto& boxes = test::fakeUi().messageBoxes;
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].prompt, "Atualização de calendário\r\nErro: 13 - Type mismatch");
    EXPECT_EQ(boxes[0].style, vb::vbCritical);
    EXPECT_EQ(boxes[0].title, "");
    EXPECT_EQ(boxes[1].prompt, "Erro: 76 - Path not found");

    // Five lines, CR LF ended, in the workstation's code page.
    const QString text = QString::fromLatin1(readFile(folder.file("Util/Erro.txt")));
    ASSERT_TRUE(text.endsWith("\r\n"));
    const QStringList lines = text.chopped(2).split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], dashes);
    EXPECT_EQ(lines[1], "Atualização de calendário");
    EXPECT_EQ(lines[3], dashes);

    const QRegularExpression stamped("^(Erro: .*) - (\\d\\d/\\d\\d/\\d{4}) - (\\d\\d:\\d\\d:\\d\\d)$");
    for (const auto& [line, message] : {std::pair{lines[2], QString("Erro: 13 - Type mismatch")},
                                        std::pair{lines[4], QString("Erro: 76 - Path not found")}}) {
        const QRegularExpressionMatch match = stamped.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        EXPECT_EQ(match.captured(1), message);
        const QDateTime moment =
            QDateTime::fromString(match.captured(2) + " " + match.captured(3), "dd/MM/yyyy HH:mm:ss");
        EXPECT_GE(moment, before) << line.toStdString();
        EXPECT_LE(moment, after) << line.toStdString();
    }
}

TEST(TrataErro, UnwritableErrorFileIsToldAndStillCountsAsReported)
{
    test::ProgramFolder folder;
    ASSERT_TRUE(QDir(folder.file("Util")).removeRecursively());

    setPendingError(5, "Invalid procedure call or argument");
    EXPECT_TRUE(Modulo::TrataErro("Rotina"));
    EXPECT_EQ(vb::Err.Number, 0);

    const auto& boxes = test::fakeUi().messageBoxes;
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].prompt, "Rotina\r\nErro: 5 - Invalid procedure call or argument");
    EXPECT_EQ(boxes[1].style, vb::vbExclamation);
    EXPECT_TRUE(boxes[1].prompt.contains(folder.file("Util/Erro.txt"))) << boxes[1].prompt.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file("Util/Erro.txt")));
}
