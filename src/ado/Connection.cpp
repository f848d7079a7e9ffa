#include "ado/Connection.h"

#include "ado/ConnectionString.h"
#include "ado/Engine.h"
#include "ado/Recordset.h"

#include <QRegularExpression>

#include <algorithm>

namespace ADODB {

struct Connection::Private {
    QString connectionString;
    QString provider;
    long commandTimeout = 30;
    long connectionTimeout = 15;
    long cursorLocation = adUseServer;
    std::unique_ptr<Engine> engine;
    bool inTransaction = false;
    std::vector<Error> errors;
    std::vector<std::weak_ptr<Recordset>> recordsets;
    std::function<void(const QString&)> willExecute;
};

namespace {

// Execute's options without adExecuteNoRecords.
long commandTypeOf(long options)
{
    return options == adCmdUnspecified ? adCmdUnspecified : options & ~adExecuteNoRecords;
}

// A source that is one (possibly qualified or bracketed) name: "CadPar", "[Cad Par]", "dbo.CadPar".
bool isSingleName(const QString& source, QString& bareName)
{
    // A statement has blanks between its words, which a name has only inside brackets: most texts are
    // statements, and this look costs far less than the pattern.
    const QStringView text = QStringView(source).trimmed();
    if (!text.contains(u'[') && std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); }))
        return false;
    static const QRegularExpression name(
        QStringLiteral(R"(^\s*(?:(?:\[[^\]]+\]|[A-Za-z_#][\w#@$]*)\.)*(\[[^\]]+\]|[A-Za-z_#][\w#@$]*)\s*$)"));
    const QRegularExpressionMatch match = name.match(source);
    if (!match.hasMatch())
        return false;
    bareName = match.captured(1);
    if (bareName.startsWith(u'['))
        bareName = bareName.mid(1, bareName.size() - 2);
    return true;
}

}  // namespace

Connection::Connection() : d(std::make_unique<Private>()) {}

Connection::~Connection() = default;

QString Connection::ConnectionString() const
{
    return d->connectionString;
}

void Connection::setConnectionString(const QString& text)
{
    if (d->engine)
        raiseAdo(adErrObjectOpen, source::Connection);
    d->connectionString = text;
}

QString Connection::Provider() const
{
    return d->provider;
}

void Connection::setProvider(const QString& provider)
{
    if (d->engine)
        raiseAdo(adErrObjectOpen, source::Connection);
    d->provider = provider;
}

long Connection::CommandTimeout() const
{
    return d->commandTimeout;
}

void Connection::setCommandTimeout(long seconds)
{
    if (seconds < 0)
        raiseAdo(adErrInvalidArgument, source::Connection);
    d->commandTimeout = seconds;
    if (d->engine)
        d->engine->setCommandTimeout(int(seconds));
}

long Connection::ConnectionTimeout() const
{
    return d->connectionTimeout;
}

void Connection::setConnectionTimeout(long seconds)
{
    if (d->engine)
        raiseAdo(adErrObjectOpen, source::Connection);
    if (seconds < 0)
        raiseAdo(adErrInvalidArgument, source::Connection);
    d->connectionTimeout = seconds;
}

long Connection::CursorLocation() const
{
    return d->cursorLocation;
}

void Connection::setCursorLocation(long location)
{
    if (location != adUseServer && location != adUseClient)
        raiseAdo(adErrInvalidArgument, source::Connection);
    d->cursorLocation = location;
}

long Connection::State() const
{
    return d->engine ? adStateOpen : adStateClosed;
}

void Connection::Open(const QString& connectionString, const QString& userId, const QString& password)
{
    if (d->engine)
        raiseAdo(adErrObjectOpen, source::Connection);
    if (!connectionString.isEmpty())
        d->connectionString = connectionString;
    const ADODB::ConnectionString parsed(d->connectionString);
    adopt(guarded([&] { return openEngine(parsed, d->provider, userId, password, int(d->connectionTimeout)); }),
          d->connectionString);
}

void Connection::adopt(std::unique_ptr<Engine> engine, const QString& connectionString)
{
    d->connectionString = connectionString;
    d->engine = std::move(engine);
    d->engine->setCommandTimeout(int(d->commandTimeout));
    d->inTransaction = false;
}

void Connection::Close()
{
    engine();
    if (d->inTransaction)
        raiseAdo(adErrInTransaction, source::Connection);
    const auto recordsets = std::move(d->recordsets);
    for (const auto& weak : recordsets)
        if (const auto recordset = weak.lock())
            recordset->closeWithConnection();
    d->engine.reset();
}

