#pragma once
// ADO's Connection: opens the database a connection string names, runs SQL text, holds one transaction.
// Held by std::shared_ptr so that a vb::Variant can carry it and its record sets can name it.
//
// The data source decides the engine: `Data Source=sqlite:<folder>` (relative to the program folder) is
// the embedded server, its `Initial Catalog` the database (Master when none); the Access form
// (`Driver={...};Dbq=<file>`) an SQLite file in Access's dialect; any other source a real SQL Server
// through ODBC, statements unchanged. Failures raise vb::VbError with ADO's numbers (see AdoErrors.h); a
// provider's failure is also kept in Errors() with the server's own number (1205 for a deadlock victim).
//
// CommandTimeout is also how long a statement waits for a lock another connection holds before it fails
// as the deadlock victim.

#include "ado/AdoErrors.h"
#include "ado/Constants.h"
#include "runtime/Variant.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ADOX {
class Catalog;
class Table;
class Tables;
}  // namespace ADOX

namespace ADODB {

class Engine;
class Recordset;

class Connection : public vb::Object, public std::enable_shared_from_this<Connection> {
public:
    Connection();
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString ConnectionString() const;
    void setConnectionString(const QString& text);  // while closed
    QString Provider() const;
    void setProvider(const QString& provider);  // while closed; the string's Provider key wins
    long CommandTimeout() const;                // seconds, 30 unless set; 0 waits without limit
    void setCommandTimeout(long seconds);
    long ConnectionTimeout() const;           // seconds, 15 unless set: the ODBC login's limit
    void setConnectionTimeout(long seconds);  // while closed
    long CursorLocation() const;              // adUseServer unless set; record sets take it
    void setCursorLocation(long location);
    long State() const;

    // An empty connection string takes the ConnectionString property. Credentials override the string's.
    void Open(const QString& connectionString = {}, const QString& userId = {}, const QString& password = {});
    // Closes the record sets opened on this connection too; refused while a transaction is open.
    void Close();
    // Runs SQL text (or a table name). Returns a forward-only, read-only record set of the first row set
    // the text returns, a closed one when it returns none, and nothing with adExecuteNoRecords.
    std::shared_ptr<Recordset> Execute(const QString& commandText, long* recordsAffected = nullptr,
                                       long options = adCmdUnspecified);

    // One transaction at a time, as SQL Server's provider has it: a second BeginTrans fails, and so do
    // CommitTrans and RollbackTrans without one ("No transaction is active.").
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // Not ADO's: whether Execute of the text would commit as atomically as between BeginTrans and CommitTrans,
    // so that a caller may leave those two round trips out.
    bool CommitsAlone(const QString& commandText, long options = adCmdUnspecified);

    // The provider's errors of the last failure.
    const std::vector<Error>& Errors() const;

    // ADO's WillExecute event: the text of each statement as the connection hands it to the engine, from
    // Execute and from a record set's Open. An empty handler stops it.
    void setWillExecute(std::function<void(const QString& source)> handler);

private:
    friend class Recordset;
    friend class ADOX::Catalog;
    friend class ADOX::Table;
    friend class ADOX::Tables;
    struct Private;

    Engine& engine() const;  // error 3704 when closed
    // Runs work on the engine; a provider's failure is recorded in Errors() on its way to the caller.
    template <class Work>
    auto guarded(Work&& work) -> decltype(work())
    {
        try {
            return work();
        } catch (const ProviderError& e) {
            recordFailure(e);
            throw;
        }
    }
    void recordFailure(const ProviderError& error);
    void willExecute(const QString& sql) const;
    // The SQL a source stands for: text as it is, a table name as "select * from <table>" (isTable tells).
    QString sqlFor(const QString& source, long commandType, bool* isTable = nullptr);
    void attach(const std::shared_ptr<Recordset>& recordset);
    void detach(const Recordset* recordset);
    // Opens on an engine made elsewhere (a catalog's new database).
    void adopt(std::unique_ptr<Engine> engine, const QString& connectionString);

    std::unique_ptr<Private> d;
};

}  // namespace ADODB
