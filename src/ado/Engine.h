#pragma once
// What a connection needs of the database behind it. The data source decides which engine serves it:
// `Data Source=sqlite:<folder>` the embedded server, the Access form (Dbq=<file>, or the Jet provider's
// Data Source) an SQLite file in Access's dialect, anything else a real server through ODBC.
// Engines fail with ProviderError only.

#include "sqlbase/Rowset.h"

#include <QString>
#include <memory>
#include <vector>

namespace ADODB {

class ConnectionString;

using sqlbase::TableColumn;
using sqlbase::TableIndex;

class Engine {
public:
    virtual ~Engine() = default;

    // The source named by this engine's errors.
    virtual QString errorSource() const = 0;

    // The caller's SQL text, passed on in the connection's dialect.
    virtual sqlbase::BatchResult execute(const QString& sql) = 0;
    // The layer's own write-back statements: names in brackets, values as ? parameters, rows named by
    // the key that the record set carries ("rowid" for rows of the embedded engines).
    virtual sqlbase::BatchResult executeWriteBack(const QString& sql, const std::vector<vb::Variant>& parameters) = 0;
    // Whether the text commits by itself as atomically as within a transaction of its own (no transaction
    // open, one INSERT, UPDATE or DELETE); false when the engine cannot tell.
    virtual bool commitsAlone(const QString& sql) = 0;
    // The key the last INSERT on this connection generated.
    virtual vb::Variant lastInsertKey() = 0;
    // The column that names a row of any table ("rowid"), when the engine's row sets carry it
    // (Rowset::rowids); empty when rows are found by their table's primary key.
    virtual QString rowIdColumn() const = 0;

    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;
    virtual bool inTransaction() const = 0;

    // How long a statement may wait for a lock held by another connection; 0 waits without limit.
    virtual void setCommandTimeout(int seconds) = 0;

    virtual std::vector<QString> tables() = 0;
    virtual std::vector<TableColumn> columns(const QString& table) = 0;
    virtual std::vector<TableIndex> indexes(const QString& table) = 0;
};

// Opens the engine a connection string names. `provider` is the connection's Provider property, used
// when the string names none. Credentials given apart from the string override the string's.
std::unique_ptr<Engine> openEngine(const ConnectionString& connection, const QString& provider, const QString& userId,
                                   const QString& password, int connectionTimeout);

// Whether a connection string names an Access-form database (Dbq, or the Jet provider).
bool isAccessForm(const ConnectionString& connection, const QString& provider);

// Creates the Access-form database a catalog's connection string names (the Jet provider's Data Source,
// or Dbq) and opens it.
std::unique_ptr<Engine> createAccessDatabase(const ConnectionString& connection);

}  // namespace ADODB
