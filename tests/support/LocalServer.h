#pragma once
// A Python program serving on 127.0.0.1 for one test, stopped with it. The port is the one it prints
// ("port <n>"); a server that says nothing for half a minute is a test failure.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace test {

class LocalServer {
public:
    // python3 -u <arguments>
    explicit LocalServer(const QStringList& arguments);
    ~LocalServer();
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    int port() const { return m_port; }
    QString url(const QString& path) const;
    // What the server has written since it started (Python's file server logs each request there).
    QString output();

private:
    QProcess m_process;
    QString m_output;
    int m_port = 0;
};

// Python's own file server over a folder, on a port of its choosing.
QStringList fileServerArguments(const QString& folder);

}  // namespace test
