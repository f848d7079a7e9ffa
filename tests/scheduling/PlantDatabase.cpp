#include "PlantDatabase.h"

#include "core/BancoAtual.h"
#include "core/DBFunc.h"
#include "scheduling/SchedulerState.h"
#include "support/ModelDatabase.h"

#include <QDir>
#include <QThread>
#include <gtest/gtest.h>

namespace test {

namespace {

// Tests build their plant's days from today's date and the scheduler reads the clock: a test begun in the
// last minute of a day waits for the next one, so that both see the same day (the wait is bounded by the
// minute left).
void stayOnOneDay()
{
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 msLeft = now.msecsTo(QDateTime(now.date().addDays(1), QTime(0, 0)));
    if (msLeft < 60000)
        QThread::msleep(std::max<qint64>(msLeft, 0) + 1000);
}

// The embedded server keeps database Teste in <program folder>/Dados/Teste.db.
QString databaseFile(const ProgramFolder& folder)
{
    QDir().mkpath(folder.file(QStringLiteral("Dados")));
    return folder.file(QStringLiteral("Dados/Teste.db"));
}

}  // namespace

PlantDatabase::PlantDatabase()
    : m_plant(databaseFile(m_folder)), m_file(databaseFile(m_folder))
{
    stayOnOneDay();
    installModelDatabase();  // the plant's database functions, as the program hands them over
    resetSchedulerState();
    Modulo::InstallLogWindow(this);
    EXPECT_EQ(BancoAtual().AbreConexao(0, false, 1, QStringLiteral("sqlite:Dados"), QStringLiteral("Teste"),
                                       QStringLiteral("sa"), QString()),
              1);
}

PlantDatabase::~PlantDatabase()
{
    BancoAtual().FechaConexao();
    Modulo::InstallLogWindow(nullptr);
    resetSchedulerState();
}

void PlantDatabase::AddTexto(const QString& texto)
{
    // "Horario: ..." CR LF, the text, CR LF, an empty line.
    const qsizetype start = texto.indexOf(QStringLiteral("\r\n")) + 2;
    m_logTexts << texto.mid(start, texto.size() - start - 4);
}

void resetSchedulerState()
{
    scheduling::clearSchedulerState();
    BancoAtual().RemoveAll();
}

vb::Date vbDate(const QDateTime& moment)
{
    return vb::fromQDateTime(moment);
}

QDateTime qDateTime(vb::Date moment)
{
    return vb::toQDateTime(moment);
}

QDateTime at(QDate day, int hour, int minute)
{
    return QDateTime(day, QTime(hour, minute));
}

QDateTime storedMoment(const QVariant& value)
{
    return QDateTime::fromString(value.toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace test
