#include "DBFuncTestDatabase.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>
#include <sqlite3.h>
#include <thread>

namespace {

// A second connection to the database file holding its write lock, as another workstation's long
// transaction would: the test's writes wait for it and fail as deadlock victims.
class WriteLock {
public:
    explicit WriteLock(const QString& file)
    {
        EXPECT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    ~WriteLock()
    {
        if (m_releaser.joinable())
            m_releaser.join();
        EXPECT_FALSE(m_gaveUp) << "the deadlock log never held the entries the lock waited for";
        release();
        sqlite3_close(m_db);
    }

    void release()
    {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    }

    // Releases the lock from another thread as soon as the deadlock log holds `entries` entries, while the
    // test's next attempt waits for it. Entries that never come release it after a minute, a failure.
    void releaseAfterDeadlocks(const QString& log, int entries)
    {
        m_releaser = std::thread([this, log, entries] {
            const QDeadlineTimer deadline(60000);
            while (deadlockEntries(log) < entries && !deadline.hasExpired())
                QThread::msleep(5);
            m_gaveUp = deadlockEntries(log) < entries;
            release();
        });
    }

private:
    static int deadlockEntries(const QString& log)
    {
        return int(test::readFile(log).count("\r\n") / 2);
    }

    sqlite3* m_db = nullptr;
    std::thread m_releaser;
    bool m_gaveUp = false;
};

// Each entry: its attempt number from `first`, no open transaction, the deadlock tag and subject, then the
// victim's error.
void expectVictimEntries(const QStringList& entries, int first, const QString& tagAndSubject)
{
    const QRegularExpression victim(
        "^ - \\d\\d/\\d\\d/\\d{4} - \\d\\d:\\d\\d:\\d\\d  Erro: -2147467259 - Transaction "
        "\\(Process ID \\d+\\) was deadlocked .* Rerun the transaction\\.$");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString head = QString::number(first + i) + " - 0 " + tagAndSubject;
        EXPECT_TRUE(entries[i].startsWith(head) && victim.match(entries[i].mid(head.size())).hasMatch())
            << entries[i].toStdString();
    }
}

}  // namespace

TEST_F(DBFuncDatabase, ThreeDeadlocksThenSuccess)
{
    WriteLock lock(folder.file("Dados/Teste.db"));
    lock.releaseAfterDeadlocks(folder.file("Util/ErroDeadLock.txt"), 3);
    db.Add("Codigo", 1);
    EXPECT_EQ(db.Insert("CadEmp").toLong(), -1);

    const QStringList entries = logEntries("ErroDeadLock.txt");
    EXPECT_EQ(entries.size(), 3);
    expectVictimEntries(entries, 1, "INSERIR - Tabela: CadEmp");
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(logEntries("ErroDBFunc.txt").isEmpty());
    EXPECT_EQ(rows("SELECT Codigo FROM CadEmp"), QStringList{"1"});
}

TEST_F(DBFuncDatabase, FourDeadlocksGiveUp)
{
    execute("INSERT INTO CadEmp (Codigo, Nome) VALUES (1, 'Um')");
    {
        WriteLock lock(folder.file("Dados/Teste.db"));
        EXPECT_FALSE(db.Delete("CadEmp", "Codigo = 1"));
    }
    const QStringList entries = logEntries("ErroDeadLock.txt");
    EXPECT_EQ(entries.size(), 4);
    expectVictimEntries(entries, 1, "DELETE - SQL: DELETE FROM CadEmp WHERE Codigo = 1");
    EXPECT_TRUE(logEntries("ErroDBFunc.txt").isEmpty());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Este registro não pode ser excluído.\r-2147467259 - Transaction"));
    EXPECT_EQ(rows("SELECT Nome FROM CadEmp"), QStringList{"Um"});
}

TEST_F(DBFuncDatabase, RecordMinLogsOnlyItsLastDeadlock)
{
    // Reads take no lock on the embedded server: the minimum's statement carries a write the lock blocks.
    const QString filtro = "1 = 1; UPDATE CadEmp SET Nome = Nome";
    execute("INSERT INTO CadEmp (Codigo, Nome) VALUES (7, 'Sete')");
    {
        WriteLock lock(folder.file("Dados/Teste.db"));
        EXPECT_EQ(db.RecordMin("CadEmp", "Codigo", filtro), 0);
    }
    const QStringList entries = logEntries("ErroDeadLock.txt");
    EXPECT_EQ(entries.size(), 1);
    expectVictimEntries(entries, 4, "RECORDMIN - SQL: Select Min(Codigo) as MinCampo From CadEmp Where " + filtro);
    EXPECT_TRUE(logEntries("ErroDBFunc.txt").isEmpty());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Ocorreu um erro ao executar o RecordMin\rTransaction"));
    EXPECT_EQ(db.RecordMin("CadEmp", "Codigo", filtro), 7);
}

