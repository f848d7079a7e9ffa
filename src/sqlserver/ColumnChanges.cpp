#include "sqlserver/ColumnChanges.h"

#include "sqlserver/Session.h"
#include "sqlserver/TokenTools.h"

#include <functional>

namespace sqlserver {

namespace {

bool isConstraintStart(const Token& t)
{
    for (const char* w : {"NOT", "NULL", "PRIMARY", "DEFAULT", "CONSTRAINT", "UNIQUE", "CHECK", "REFERENCES", "COLLATE",
                          "GENERATED", "AS"}) {
        if (t.is(QLatin1String(w)))
            return true;
    }
    return false;
}

// CREATE TABLE name (: the parenthesis that opens the columns.
int columnsParen(const Tokens& tokens)
{
    int paren = 0;
    while (paren < int(tokens.size()) && !tokens[paren].isSymbol(QLatin1String("(")))
        ++paren;
    return paren;
}

// The CREATE TABLE text in `tokens` with the table renamed to `newName`.
QString renamed(Tokens tokens, const QString& newName)
{
    const int tableName = previousSignificant(tokens, columnsParen(tokens) - 1);
    tokens[tableName] = makeToken(TokenKind::QuotedName, quoteName(newName));
    return joinTokens(tokens);
}

// The CREATE TABLE text with the column's type and nullability replaced and the table renamed to `newName`.
QString changedDefinition(const QString& createSql, const ColumnChange& change, const QString& newName)
{
    Tokens tokens = tokenize(createSql);
    const int paren = columnsParen(tokens);
    const int close = matchingClose(tokens, paren);
    const std::vector<int> bounds = topLevelCommas(tokens, paren + 1, close);
    for (size_t k = bounds.size() - 1; k-- > 0;) {
        const int name = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
        if (name >= close || tokens[name].name().compare(change.column, Qt::CaseInsensitive) != 0)
            continue;
        Tokens rest;
        int i = nextSignificant(tokens, name + 1);
        while (i < bounds[k + 1] && !isConstraintStart(tokens[i]))
            ++i;  // the old type
        for (; i < bounds[k + 1]; ++i) {
            if (tokens[i].is(QLatin1String("NULL"))) {
                const int previous = previousSignificant(rest, int(rest.size()) - 1);
                if (previous >= 0 && rest[previous].is(QLatin1String("NOT")))
                    rest.erase(rest.begin() + previous, rest.end());
                continue;
            }
            rest.push_back(tokens[i]);
        }
        Tokens column = tokensOf(quoteName(tokens[name].name()) + QLatin1Char(' ') + change.type
                                 + (change.notNull ? QStringLiteral(" NOT NULL ") : QStringLiteral(" ")));
        column.insert(column.end(), rest.begin(), rest.end());
        replaceRange(tokens, name, bounds[k + 1], column);
        break;
    }
    return renamed(std::move(tokens), newName);
}

// The CREATE TABLE text without the clause CONSTRAINT `constraint` ...; the text unchanged when it has none.
QString withoutConstraint(const QString& createSql, const QString& constraint)
{
    Tokens tokens = tokenize(createSql);
    const int paren = columnsParen(tokens);
    const int close = matchingClose(tokens, paren);
    const std::vector<int> bounds = topLevelCommas(tokens, paren + 1, close);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int first = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
        for (int i = first; i < bounds[k + 1]; ++i) {
            if (tokens[i].isSymbol(QLatin1String("(")))
                i = matchingClose(tokens, i);
            const int name = nextSignificant(tokens, i + 1);
            if (!tokens[i].is(QLatin1String("CONSTRAINT")) || name >= bounds[k + 1]
                || tokens[name].name().compare(constraint, Qt::CaseInsensitive) != 0)
                continue;
            if (i == first && k > 0) {  // a table constraint: the whole entry with the comma before it
                replaceRange(tokens, bounds[k], bounds[k + 1], {});
                return joinTokens(tokens);
            }
            // A column constraint runs to the next constraint of the column.
            int end = nextSignificant(tokens, nextSignificant(tokens, name + 1) + 1);
            while (end < bounds[k + 1] && !isConstraintStart(tokens[end]))
                end = tokens[end].isSymbol(QLatin1String("(")) ? matchingClose(tokens, end) + 1 : end + 1;
            replaceRange(tokens, i, end, {});
            return joinTokens(tokens);
        }
    }
    return createSql;
}

// The table's name as stored and its CREATE TABLE text; 4902 when there is none.
std::pair<QString, QString> tableDefinition(Session& session, const QString& table)
{
    const BatchResult found = session.executeNative(
        QStringLiteral("SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND name = ? COLLATE NOCASE"),
        {vb::Variant(table)});
    if (found.rowsets.empty() || found.rowsets[0].rows.empty())
        throw ServerError(4902, QStringLiteral("Cannot find the object \"%1\" because it does not exist or you do not "
                                               "have permissions.").arg(table));
    return {found.rowsets[0].rows[0][0].toString(), found.rowsets[0].rows[0][1].toString()};
}

using Redefinition = std::function<QString(const QString& createSql, const QString& newName)>;

// Rebuilds `table` from the definition `redefine(createSql, temporaryName)` gives, keeping rows, indexes,
// triggers, views and the identity sequence.
void rebuild(Session& session, const QString& table, const Redefinition& redefine)
{
    const QString rebuilt = QStringLiteral("sqlserver_rebuild_") + table;
    const QString definition = tableDefinition(session, table).second;
    const BatchResult indexes = session.executeNative(
        QStringLiteral("SELECT sql FROM sqlite_schema WHERE type IN ('index', 'trigger') AND tbl_name = ? "
                       "AND sql IS NOT NULL"),
        {vb::Variant(table)});
    // The next identity must not fall back to the highest one left in the rows.
    const bool identity = definition.contains(QLatin1String("AUTOINCREMENT"), Qt::CaseInsensitive);
    const BatchResult sequence = identity ? session.executeNative(
                                                QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"),
                                                {vb::Variant(table)})
                                          : BatchResult{};
    session.executeNative(redefine(definition, rebuilt), {});
    session.executeNative(QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(quoteName(rebuilt), quoteName(table)),
                          {});
    session.executeNative(QStringLiteral("DROP TABLE %1").arg(quoteName(table)), {});
    // The legacy rename leaves the views that name the table alone: they name it again once it is back.
    session.executeNative(QStringLiteral("PRAGMA legacy_alter_table = ON"), {});
    session.executeNative(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoteName(rebuilt), quoteName(table)), {});
    session.executeNative(QStringLiteral("PRAGMA legacy_alter_table = OFF"), {});
    for (const auto& row : indexes.rowsets[0].rows)
        session.executeNative(row[0].toString(), {});
    if (!sequence.rowsets.empty() && !sequence.rowsets[0].rows.empty()) {
        session.executeNative(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = ?"), {vb::Variant(table)});
        session.executeNative(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"),
                              {vb::Variant(table), sequence.rowsets[0].rows[0][0]});
    }
}

// `work` in a transaction of its own: committed, or rolled back with the first error thrown again.
void inTransaction(Session& session, const std::function<void()>& work)
{
    session.beginTransaction();
    try {
        work();
        session.commitTransaction();
    } catch (...) {
        // A failing clean-up must neither hide the first failure nor skip the rest of the clean-up.
        try {
            if (session.transactionCount() > 0)
                session.rollbackTransaction();
        } catch (...) {
        }
        try {
            session.executeNative(QStringLiteral("PRAGMA legacy_alter_table = OFF"), {});
        } catch (...) {
        }
        throw;
    }
}

}  // namespace

