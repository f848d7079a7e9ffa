#include "sqlserver/BatchState.h"

#include "sqlserver/MessageFormat.h"
#include "sqlserver/Session.h"
#include "sqlserver/Tokenizer.h"
#include "sqlserver/UserFunctions.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

using Arguments = std::vector<vb::Variant>;

// A fact of the error the innermost CATCH handles; Null outside CATCH.
template <class Fact>
void defineErrorFunction(sqlite3* db, const char* name, const BatchState& state, Fact fact)
{
    defineFunction(db, name, 0, [&state, fact](const Arguments&) {
        return state.handling.empty() ? vb::Variant::Null() : vb::Variant(fact(state.handling.back()));
    }, false);
}

RowAssignment& assignment(const BatchState& state)
{
    if (!state.assignment)
        throw ServerError(137, QStringLiteral("Must declare the scalar variable."));
    return *state.assignment;
}

// The identity last given to a table: its sequence, or the seed (1) when it never gave one.
vb::Variant identityOf(sqlite3* db, const QString& table)
{
    if (table.isEmpty())
        return vb::Variant::Null();
    const QByteArray name = table.toUtf8();
    // An identity a trigger numbers keeps its last value (or its seed) in the hidden table.
    sqlite3_stmt* numbered = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT coalesce(last_value, seed_value) FROM sys_identity_columns WHERE table_name = ?", -1,
                           &numbered, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(numbered, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        const bool found = sqlite3_step(numbered) == SQLITE_ROW;
        const double value = found ? sqlite3_column_double(numbered, 0) : 0.0;
        sqlite3_finalize(numbered);
        if (found)
            return vb::Variant(value);
    }
    const char* schema = name.startsWith('#') ? "temp" : "main";
    const QByteArray sql = QByteArray("SELECT (SELECT seq FROM ") + schema + ".sqlite_sequence WHERE name = ?1 COLLATE NOCASE), "
                           "(SELECT sql LIKE '%AUTOINCREMENT%' FROM " + schema + ".sqlite_schema WHERE type = 'table' AND "
                           "name = ?1 COLLATE NOCASE)";
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) != SQLITE_OK)
        return vb::Variant::Null();
    sqlite3_bind_text(s, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    vb::Variant result = vb::Variant::Null();
    if (sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int(s, 1) != 0) {
        const sqlite3_int64 seq = sqlite3_column_type(s, 0) == SQLITE_NULL ? 1 : sqlite3_column_int64(s, 0);
        result = vb::Variant(double(seq));
    }
    sqlite3_finalize(s);
    return result;
}

QString tableName(const vb::Variant& v)
{
    // tempdb..#t, dbo.t, [t], [a]]b]: the last part
    QString name;
    for (const Token& t : tokenize(v.isNull() ? QString() : v.toString()))
        if (t.isName())
            name = t.name();
    return name;
}

}  // namespace

void registerBatchFunctions(sqlite3* db, BatchState& state, const ServerState& server)
{
    const bool volatileResult = false;
    defineFunction(db, "sqlserver_error", 0, [&state](const Arguments&) {
        return vb::Variant(int(state.lastError));
    }, volatileResult);
    defineErrorFunction(db, "error_number", state, [](const HandledError& e) { return int(e.number); });
    defineErrorFunction(db, "error_message", state, [](const HandledError& e) { return e.message; });
    defineErrorFunction(db, "error_severity", state, [](const HandledError& e) { return e.severity; });
    defineErrorFunction(db, "error_state", state, [](const HandledError& e) { return e.state; });
    defineErrorFunction(db, "error_line", state, [](const HandledError& e) { return e.line; });
    defineFunction(db, "error_procedure", 0, [](const Arguments&) { return vb::Variant::Null(); }, volatileResult);
    defineFunction(db, "sqlserver_fetch_status", 0, [&state](const Arguments&) {
        return vb::Variant(state.fetchStatus);
    }, volatileResult);
    defineFunction(db, "sqlserver_cursor_rows", 0, [&state](const Arguments&) {
        return vb::Variant(int(state.cursorRows));
    }, volatileResult);
    defineFunction(db, "xact_state", 0, [&server, &state](const Arguments&) {
        return vb::Variant(server.openTransactions() == 0 ? 0 : state.doomed ? -1 : 1);
    }, volatileResult);
    defineFunction(db, "scope_identity", 0, [&server](const Arguments&) {
        const vb::Variant id = server.lastIdentity();
        return id.isNull() ? id : vb::Variant(id.toDouble());
    }, volatileResult);
    defineFunction(db, "ident_current", 1, [db](const Arguments& a) { return identityOf(db, tableName(a[0])); },
                   volatileResult);
    defineFunction(db, "sqlserver_recursion", 2, [](const Arguments& a) {
        const long long limit = a[1].toLong();
        if (limit > 0 && a[0].toDouble() > double(limit))
            throw ServerError(530, QStringLiteral("The statement terminated. The maximum recursion %1 has been "
                                                  "exhausted before statement completion.").arg(limit));
        return a[0];
    });
    defineFunction(db, "formatmessage", -1, [](const Arguments& a) {
        if (a.empty() || a[0].isNull())
            return vb::Variant::Null();
        return vb::Variant(formatMessage(a[0].toString(), Arguments(a.begin() + 1, a.end())));
    });
    defineFunction(db, "sqlserver_variable", 1, [&state](const Arguments& a) {
        return assignment(state).value(int(a[0].toLong()));
    }, volatileResult);
    defineFunction(db, "sqlserver_assign", 2, [&state](const Arguments& a) {
        return assignment(state).assign(int(a[0].toLong()), a[1]);
    }, volatileResult);
}

}  // namespace sqlserver
