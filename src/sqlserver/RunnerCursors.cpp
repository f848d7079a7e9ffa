// Cursors: DECLARE c CURSOR [LOCAL | GLOBAL] [options] FOR select, OPEN, FETCH, CLOSE, DEALLOCATE. A cursor
// reads its rows when it opens (a static cursor) with the values its variables had when it was declared.

#include "sqlserver/BatchRunner.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/SessionImpl.h"

namespace sqlserver {

namespace {

[[noreturn]] void missing(const QString& name)
{
    throw ServerError(16916, QStringLiteral("A cursor with the name '%1' does not exist.").arg(name));
}

}  // namespace

Cursor& Runner::cursor(const QString& name)
{
    const QString key = name.toUpper();
    auto local = m_cursors.find(key);
    if (local != m_cursors.end())
        return *local;
    auto global = m_session.globalCursors().find(key);
    if (global == m_session.globalCursors().end())
        missing(name);
    return *global;
}

void Runner::declareCursor(const BatchStep& step)
{
    const bool global = !step.cursorOptions.contains(QLatin1String("LOCAL"));
    QHash<QString, Cursor>& cursors = global ? m_session.globalCursors() : m_cursors;
    const QString key = step.name.toUpper();
    if (key.startsWith(QLatin1Char('@')))
        cursors.remove(key);  // a cursor variable takes a new cursor
    if (cursors.contains(key))
        throw ServerError(16915, QStringLiteral("A cursor with the name '%1' already exists.").arg(step.name));
    Cursor c;
    c.select = step.statements;
    c.literals = m_literals;
    for (auto v = m_variables.cbegin(); v != m_variables.cend(); ++v)
        c.values.insert(v.key(), v->value);
    const QStringList& o = step.cursorOptions;
    c.scroll = (o.contains(QLatin1String("SCROLL")) || o.contains(QLatin1String("STATIC")) || o.contains(QLatin1String("KEYSET"))
                || o.contains(QLatin1String("DYNAMIC")) || o.contains(QLatin1String("INSENSITIVE")))
               && !o.contains(QLatin1String("FORWARD_ONLY")) && !o.contains(QLatin1String("FAST_FORWARD"));
    cursors.insert(key, std::move(c));
    m_session.setLastRowCount(1);
}

void Runner::openCursor(const BatchStep& step)
{
    Cursor& c = cursor(step.name);
    if (c.open)
        throw ServerError(16905, QStringLiteral("The cursor is already open."));
    BatchResult result;
    for (const StatementPlan& plan : c.select) {
        m_session.run(plan, [&](sqlite3_stmt* s) {
            bindParameters(s, plan, c.literals, [&](const QString& name) -> const vb::Variant* {
                const auto found = c.values.constFind(name);
                return found == c.values.constEnd() ? nullptr : &*found;
            });
        }, result);
    }
    c.rows = result.rowsets.empty() ? Rowset{} : std::move(result.rowsets.back());
    c.open = true;
    c.position = -1;
    m_session.batchState().cursorRows = (long long)c.rows.rows.size();
}

void Runner::fetchCursor(const BatchStep& step)
{
    Cursor& c = cursor(step.name);
    if (!c.open)
        throw ServerError(16917, QStringLiteral("Cursor is not open."));
    const QString& how = step.fetch;
    if (!c.scroll && how != QLatin1String("NEXT"))
        throw ServerError(16911, QStringLiteral("fetch: The fetch type %1 cannot be used with forward only cursors.")
                                     .arg(how.toLower()));
    const long long count = (long long)c.rows.rows.size();
    long long offset = 0;
    if (how == QLatin1String("ABSOLUTE") || how == QLatin1String("RELATIVE")) {
        const std::vector<vb::Variant> row = lastRow(step.statements);
        const std::optional<double> n = row.empty() ? std::nullopt : numberOfValue(row[0]);
        if (!n)
            throw ServerError(16902, QStringLiteral("The fetch position is not valid."));
        offset = (long long)*n;
    }
    long long at = c.position;
    if (how == QLatin1String("NEXT"))
        at = c.position + 1;
    else if (how == QLatin1String("PRIOR"))
        at = c.position - 1;
    else if (how == QLatin1String("FIRST"))
        at = 0;
    else if (how == QLatin1String("LAST"))
        at = count - 1;
    else if (how == QLatin1String("ABSOLUTE"))
        at = offset > 0 ? offset - 1 : offset < 0 ? count + offset : -1;
    else if (how == QLatin1String("RELATIVE"))
        at = c.position + offset;
    const bool found = at >= 0 && at < count && !(how == QLatin1String("ABSOLUTE") && offset == 0);
    c.position = found ? at : (at < 0 ? -1 : count);
    m_session.batchState().fetchStatus = found ? 0 : -1;
    m_session.setLastRowCount(found ? 1 : 0);
    const std::vector<vb::Variant>* row = found ? &c.rows.rows[size_t(at)] : nullptr;
    if (step.variables.empty()) {
        Rowset rowset;
        rowset.columns = c.rows.columns;
        if (row)
            rowset.rows.push_back(*row);
        m_result->rowsets.push_back(std::move(rowset));
        return;
    }
    if (step.variables.size() != c.rows.columns.size())
        throw ServerError(16924, QStringLiteral("Cursorfetch: The number of variables declared in the INTO list must "
                                                "match that of selected columns."));
    if (!row)
        return;
    for (size_t k = 0; k < step.variables.size(); ++k) {
        Variable& v = variable(step.variables[k]);
        v.value = convertValue((*row)[k], v.type, 0, 1);
    }
}

void Runner::closeCursor(const BatchStep& step)
{
    Cursor& c = cursor(step.name);
    if (!c.open)
        throw ServerError(16917, QStringLiteral("Cursor is not open."));
    c.open = false;
    c.rows = Rowset{};
    m_session.setLastRowCount(0);
}

void Runner::deallocateCursor(const BatchStep& step)
{
    const QString key = step.name.toUpper();
    if (!m_cursors.remove(key) && !m_session.globalCursors().remove(key))
        missing(step.name);
    m_session.setLastRowCount(0);
}

}  // namespace sqlserver