void changeColumn(Session& session, const ColumnChange& change)
{
    const QString table = tableDefinition(session, change.table).first;
    bool known = false;
    for (const Session::TableColumn& c : session.columns(table)) {
        if (c.name.compare(change.column, Qt::CaseInsensitive) != 0)
            continue;
        known = true;
        if (c.identity && !change.added)  // SQLite's identity is its INTEGER key: the type stays, NOT NULL it is
            return;
    }
    if (change.added && known)
        throw ServerError(2705, QStringLiteral("Column names in each table must be unique. Column name '%1' in table "
                                               "'%2' is specified more than once.").arg(change.column, table));
    if (!change.added && !known)
        throw ServerError(4924, QStringLiteral("ALTER TABLE ALTER COLUMN failed because column '%1' does not exist in "
                                               "table '%2'.").arg(change.column, table));
    inTransaction(session, [&] {
        if (change.added) {
            const BatchResult any = session.executeNative(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quoteName(table)), {});
            if (!any.rowsets[0].rows.empty())
                throw ServerError(4901, QStringLiteral("ALTER TABLE only allows columns to be added that can contain "
                                                       "nulls, or have a DEFAULT definition specified, or the column being "
                                                       "added is an identity or timestamp column, or alternatively if none "
                                                       "of the previous conditions are satisfied the table must be empty to "
                                                       "allow addition of this column. Column '%1' cannot be added to "
                                                       "non-empty table '%2' because it does not satisfy these conditions.")
                                            .arg(change.column, table));
            session.executeNative(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                      .arg(quoteName(table), quoteName(change.column), change.type), {});
        } else if (change.notNull) {
            const BatchResult nulls = session.executeNative(
                QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL").arg(quoteName(table), quoteName(change.column)), {});
            if (nulls.rowsets[0].rows[0][0].toLong() > 0)
                throw ServerError(515, QStringLiteral("Cannot insert the value NULL into column '%1', table '%2'; column "
                                                      "does not allow nulls. UPDATE fails.").arg(change.column, table));
        }
        rebuild(session, table, [&](const QString& createSql, const QString& newName) {
            return changedDefinition(createSql, change, newName);
        });
    });
}

void dropConstraint(Session& session, const QString& table, const QString& constraint)
{
    // Named variables, not a structured binding: the lambdas below capture the name.
    const std::pair<QString, QString> found = tableDefinition(session, table);
    const QString& name = found.first;
    const QString& definition = found.second;
    // Keys added by ALTER TABLE .. ADD CONSTRAINT are indexes of their name.
    const BatchResult index = session.executeNative(
        QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'index' AND tbl_name = ? "
                       "AND name = ? COLLATE NOCASE"),
        {vb::Variant(name), vb::Variant(constraint)});
    if (!index.rowsets[0].rows.empty()) {
        const QString indexName = index.rowsets[0].rows[0][0].toString();
        session.executeNative(QStringLiteral("DROP INDEX %1").arg(quoteName(indexName)), {});
        return;
    }
    if (withoutConstraint(definition, constraint) == definition)
        throw ServerError(3728, QStringLiteral("'%1' is not a constraint.").arg(constraint));
    inTransaction(session, [&] {
        rebuild(session, name, [&](const QString& createSql, const QString& newName) {
            return renamed(tokenize(withoutConstraint(createSql, constraint)), newName);
        });
    });
}

}  // namespace sqlserver