std::shared_ptr<Recordset> Connection::Execute(const QString& commandText, long* recordsAffected, long options)
{
    engine();
    const bool noRecords = options != adCmdUnspecified && (options & adExecuteNoRecords);
    const long commandType = commandTypeOf(options);
    const QString sql = sqlFor(commandText, commandType);
    willExecute(sql);
    sqlbase::BatchResult result = guarded([&] { return engine().execute(sql); });
    if (recordsAffected)
        *recordsAffected = long(result.rowsAffected);
    if (noRecords)
        return nullptr;
    auto recordset = std::make_shared<Recordset>();
    if (!result.rowsets.empty())
        recordset->openOn(weak_from_this().lock(), std::move(result.rowsets.front()), d->cursorLocation,
                          adOpenForwardOnly, adLockReadOnly);
    return recordset;
}

void Connection::setWillExecute(std::function<void(const QString&)> handler)
{
    d->willExecute = std::move(handler);
}

void Connection::willExecute(const QString& sql) const
{
    if (d->willExecute)
        d->willExecute(sql);
}

QString Connection::sqlFor(const QString& source, long commandType, bool* isTable)
{
    const auto wholeTable = [&] { return QStringLiteral("select * from ") + source; };
    if (isTable)
        *isTable = true;
    QString bareName;
    switch (commandType) {
    case adCmdTable:
    case adCmdTableDirect:
        return wholeTable();
    case adCmdUnspecified:
    case adCmdUnknown:
        // As ADO does with an unknown command type: a lone name is a table when there is one of that name.
        if (isSingleName(source, bareName)) {
            const std::vector<QString> tables = guarded([&] { return engine().tables(); });
            for (const QString& table : tables)
                if (table.compare(bareName, Qt::CaseInsensitive) == 0)
                    return wholeTable();
        }
        break;
    case adCmdText:
        break;
    case adCmdStoredProc:
        if (isTable)
            *isTable = false;
        return QStringLiteral("EXEC ") + source;
    default:
        raiseAdo(adErrInvalidArgument, source::Connection);
    }
    if (isTable)
        *isTable = false;
    return source;
}

long Connection::BeginTrans()
{
    engine();
    if (d->inTransaction)
        raiseAdo(hresult::TransactionExists, d->engine->errorSource());
    guarded([&] { engine().beginTransaction(); });
    d->inTransaction = true;
    return 1;
}

void Connection::CommitTrans()
{
    engine();
    if (!d->inTransaction)
        raiseAdo(hresult::NoTransaction, d->engine->errorSource());
    guarded([&] { engine().commitTransaction(); });
    d->inTransaction = false;
}

bool Connection::CommitsAlone(const QString& commandText, long options)
{
    engine();
    if (d->inTransaction)
        return false;
    const long commandType = commandTypeOf(options);
    const QString sql = sqlFor(commandText, commandType);
    return guarded([&] { return engine().commitsAlone(sql); });
}

void Connection::RollbackTrans()
{
    engine();
    if (!d->inTransaction)
        raiseAdo(hresult::NoTransaction, d->engine->errorSource());
    guarded([&] { engine().rollbackTransaction(); });
    d->inTransaction = false;
}

const std::vector<Error>& Connection::Errors() const
{
    return d->errors;
}

void Connection::recordFailure(const ProviderError& error)
{
    d->errors = {Error{error.number(), error.source(), error.description(), error.nativeError(), error.sqlState()}};
    // A server that chose this connection as a deadlock victim has rolled its transaction back.
    if (d->engine)
        d->inTransaction = d->inTransaction && d->engine->inTransaction();
}

Engine& Connection::engine() const
{
    if (!d->engine)
        raiseAdo(adErrObjectClosed, source::Connection);
    return *d->engine;
}

void Connection::attach(const std::shared_ptr<Recordset>& recordset)
{
    std::erase_if(d->recordsets, [](const std::weak_ptr<Recordset>& weak) { return weak.expired(); });
    d->recordsets.push_back(recordset);
}

void Connection::detach(const Recordset* recordset)
{
    std::erase_if(d->recordsets, [&](const std::weak_ptr<Recordset>& weak) {
        const auto held = weak.lock();
        return !held || held.get() == recordset;
    });
}

}  // namespace ADODB
