#pragma once
// The prepared statements of one connection, kept by their SQLite text so that a statement run again is
// neither parsed nor planned again, each with what its result columns are. The least recently used ones are
// finalized past a limit.

#include "sqlserver/RowsetReader.h"

#include <QHash>
#include <QString>
#include <list>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlserver {

class StatementCache {
public:
    explicit StatementCache(sqlite3* db, int capacity = 256);
    ~StatementCache();
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The prepared statement for `sql`, reset and without bindings; prepares it on first use. Returns the
    // SQLite result code of preparing (SQLITE_OK when `statement` is set). `sql` must hold one statement.
    // `columns`, when given, is set to the description of the statement's result columns kept with it.
    int statement(const QString& sql, sqlite3_stmt*& statement, std::shared_ptr<ResultColumns>* columns = nullptr);
    // Finalizes every statement (before the connection closes, or after the schema changed).
    void clear();

private:
    struct Entry {
        sqlite3_stmt* statement = nullptr;
        std::list<QString>::iterator recent;
        std::shared_ptr<ResultColumns> columns;
    };
    sqlite3* m_db;
    int m_capacity;
    QHash<QString, Entry> m_entries;
    std::list<QString> m_recent;  // most recently used first
};

}  // namespace sqlserver
