#include "ado/Engine.h"

#include "ado/AdoErrors.h"
#include "ado/ConnectionString.h"
#include "ado/OdbcEngine.h"
#include "ado/SessionEngine.h"
#include "runtime/App.h"

#include <QDir>
#include <QFileInfo>

namespace ADODB {

namespace {

const QString EmbeddedPrefix = QStringLiteral("sqlite:");

// Keys the embedded engines would silently drop are refused, so that a mistyped key is seen at once.
void refuseUnknownKeys(const ConnectionString& connection)
{
    const QString key = connection.unknownKey();
    if (!key.isEmpty())
        raiseAdo(hresult::BadInitString, source::Connection,
                 adoErrorText(hresult::BadInitString) + QStringLiteral(" Unknown keyword '%1'.").arg(key));
}

QString accessFilePath(const ConnectionString& connection)
{
    const QString file = QDir::fromNativeSeparators(connection.contains(QStringLiteral("Dbq"))
                                                        ? connection.value(QStringLiteral("Dbq"))
                                                        : connection.value(QStringLiteral("Data Source")));
    if (file.isEmpty() || QDir::isAbsolutePath(file))
        return file;
    return vb::App::Path() + QLatin1Char('/') + file;
}

std::unique_ptr<Engine> openAccess(const ConnectionString& connection, bool create)
{
    refuseUnknownKeys(connection);
    const QString path = accessFilePath(connection);
    if (path.isEmpty())
        throw ProviderError(hresult::GeneralFailure, source::OdbcProvider,
                            QStringLiteral("The connection string names no database file."), 0);
    if (create && QFileInfo::exists(path))
        raiseAdo(hresult::DatabaseExists, source::OdbcProvider);
    return openAccessSession(path, create);
}

std::unique_ptr<Engine> openEmbedded(const ConnectionString& connection)
{
    refuseUnknownKeys(connection);
    const QString folder = connection.value(QStringLiteral("Data Source")).mid(EmbeddedPrefix.size());
    QString database = connection.value(QStringLiteral("Initial Catalog"));
    if (database.isEmpty())
        database = QStringLiteral("Master");
    return openServerSession(folder, database);
}

// One ODBC attribute; values that hold a separator or blanks at their ends are braced.
QString odbcPair(const QString& key, const QString& value)
{
    const bool braced =
        value.contains(u';') || value.contains(u'{') || value.contains(u'}') || value != value.trimmed();
    return key + u'=' + (braced ? u'{' + value + u'}' : value) + u';';
}

// SQLOLEDB's keys rewritten for the ODBC driver of SQL Server.
QString freeTdsConnectionString(const ConnectionString& connection)
{
    refuseUnknownKeys(connection);
    QString server = connection.value(QStringLiteral("Data Source"));
    QString port;
    if (const qsizetype comma = server.indexOf(u','); comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    QString text = QStringLiteral("Driver={FreeTDS};") + odbcPair(QStringLiteral("Server"), server);
    if (!port.isEmpty())
        text += odbcPair(QStringLiteral("Port"), port);
    const QString database = connection.value(QStringLiteral("Initial Catalog"));
    if (!database.isEmpty())
        text += odbcPair(QStringLiteral("Database"), database);
    return text;
}

QString withCredentials(QString text, const ConnectionString& connection, const QString& userId,
                        const QString& password)
{
    const QString user = userId.isEmpty() ? connection.value(QStringLiteral("User ID")) : userId;
    const QString secret = password.isEmpty() ? connection.value(QStringLiteral("Password")) : password;
    if (!user.isEmpty())
        text += odbcPair(QStringLiteral("UID"), user);
    if (!secret.isEmpty())
        text += odbcPair(QStringLiteral("PWD"), secret);
    return text;
}

}  // namespace

std::unique_ptr<Engine> openEngine(const ConnectionString& connection, const QString& provider, const QString& userId,
                                   const QString& password, int connectionTimeout)
{
    if (isAccessForm(connection, provider))
        return openAccess(connection, false);
    if (connection.value(QStringLiteral("Data Source")).startsWith(EmbeddedPrefix, Qt::CaseInsensitive))
        return openEmbedded(connection);

    QString odbcText;
    if (connection.contains(QStringLiteral("Driver")) || connection.contains(QStringLiteral("DSN"))) {
        // An ODBC string goes to the driver as it stands; the credentials are added again below.
        for (const auto& [key, value] : connection.pairs()) {
            if (!ConnectionString::sameKey(key, QStringLiteral("Provider"))
                && !ConnectionString::sameKey(key, QStringLiteral("User ID"))
                && !ConnectionString::sameKey(key, QStringLiteral("Password")))
                odbcText += odbcPair(key, value);
        }
    } else {
        odbcText = freeTdsConnectionString(connection);
    }
    return openOdbcEngine(withCredentials(odbcText, connection, userId, password), connectionTimeout);
}

bool isAccessForm(const ConnectionString& connection, const QString& provider)
{
    const QString name =
        connection.contains(QStringLiteral("Provider")) ? connection.value(QStringLiteral("Provider")) : provider;
    return connection.contains(QStringLiteral("Dbq"))
           || name.startsWith(QLatin1String("Microsoft.Jet"), Qt::CaseInsensitive)
           || name.startsWith(QLatin1String("Microsoft.ACE"), Qt::CaseInsensitive);
}

std::unique_ptr<Engine> createAccessDatabase(const ConnectionString& connection)
{
    return openAccess(connection, true);
}

}  // namespace ADODB
