// Any text at all, in either dialect, is run by the embedded server or refused with a ServerError: never a
// crash, a hang on a lock, an exception of another kind or undefined behaviour. The first byte of an input
// picks the dialect; the rest is the SQL text (UTF-8).

#include "schema/ModelDatabase.h"
#include "schema/ModelFunctions.h"
#include "sqlserver/DatabaseFiles.h"
#include "sqlserver/Session.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

namespace {

struct Server {
    QTemporaryDir folder;
    std::unique_ptr<sqlserver::Session> plant;
    std::unique_ptr<sqlserver::Session> access;

    Server()
    {
        sqlserver::setModelDatabase(schema::modelSchemaSql(), schema::modelFunctions());
        sqlserver::createDatabase(folder.path(), QStringLiteral("Plant"));
        plant = sqlserver::openServerDatabase(folder.path(), QStringLiteral("Plant"));
        access = sqlserver::openAccessFile(folder.filePath(QStringLiteral("Local.mdb")), true);
        // A loop without end is cancelled well before the fuzzer's own time limit calls it a finding.
        for (sqlserver::Session* s : {plant.get(), access.get()}) {
            s->setBusyTimeout(0);
            s->setCommandTimeout(1000);
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Server server;
    if (size == 0)
        return -1;
    sqlserver::Session& session = data[0] & 1 ? *server.access : *server.plant;
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        session.beginTransaction();
        session.execute(sql);
    } catch (const sqlserver::ServerError&) {
    }
    // Whatever the text did, the next input starts from the model's rows.
    try {
        while (session.transactionCount() > 0)
            session.rollbackTransaction();
    } catch (const sqlserver::ServerError&) {
    }
    return 0;
}
