#include "sqlserver/StatementCache.h"

#include <sqlite3.h>

namespace sqlserver {

StatementCache::StatementCache(sqlite3* db, int capacity) : m_db(db), m_capacity(capacity) {}

StatementCache::~StatementCache()
{
    clear();
}

int StatementCache::statement(const QString& sql, sqlite3_stmt*& statement, std::shared_ptr<ResultColumns>* columns)
{
    statement = nullptr;
    const auto found = m_entries.find(sql);
    if (found != m_entries.end()) {
        m_recent.splice(m_recent.begin(), m_recent, found->recent);
        statement = found->statement;
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        if (columns)
            *columns = found->columns;
        return SQLITE_OK;
    }
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &prepared,
                                      nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(prepared);
        return rc;
    }
    if (!prepared)  // blanks or a comment only: nothing to run, and nothing to keep
        return SQLITE_OK;
    if (int(m_entries.size()) >= m_capacity) {
        const QString oldest = m_recent.back();
        sqlite3_finalize(m_entries.value(oldest).statement);
        m_entries.remove(oldest);
        m_recent.pop_back();
    }
    m_recent.push_front(sql);
    const Entry entry{prepared, m_recent.begin(), std::make_shared<ResultColumns>()};
    m_entries.insert(sql, entry);
    statement = prepared;
    if (columns)
        *columns = entry.columns;
    return SQLITE_OK;
}

void StatementCache::clear()
{
    for (const Entry& e : std::as_const(m_entries))
        sqlite3_finalize(e.statement);
    m_entries.clear();
    m_recent.clear();
}

}  // namespace sqlserver
