#include "sqlserver/SchemaCollation.h"

#include "sqlserver/Collation.h"
#include "sqlserver/TokenTools.h"
#include "sqlserver/ValueCodec.h"

#include <sqlite3.h>

#include <vector>

namespace sqlserver {

namespace {

bool startsTableConstraint(const Token& t)
{
    for (const char* w : {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"}) {
        if (t.is(QLatin1String(w)))
            return true;
    }
    return false;
}

bool isConstraintWord(const Token& t)
{
    for (const char* w :
         {"NOT", "NULL", "PRIMARY", "DEFAULT", "CONSTRAINT", "UNIQUE", "CHECK", "REFERENCES", "GENERATED", "AS"}) {
        if (t.is(QLatin1String(w)))
            return true;
    }
    return false;
}

bool exec(sqlite3* db, const QString& sql)
{
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

int schemaVersion(sqlite3* db, const char* schema)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, QStringLiteral("PRAGMA %1.schema_version").arg(QLatin1String(schema)).toUtf8().constData(),
                       -1, &s, nullptr);
    const int version = s && sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : 0;
    sqlite3_finalize(s);
    return version;
}

// The table's definition replaced and its indexes rebuilt in the new order; undone when that fails.
bool redefine(sqlite3* db, const char* schema, const QString& table, const QString& sql)
{
    const QString qualified = QLatin1String(schema) + QLatin1Char('.') + quoteName(table);
    if (!exec(db, QStringLiteral("SAVEPOINT sqlserver_collation")))
        return false;
    sqlite3_db_config(db, SQLITE_DBCONFIG_WRITABLE_SCHEMA, 1, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       QStringLiteral("UPDATE %1.sqlite_schema SET sql = ? WHERE type = 'table' AND name = ?")
                           .arg(QLatin1String(schema))
                           .toUtf8()
                           .constData(),
                       -1, &s, nullptr);
    const QByteArray text = sql.toUtf8(), name = table.toUtf8();
    sqlite3_bind_text(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    bool done = s && sqlite3_step(s) == SQLITE_DONE;
    sqlite3_finalize(s);
    done = done && exec(db, QStringLiteral("PRAGMA %1.schema_version = %2")
                                .arg(QLatin1String(schema))
                                .arg(schemaVersion(db, schema) + 1));
    sqlite3_db_config(db, SQLITE_DBCONFIG_WRITABLE_SCHEMA, 0, nullptr);
    done = done && exec(db, QStringLiteral("REINDEX ") + qualified);
    if (!done)
        exec(db, QStringLiteral("ROLLBACK TO sqlserver_collation"));
    exec(db, QStringLiteral("RELEASE sqlserver_collation"));
    return done;
}

// The tables whose definition changes, with the new definition. Virtual tables and the tables that keep
// their data (named after them) are their module's own.
std::vector<std::pair<QString, QString>> pendingChanges(sqlite3* db, const char* schema)
{
    std::vector<std::pair<QString, QString>> tables;
    QStringList modules;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       QStringLiteral("SELECT name, sql FROM %1.sqlite_schema WHERE type = 'table' AND sql "
                                      "IS NOT NULL AND name NOT LIKE 'sqlite%'")
                           .arg(QLatin1String(schema))
                           .toUtf8()
                           .constData(),
                       -1, &s, nullptr);
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
        if (sql.startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive))
            modules << name + QLatin1Char('_');
        else
            tables.emplace_back(name, sql);
    }
    sqlite3_finalize(s);
    std::vector<std::pair<QString, QString>> changes;
    for (const auto& [name, sql] : tables) {
        const bool shadow = std::any_of(modules.begin(), modules.end(), [&name = name](const QString& prefix) {
            return name.startsWith(prefix, Qt::CaseInsensitive);
        });
        const QString changed = shadow ? sql : withDefaultCollation(sql);
        if (changed != sql)
            changes.emplace_back(name, changed);
    }
    return changes;
}

}  // namespace

QString withDefaultCollation(const QString& createTable)
{
    Tokens tokens = tokenize(createTable);
    int paren = 0;
    while (paren < int(tokens.size()) && !tokens[paren].isSymbol(QLatin1String("(")))
        ++paren;
    if (paren >= int(tokens.size()))
        return createTable;
    const int close = matchingClose(tokens, paren);
    const std::vector<int> bounds = topLevelCommas(tokens, paren + 1, close);
    bool changed = false;
    for (size_t k = bounds.size() - 1; k-- > 0;) {
        const int begin = k == 0 ? bounds[k] : bounds[k] + 1;
        const int end = bounds[k + 1];
        const int name = nextSignificant(tokens, begin);
        if (name >= end || startsTableConstraint(tokens[name]))
            continue;
        const int collate = findWordAtLevel(tokens, name, end, {QLatin1String("COLLATE")});
        if (collate < end) {
            // The default under SQL Server's name is the default itself, and plain SQLite keeps reading it.
            const int collation = nextSignificant(tokens, collate + 1);
            if (collation < end && tokens[collation].isName() && isDefaultCollationName(tokens[collation].name())) {
                tokens[collation] = makeToken(TokenKind::Word, QLatin1String(defaultCollation));
                changed = true;
            }
            continue;
        }
        // A column without a type (CREATE TABLE .. AS of an expression) may hold texts too.
        const int type = nextSignificant(tokens, name + 1);
        int typeEnd = name + 1;
        if (type < end && tokens[type].isName() && !isConstraintWord(tokens[type])) {
            if (kindOfDeclaredType(tokens[type].name()) != ValueKind::Text)
                continue;
            typeEnd = type + 1;
            const int length = nextSignificant(tokens, typeEnd);
            if (length < end && tokens[length].isSymbol(QLatin1String("(")))
                typeEnd = matchingClose(tokens, length) + 1;
        }
        replaceRange(tokens, typeEnd, typeEnd, tokensOf(QStringLiteral(" COLLATE ") + QLatin1String(defaultCollation)));
        changed = true;
    }
    return changed ? joinTokens(tokens) : createTable;
}

void applyDefaultCollation(sqlite3* db, const char* schema)
{
    if (pendingChanges(db, schema).empty())
        return;
    const bool own = sqlite3_get_autocommit(db) != 0;
    if (own && !exec(db, QStringLiteral("BEGIN IMMEDIATE")))
        return;  // another connection writes: the next session that opens the file does it
    // Read again under the write lock: another session may have done it meanwhile.
    for (const auto& [table, sql] : pendingChanges(db, schema))
        redefine(db, schema, table, sql);
    if (own && !exec(db, QStringLiteral("COMMIT")))
        exec(db, QStringLiteral("ROLLBACK"));
}

}  // namespace sqlserver
