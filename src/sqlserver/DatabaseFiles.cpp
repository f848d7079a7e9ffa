#include "sqlserver/DatabaseFiles.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ExtendedProperties.h"
#include "runtime/App.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace sqlserver {

namespace {

QString& modelDatabase()
{
    static QString ddl;
    return ddl;
}

void execOrThrow(sqlite3* db, const QString& sql, const QString& database)
{
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw serverErrorFromSqlite(rc, ErrorContext{db, 0, database, {}});
}

bool isUsableName(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    if (name.trimmed().isEmpty() || name.size() > 123 || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        if (forbidden.contains(c) || c.unicode() < 32)
            return false;
    }
    return true;
}

ServerError notADatabase(const QString& path)
{
    return ServerError(5172, QStringLiteral("The header for file '%1' is not a valid database file header.").arg(path));
}

}  // namespace

QString resolveServerFolder(const QString& folder)
{
    if (QDir::isAbsolutePath(folder))
        return QDir::cleanPath(folder);
    return QDir::cleanPath(vb::App::Path() + QLatin1Char('/') + folder);
}

void setModelDatabase(const QString& ddl, std::vector<InlineFunction> functions)
{
    modelDatabase() = ddl;
    setInlineFunctions(std::move(functions));
}

bool isMasterDatabase(const QString& name)
{
    return name.compare(QLatin1String("master"), Qt::CaseInsensitive) == 0;
}

QString findDatabaseFile(const QString& folder, const QString& name)
{
    if (!isUsableName(name))
        return {};
    const QString wanted = name + QStringLiteral(".db");
    const QString exact = folder + QLatin1Char('/') + wanted;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.db")}, QDir::Files);
    for (const QString& file : files) {
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + file;
    }
    return {};
}

void createDatabase(const QString& folder, const QString& name)
{
    if (!isUsableName(name))
        throw ServerError(5105, QStringLiteral("A file activation error occurred. The physical file name '%1' may "
                                               "be incorrect.").arg(name));
    if (!findDatabaseFile(folder, name).isEmpty())
        throw ServerError(1801, QStringLiteral("Database '%1' already exists. Choose a different database name.")
                                    .arg(name));
    // Built under a temporary name and renamed, so that a failure never leaves a half-made database.
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".db");
    const QString building = folder + QStringLiteral("/.") + name + QStringLiteral(".db.creating");
    QFile::remove(building);
    sqlite3* db = nullptr;
    try {
        db = openDatabaseFile(building, name, true);
        execOrThrow(db, QStringLiteral("BEGIN"), name);
        execOrThrow(db, modelDatabase(), name);
        execOrThrow(db, extendedPropertiesDefinition(), name);
        execOrThrow(db, QStringLiteral("COMMIT"), name);
    } catch (...) {
        sqlite3_close_v2(db);
        QFile::remove(building);
        throw;
    }
    sqlite3_close_v2(db);
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        throw ServerError(5105, QStringLiteral("A file activation error occurred. The physical file name '%1' may "
                                               "be incorrect.").arg(path));
    }
}

sqlite3* openDatabaseFile(const QString& path, const QString& database, bool create)
{
    // SQLite takes an empty file for an empty database; a server database never is one.
    if (!create && QFileInfo(path).isFile() && QFileInfo(path).size() == 0)
        throw notADatabase(path);
    sqlite3* db = nullptr;
    // A session is used by one thread at a time: no need for SQLite's own locking of every call.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw ServerError(5120, QStringLiteral("Unable to open the physical file \"%1\": %2.").arg(path, reason));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    try {
        // Reading the schema is what tells a database from any other file.
        execOrThrow(db, QStringLiteral("SELECT count(*) FROM sqlite_schema"), database);
        // Every write commits on its own: checkpoints (each with its syncs) come every 10,000 pages written
        // rather than every 1,000.
        execOrThrow(db, QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON; "
                                       "PRAGMA wal_autocheckpoint=10000"),
                    database);
    } catch (const ServerError& e) {
        sqlite3_close_v2(db);
        if (e.number() == 5172)
            throw notADatabase(path);
        // Damaged, locked past the busy timeout, in a folder it cannot write its journal to: named by its file.
        throw ServerError(5120, QStringLiteral("Unable to open the physical file \"%1\": %2").arg(path, e.message()));
    }
    return db;
}

}  // namespace sqlserver