TEST_F(DBFuncDatabase, DeadlockSentenceInAnyCase)
{
    // The closing sentence in lower case, here inside an object name the server cannot find.
    EXPECT_FALSE(db.ExecutaComando("SELECT * FROM [rerun the transaction.]", false));
    EXPECT_EQ(logEntries("ErroDeadLock.txt").size(), 4);
    EXPECT_TRUE(logEntries("ErroDBFunc.txt").isEmpty());
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(DBFuncDatabase, EachMemberTellsItsOwnFailure)
{
    struct Case {
        std::function<void()> call;
        QString entry;    // the ErroDBFunc.txt entry up to its date
        QString message;  // the box up to its CR
        bool withNumber;  // the box shows "<n> - <description>"
        int style;
    };
    const QString none = "Nada";
    const QString update = "Ocorreu um erro ao atualizar os dados da tabela ''Nada''";
    const QString sqlError = "Ocorreu um erro ao executar ";
    const std::vector<Case> cases{
        {[&] { db.DBSeek(none, "Codigo", "Codigo = 1", true, false, "Codigo"); },
         "DBSEEK - SQL: SELECT TOP 1 Codigo FROM Nada WHERE Codigo = 1 ORDER BY Codigo", sqlError + "o DBSeek", false,
         vb::vbOKOnly},
        {[&] { db.CarregaObjeto("SELECT * FROM Nada"); }, "CONSULTA - Tabela: (SELECT * FROM Nada)",
         sqlError + "uma consulta SQL", true, vb::vbCritical},
        {[&] { db.CarregaRecordset("SELECT * FROM Nada"); }, "CONSULTA_RECORDSET - Tabela: (SELECT * FROM Nada)",
         sqlError + "uma consulta SQL RECORDSET", true, vb::vbCritical},
        {[&] { db.RecordCount(none, "Codigo = 1"); },
         "RECORDCOUNT - SQL: Select Count(*) as QtdCount From Nada Where Codigo = 1", sqlError + "o RecordCount", false,
         vb::vbOKOnly},
        {[&] { db.RecordSum(none, "Codigo", "", "Group By Codigo"); },
         "RECORDSUM - SQL: Select Sum(Codigo) as SumCampo From Nada Group By Codigo", sqlError + "o RecordSum", false,
         vb::vbOKOnly},
        {[&] { db.RecordMax(none, "Codigo", ""); }, "RECORDMAX - SQL: Select Max(Codigo) as MaxCampo From Nada",
         sqlError + "o RecordMax", false, vb::vbOKOnly},
        {[&] { db.RecordMin(none, "Codigo", "Codigo > 1"); },
         "RECORDMIN - SQL: Select Min(Codigo) as MinCampo From Nada Where Codigo > 1", sqlError + "o RecordMin", false,
         vb::vbOKOnly},
        {[&] { db.RecordExists(none, "Codigo = 1"); },
         "RECORDEXISTS : DECLARE @R BIT IF EXISTS(SELECT * FROM Nada Where Codigo = 1) SET @R=1 ELSE SET @R=0 SELECT "
         "@R AS R",
         sqlError + "o RECORDEXISTS", false, vb::vbOKOnly},
        {[&] { db.Insert(none); }, "INSERIR - Tabela: Nada", "Ocorreu um erro ao inserir dados na tabela ''Nada''",
         false, vb::vbCritical},
        {[&] { db.Update(none, "Codigo = 1"); }, "UPDATE - Tabela: Nada", update, false, vb::vbOKOnly},
        {[&] { db.Update2(none, "Codigo = 2", "Codigo = 1"); },
         "UPDATE2 - SQL: UPDATE Nada SET Codigo = 2 WHERE Codigo = 1", update, false, vb::vbOKOnly},
        {[&] { db.UpdateTrans(none, "Codigo = 1"); }, "UPDATETRANS - TABELA: Nada", update, false, vb::vbOKOnly},
        {[&] { db.Delete(none, "Codigo = 1"); }, "DELETE - SQL: DELETE FROM Nada WHERE Codigo = 1",
         "Este registro não pode ser excluído.", true, vb::vbExclamation},
        {[&] { db.ExecutaComando("DROP TABLE Nada"); }, "EXECUTACOMANDO - SQL: DROP TABLE Nada",
         sqlError + "o comando ''DROP TABLE Nada''", false, vb::vbOKOnly},
    };

    const QRegularExpression tail(
        " - \\d\\d/\\d\\d/\\d{4} - \\d\\d:\\d\\d:\\d\\d  Erro: (-2147217900) - (Invalid object name 'Nada'.)$");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.entry.toStdString());
        c.call();
        const QStringList entries = logEntries("ErroDBFunc.txt");
        ASSERT_EQ(entries.size(), qsizetype(i + 1));
        ASSERT_TRUE(entries.last().startsWith(c.entry));
        const QRegularExpressionMatch error = tail.match(entries.last().mid(c.entry.size()));
        ASSERT_TRUE(error.hasMatch()) << entries.last().toStdString();
        ASSERT_EQ(boxes().size(), qsizetype(i + 1));
        const QString detail = c.withNumber ? error.captured(1) + " - " + error.captured(2) : error.captured(2);
        EXPECT_EQ(boxes().last().prompt, c.message + '\r' + detail);
        EXPECT_EQ(boxes().last().style, c.style);
    }
    EXPECT_TRUE(logEntries("ErroDeadLock.txt").isEmpty());
}
