#include "core/Modulo.h"

#include "runtime/Err.h"
#include "support/FakeUiServices.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

void setPendingError(long number, const QString& description)
{
    vb::Err.Number = number;
    vb::Err.Description = description;
}

}  // namespace

TEST(TrataErro, WithoutAPendingErrorDoesNothing)
{
    test::ProgramFolder folder;
    vb::Err.Clear();
    EXPECT_FALSE(Modulo::TrataErro("Contexto"));
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.file("Util/Erro.txt")));
}

TEST(TrataErro, ReportsInACriticalBoxAndAppendsAStampedEntry)
{
    test::ProgramFolder folder;
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    setPendingError(13, "Type mismatch");
    EXPECT_TRUE(Modulo::TrataErro("Atualização de calendário"));
    EXPECT_EQ(vb::Err.Number, 0);
    setPendingError(76, "Path not found");
    EXPECT_TRUE(Modulo::TrataErro());
    const QDateTime after = QDateTime::currentDateTime();

    const auto& boxes = test::fakeUi().messageBoxes;
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0].prompt, "Atualização de calendário\r\nErro: 13 - Type mismatch");
    EXPECT_EQ(boxes[0].style, vb::vbCritical);
    EXPECT_EQ(boxes[0].title, "");
    EXPECT_EQ(boxes[1].prompt, "Erro: 76 - Path not found");

    // A line of 139 dashes, the caller's text when given, the message with date and time; CR LF, 8-bit.
    const QStringList lines = QString::fromLatin1(test::readFile(folder.file("Util/Erro.txt"))).split("\r\n");
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QString(139, '-'));
    EXPECT_EQ(lines[1], "Atualização de calendário");
    EXPECT_EQ(lines[3], QString(139, '-'));
    EXPECT_EQ(lines[5], "");
    const QRegularExpression stamped("^(Erro: .*) - (\\d\\d/\\d\\d/\\d{4} - \\d\\d:\\d\\d:\\d\\d)$");
    for (const auto& [line, message] : {std::pair{lines[2], QString("Erro: 13 - Type mismatch")},
                                        std::pair{lines[4], QString("Erro: 76 - Path not found")}}) {
        const QRegularExpressionMatch match = stamped.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        EXPECT_EQ(match.captured(1), message);
        const QDateTime moment = QDateTime::fromString(match.captured(2), "dd/MM/yyyy - HH:mm:ss");
        EXPECT_TRUE(moment >= before && moment <= after) << line.toStdString();
    }
}

TEST(TrataErro, AnUnwritableErrorFileIsToldAndTheErrorStillCountsAsReported)
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
}
