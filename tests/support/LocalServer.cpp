#include "support/LocalServer.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace test {

LocalServer::LocalServer(const QStringList& arguments)
{
    m_process.setProgram(QStringLiteral("python3"));
    m_process.setArguments(QStringList{QStringLiteral("-u")} + arguments);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start();
    const QRegularExpression portLine(QStringLiteral(R"(port (\d+))"));
    while (m_process.waitForReadyRead(30000)) {
        m_output += QString::fromLocal8Bit(m_process.readAll());
        const QRegularExpressionMatch match = portLine.match(m_output);
        if (match.hasMatch()) {
            m_port = match.captured(1).toInt();
            return;
        }
    }
    ADD_FAILURE() << "the server did not start: " << m_output.toStdString();
}

LocalServer::~LocalServer()
{
    m_process.kill();
    EXPECT_TRUE(m_process.waitForFinished(30000)) << "the server did not stop";
}

QString LocalServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(path);
}

QString LocalServer::output()
{
    // A request's log line is written before its answer, so it is there to read once the answer came.
    m_process.waitForReadyRead(100);
    m_output += QString::fromLocal8Bit(m_process.readAll());
    return m_output;
}

QStringList fileServerArguments(const QString& folder)
{
    return {QStringLiteral("-m"),
            QStringLiteral("http.server"),
            QStringLiteral("0"),
            QStringLiteral("--bind"),
            QStringLiteral("127.0.0.1"),
            QStringLiteral("--directory"),
            folder};
}

}  // namespace test
