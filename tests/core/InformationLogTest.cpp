#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "core/InformationLog.h"
#include "runtime/Err.h"
#include "support/Files.h"
#include "support/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct RecordingWindow : Modulo::LogWindowSink {
    void AddTexto(const QString& texto) override { entries << texto; }
    QStringList entries;
};

// A program folder with the connection open on the embedded server, and a recording log window.
class InformationLog : public testing::Test {
protected:
    InformationLog()
    {
        QDir().mkpath(folder.file("Dados"));
        EXPECT_EQ(BancoAtual().AbreConexao(0, false, 1, "sqlite:Dados", "Master", "sa", ""), 1);
        Modulo::InstallLogWindow(&window);
    }
    ~InformationLog() override
    {
        Modulo::InstallLogWindow(nullptr);
        BancoAtual().FechaConexao();
    }

    QString logFile() const { return folder.file("Log/Info.log"); }
    QStringList rotatedCopies() const
    {
        return QDir(folder.file("Log")).entryList({"Info2*.log"}, QDir::Files, QDir::Name);
    }

    test::ProgramFolder folder;
    RecordingWindow window;
};

const QRegularExpression stampedEntry("^Horario: (\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d)\\r\\n(.*)\\r\\n\\r\\n$",
                                      QRegularExpression::DotMatchesEverythingOption);

}  // namespace

TEST_F(InformationLog, EntryGoesToTheWindowAndTheFile)
{
    ASSERT_FALSE(QDir(folder.file("Log")).exists());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    Modulo::GravaLog("Falha: A O.S. 12 tem postos inativos\r\nsegunda linha");
    Modulo::GravaLog("Programação concluída");
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    ASSERT_EQ(window.entries.size(), 2);
    const QRegularExpressionMatch first = stampedEntry.match(window.entries[0]);
    ASSERT_TRUE(first.hasMatch()) << window.entries[0].toStdString();
    EXPECT_EQ(first.captured(2), "Falha: A O.S. 12 tem postos inativos\r\nsegunda linha");
    const QDateTime stamp = QDateTime::fromString(first.captured(1), "dd/MM/yyyy HH:mm:ss");
    EXPECT_GE(stamp, before.addMSecs(-before.time().msec()));
    EXPECT_LE(stamp, after);

    // The Log folder was created; each entry is followed by one more line break, in the workstation's code
    // page.
    const QByteArray expected = (window.entries[0] + "\r\n" + window.entries[1] + "\r\n").toLatin1();
    EXPECT_EQ(test::readFile(logFile()), expected);
    EXPECT_TRUE(test::readFile(logFile()).contains("Programa\xe7\xe3o conclu\xed" "da"));
}

TEST_F(InformationLog, FileIsRotatedOnceItReachesTheLimit)
{
    QDir().mkpath(folder.file("Log"));
    ASSERT_TRUE(test::writeFile(logFile(), QByteArray(1000, 'x')));
    Modulo::GravaLog("abaixo do limite");
    EXPECT_TRUE(rotatedCopies().isEmpty());

    // One byte short of 100000: the next entry reaches the limit and goes with the file into the copy.
    ASSERT_TRUE(test::writeFile(logFile(), QByteArray(99999, 'x')));
    Modulo::GravaLog("no limite");
    EXPECT_FALSE(QFile::exists(logFile()));
    ASSERT_EQ(rotatedCopies().size(), 1);
    const QString copy = rotatedCopies().first();
    const QDateTime stamp = QDateTime::fromString(copy.mid(4, 15), "yyyyMMdd-HHmmss");
    EXPECT_LE(qAbs(stamp.secsTo(QDateTime::currentDateTime())), 2) << copy.toStdString();
    EXPECT_EQ(test::readFile(folder.file("Log/" + copy)),
              QByteArray(99999, 'x') + (window.entries.last() + "\r\n").toLatin1());

    // The next entry starts a new file.
    Modulo::GravaLog("novo arquivo");
    EXPECT_EQ(test::readFile(logFile()), (window.entries.last() + "\r\n").toLatin1());

    // Exactly 100000 bytes is the limit too.
    const qsizetype entrySize = (window.entries[window.entries.size() - 2] + "\r\n").size();
    ASSERT_TRUE(test::writeFile(logFile(), QByteArray(100000 - entrySize, 'x')));
    Modulo::GravaLog("no limite");
    EXPECT_FALSE(QFile::exists(logFile()));
}

TEST_F(InformationLog, AnotherProcessRotatingOrAFileThatCannotBeWrittenNeverStopsTheCaller)
{
    // Another process holds the rotation: the entry is appended and the file left to it.
    QDir().mkpath(folder.file("Log"));
    ASSERT_TRUE(test::writeFile(logFile(), QByteArray(99999, 'x')));
    {
        QLockFile other(logFile() + ".lock");
        ASSERT_TRUE(other.tryLock(0));
        EXPECT_NO_THROW(Modulo::GravaLog("durante a rotação do outro"));
        EXPECT_TRUE(rotatedCopies().isEmpty());
        EXPECT_EQ(test::readFile(logFile()), QByteArray(99999, 'x') + (window.entries.last() + "\r\n").toLatin1());
    }
    // Once it is free, the next entry rotates the file.
    Modulo::GravaLog("depois");
    EXPECT_EQ(rotatedCopies().size(), 1);
    EXPECT_FALSE(QFile::exists(logFile()));

    // A Log folder that cannot be made (a file in its place): the entry still reaches the window.
    QDir(folder.file("Log")).removeRecursively();
    ASSERT_TRUE(test::writeFile(folder.file("Log"), "ocupado"));
    EXPECT_NO_THROW(Modulo::GravaLog("sem pasta"));
    EXPECT_TRUE(window.entries.last().contains("sem pasta"));
}

TEST(InformationLogWithoutConnection, ServerClockFailureReachesTheCaller)
{
    test::ProgramFolder folder;
    BancoAtual().FechaConexao();
    EXPECT_THROW(Modulo::GravaLog("sem conexão"), vb::VbError);
    EXPECT_FALSE(QDir(folder.file("Log")).exists());
}
