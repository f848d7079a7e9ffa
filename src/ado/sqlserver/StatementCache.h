#pragma once
// The prepared statements of one connection, kept by their SQLite text so that a statement run again is
// neither parsed nor planned again. The least recently used ones are finalized past a limit.

#include <QHash>
#include <QString>
#include <list>

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
    int statement(const QString& sql, sqlite3_stmt*& statement);
    // Finalizes every statement (before the connection closes, or after the schema changed).
    void clear();

private:
    struct Entry {
        sqlite3_stmt* statement = nullptr;
        std::list<QString>::iterator recent;
    };
    sqlite3* m_db;
    int m_capacity;
    QHash<QString, Entry> m_entries;
    std::list<QString> m_recent;  // most recently used first
};

}  // namespace sqlserver
