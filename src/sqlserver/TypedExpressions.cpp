#include "sqlserver/TypedExpressions_p.h"

#include "sqlserver/ExpressionTyper_p.h"

#include <QSet>

namespace sqlserver {

// Words that end an expression, a table's name or its alias.
bool isReserved(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("SELECT"),    QStringLiteral("FROM"),   QStringLiteral("WHERE"),  QStringLiteral("GROUP"),
        QStringLiteral("ORDER"),     QStringLiteral("HAVING"), QStringLiteral("UNION"),  QStringLiteral("EXCEPT"),
        QStringLiteral("INTERSECT"), QStringLiteral("JOIN"),   QStringLiteral("INNER"),  QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),     QStringLiteral("FULL"),   QStringLiteral("CROSS"),  QStringLiteral("OUTER"),
        QStringLiteral("ON"),        QStringLiteral("AS"),     QStringLiteral("LIMIT"),  QStringLiteral("SET"),
        QStringLiteral("VALUES"),    QStringLiteral("WITH"),   QStringLiteral("USING"),  QStringLiteral("NATURAL"),
        QStringLiteral("AND"),       QStringLiteral("OR"),     QStringLiteral("NOT"),    QStringLiteral("BETWEEN"),
        QStringLiteral("IN"),        QStringLiteral("LIKE"),   QStringLiteral("IS"),     QStringLiteral("ESCAPE"),
        QStringLiteral("WHEN"),      QStringLiteral("THEN"),   QStringLiteral("ELSE"),   QStringLiteral("END"),
        QStringLiteral("CASE"),      QStringLiteral("ASC"),    QStringLiteral("DESC"),   QStringLiteral("BY"),
        QStringLiteral("OFFSET"),    QStringLiteral("FETCH"),  QStringLiteral("OPTION"), QStringLiteral("OUTPUT"),
        QStringLiteral("RETURNING"), QStringLiteral("WINDOW"), QStringLiteral("INTO"),   QStringLiteral("DISTINCT"),
        QStringLiteral("ALL"),       QStringLiteral("NULL"),   QStringLiteral("EXISTS"), QStringLiteral("COLLATE"),
        QStringLiteral("OVER"),      QStringLiteral("UPDATE"), QStringLiteral("DELETE"), QStringLiteral("INSERT"),
    };
    return t.kind == TokenKind::Word && words.contains(t.text.toUpper());
}

// The column of `SET [alias.]column =` whose "=" is at `equals`.
ExprType ExpressionTyper::assignmentTarget(int equals, const Scope& scope) const
{
    const int column = previousSignificant(m_t, equals - 1);
    if (column < 0 || !m_t[column].isName())
        return {};
    const int dot = previousSignificant(m_t, column - 1);
    const bool qualified = dot >= 0 && m_t[dot].isSymbol(QLatin1String("."));
    const int qualifier = qualified ? previousSignificant(m_t, dot - 1) : -1;
    return columnType(scope, qualifier >= 0 ? m_t[qualifier].name() : QString(), m_t[column].name());
}

// The types of the columns an INSERT INTO t [(columns)] VALUES or SELECT writes, in order; empty when unknown.
std::vector<ExprType> ExpressionTyper::insertColumnTypes(int begin, int end, const Scope& scope) const
{
    std::vector<ExprType> types;
    const int into = findWordAtLevel(m_t, begin, end, {QLatin1String("INTO")});
    const int values = findWordAtLevel(m_t, begin, end, {QLatin1String("VALUES"), QLatin1String("SELECT")});
    if (into >= end || values >= end || values < into || scope.tables.empty())
        return types;
    const QString table = scope.tables.front().table;
    QStringList columns;
    int open = into;
    while (open < values && !m_t[open].isSymbol(QLatin1String("(")))
        ++open;
    if (open < values) {
        const int close = matchingClose(m_t, open);
        for (int k = next(open + 1); k < close; k = next(k + 1)) {
            if (m_t[k].isName())
                columns << m_t[k].name();
        }
    } else {
        columns = m_schema.columnNames(table);
    }
    for (const QString& column : columns)
        types.push_back(columnOfDeclared(m_schema.declaredType(table, column)));
    return types;
}

// The columns * (or t.* for `qualifier`) stands for; an item without a name where they are not all known.
void ExpressionTyper::starColumns(const Scope& scope, const QString& qualifier, std::vector<SelectItem>& items) const
{
    for (const TableRef& ref : scope.tables) {
        if (!qualifier.isEmpty() && ref.alias.compare(qualifier, Qt::CaseInsensitive) != 0 &&
            ref.table.compare(qualifier, Qt::CaseInsensitive) != 0)
            continue;
        if (ref.table.isEmpty()) {
            items.insert(items.end(), ref.columns.begin(), ref.columns.end());
            if (ref.open)
                items.push_back(SelectItem{});
            continue;
        }
        const QStringList columns = m_schema.columnNames(ref.table);
        if (columns.isEmpty())
            items.push_back(SelectItem{});
        for (const QString& column : columns)
            items.push_back(SelectItem{column, columnOfDeclared(m_schema.declaredType(ref.table, column))});
    }
}

// The name of a select-list item `node` whose next token is at `after`: its alias, or its column's name.
QString ExpressionTyper::itemName(int node, int after) const
{
    if (after < m_end && m_t[after].is(QLatin1String("AS")))
        after = next(after + 1);
    if (hasAlias(after))
        return m_t[after].kind == TokenKind::String ? m_t[after].stringValue() : m_t[after].name();
    const Node& n = m_nodes[size_t(node)];
    return n.type.column && m_t[n.last].isName() ? m_t[n.last].name() : QString();
}

// Whether a select-list item that ends before `i` is named: a column without a name is named after its text.
bool ExpressionTyper::hasAlias(int i) const
{
    if (i >= m_end)
        return false;
    const Token& t = m_t[i];
    return t.is(QLatin1String("AS")) || t.kind == TokenKind::String || (t.isName() && !isReserved(t));
}

void ExpressionTyper::addEdit(int n, std::vector<Edit>& edits)
{
    if (m_nodes[size_t(n)].changed)
        edits.push_back(Edit{m_nodes[size_t(n)].first, m_nodes[size_t(n)].last + 1, render(n)});
}

// The columns of the derived table (SELECT ...) between `open` and `close`.
TableRef ExpressionTyper::derivedTable(int open, int close, const Scope* outer)
{
    TableRef ref;
    bool changed = false;
    const bool expanding = m_expandStars;
    m_expandStars = true;
    statement(next(open + 1), close, outer, &ref.columns, changed);
    m_expandStars = expanding;
    for (const SelectItem& item : ref.columns)
        ref.open = ref.open || item.name.isEmpty();
    return ref;
}

// The columns column1, column2, ... of the table value constructor (VALUES (..), (..)) between `open` and
// `close`: each takes the highest type of its rows' values, as a UNION's columns, and a text among numbers is
// converted (245 for 'a'); what is not read is unknown.
TableRef ExpressionTyper::valuesTable(int open, int close, const Scope* outer, std::vector<Edit>& edits)
{
    Scope scope;
    scope.outer = outer;
    TableRef ref;
    std::vector<int> values;  // row by row, a node per column (-1: not read)
    for (int row = next(next(open + 1) + 1); row < close && symbolAt(row, "(");) {
        const int rowClose = matchingClose(m_t, row);
        const std::vector<int> bounds = topLevelCommas(m_t, row + 1, rowClose);
        const size_t count = bounds.size() - 1;
        if (ref.columns.empty()) {
            for (size_t k = 0; k < count; ++k)
                ref.columns.push_back(SelectItem{QStringLiteral("column%1").arg(k + 1), ExprType{TypeClass::Null}});
        }
        for (size_t k = 0; k < ref.columns.size(); ++k) {
            ExprType& type = ref.columns[k].type;
            int end = 0;
            auto e = k < count ? expression(next(k == 0 ? bounds[k] : bounds[k] + 1), scope, end) : std::nullopt;
            if (e && next(end) != bounds[k + 1])
                e.reset();
            values.push_back(e ? *e : -1);
            const ExprType value = e ? m_nodes[size_t(*e)].type : ExprType{};
            type = type.known() && value.known() ? higherType(type, value) : ExprType{};
            type.column = false;  // SQLite gives its values no affinity
        }
        row = next(rowClose + 1);
        if (!symbolAt(row, ","))
            break;
        row = next(row + 1);
    }
    for (size_t v = 0; v < values.size(); ++v) {
        if (values[v] >= 0)
            addEdit(toResultType(values[v], ref.columns[v % ref.columns.size()].type), edits);
    }
    return ref;
}

// WITH a [(columns)] AS (...), b AS (...) at `begin`: their columns into `scope`; where the statement begins.
int ExpressionTyper::commonTables(int begin, int end, Scope& scope)
{
    int i = next(begin);
    if (!at(i, "WITH"))
        return begin;
    i = next(i + 1);
    if (at(i, "RECURSIVE"))
        i = next(i + 1);
    while (i < end && m_t[i].isName()) {
        const QString name = m_t[i].name();
        QStringList names;
        i = next(i + 1);
        if (symbolAt(i, "(")) {
            const int close = matchingClose(m_t, i);
            for (int k = next(i + 1); k < close; k = next(k + 1)) {
                if (m_t[k].isName())
                    names << m_t[k].name();
            }
            i = next(close + 1);
        }
        if (!at(i, "AS") || !symbolAt(next(i + 1), "("))
            return begin;
        const int open = next(i + 1), close = matchingClose(m_t, open);
        if (close >= end)
            return begin;
        TableRef ref = derivedTable(open, close, &scope);
        ref.alias = name;
        for (int k = 0; k < int(names.size()) && k < int(ref.columns.size()); ++k)
            ref.columns[size_t(k)].name = names[k];
        ref.open = ref.open && names.isEmpty();
        scope.commonTables.push_back(std::move(ref));
        i = next(close + 1);
        if (!symbolAt(i, ","))
            break;
        i = next(i + 1);
    }
    return i;
}

Scope ExpressionTyper::tablesOf(int begin, int end, const Scope* outer, std::vector<Edit>& edits)
{
    Scope scope;
    scope.outer = outer;
    bool inFrom = false;
    for (int i = next(begin); i < end; i = next(i + 1)) {
        const Token& t = m_t[i];
        if (t.isSymbol(QLatin1String("("))) {
            const int close = matchingClose(m_t, i);
            const int inner = next(i + 1);
            const bool derived = inFrom && (at(inner, "SELECT") || at(inner, "WITH"));
            const int open = i;
            i = std::min(close, end - 1);
            if (inFrom && at(inner, "VALUES")) {
                scope.tables.push_back(valuesTable(open, close, outer, edits));
                continue;
            }
            if (derived) {
                int alias = next(i + 1);
                if (at(alias, "AS"))
                    alias = next(alias + 1);
                if (alias < end && m_t[alias].isName() && !isReserved(m_t[alias])) {
                    TableRef ref = derivedTable(open, close, outer);
                    ref.alias = m_t[alias].name();
                    scope.tables.push_back(std::move(ref));
                    i = alias;
                }
            }
            continue;
        }
        const bool startsFrom = t.is(QLatin1String("FROM")) || t.is(QLatin1String("JOIN")) ||
                                t.is(QLatin1String("UPDATE")) || t.is(QLatin1String("INTO"));
        if (startsFrom || (inFrom && t.isSymbol(QLatin1String(",")))) {
            inFrom = true;
            int name = next(i + 1);
            if (name >= end || !m_t[name].isName() || isReserved(m_t[name]))
                continue;
            QString table = m_t[name].name();
            while (symbolAt(next(name + 1), ".") && next(next(name + 1) + 1) < end) {
                name = next(next(name + 1) + 1);
                table = m_t[name].name();
            }
            int alias = next(name + 1);
            if (at(alias, "AS"))
                alias = next(alias + 1);
            QString aliasName;
            if (alias < end && m_t[alias].isName() && !isReserved(m_t[alias])) {
                aliasName = m_t[alias].name();
                name = alias;
            }
            if (const TableRef* common = scope.commonTable(table)) {
                TableRef ref = *common;
                ref.alias = aliasName.isEmpty() ? table : aliasName;
                scope.tables.push_back(std::move(ref));
            } else {
                scope.tables.push_back(TableRef{table, aliasName, {}, false});
            }
            i = name;
        } else if (t.is(QLatin1String("WHERE")) || t.is(QLatin1String("GROUP")) || t.is(QLatin1String("ORDER")) ||
                   t.is(QLatin1String("SET")) || t.is(QLatin1String("VALUES")) || t.is(QLatin1String("SELECT"))) {
            inFrom = false;
        }
    }
    return scope;
}

bool ExpressionTyper::hasAggregate(int first, int last) const
{
    static const QSet<QString> aggregates = {
        QStringLiteral("COUNT"), QStringLiteral("SUM"),   QStringLiteral("AVG"),          QStringLiteral("MIN"),
        QStringLiteral("MAX"),   QStringLiteral("TOTAL"), QStringLiteral("GROUP_CONCAT"), QStringLiteral("STRING_AGG"),
        QStringLiteral("STDEV"), QStringLiteral("VAR"),   QStringLiteral("COUNT_BIG")};
    for (int k = first; k <= last; ++k) {
        if (m_t[k].isSymbol(QLatin1String("(")) && at(next(k + 1), "SELECT"))
            k = matchingClose(m_t, k);
        else if (m_t[k].kind == TokenKind::Word && aggregates.contains(m_t[k].text.toUpper()) &&
                 symbolAt(next(k + 1), "("))
            return true;
    }
    return false;
}

void ExpressionTyper::part(int begin, int end, const Scope* outer, std::vector<SelectItem>* selectItems,
                           std::vector<Edit>& edits, bool singleValue)
{
    // A scalar subquery of one plain item (no aggregate, grouping, DISTINCT or LIMIT) hands its value through
    // sqlserver_scalar, which fails with 512 on a second row.
    singleValue = singleValue && findWordAtLevel(m_t, begin, end,
                                                 {QLatin1String("GROUP"), QLatin1String("DISTINCT"),
                                                  QLatin1String("LIMIT"), QLatin1String("HAVING")}) == end;
    std::vector<std::pair<int, int>> items;  // select items: node, its edit (-1 for none)
    const Scope scope = tablesOf(begin, end, outer, edits);
    const std::vector<ExprType> insertTypes = insertColumnTypes(begin, end, scope);
    enum class Clause { Other, Select, Where, Set, Values, Order };
    Clause clause = Clause::Other;
    int previous = -1;
    for (int i = next(begin); i < end;) {
        const Token& t = m_t[i];
        bool startsExpression = false;
        if (t.kind == TokenKind::Word) {
            if (t.is(QLatin1String("SELECT")))
                clause = Clause::Select;
            else if (t.is(QLatin1String("WHERE")) || t.is(QLatin1String("ON")) || t.is(QLatin1String("HAVING")))
                clause = Clause::Where;
            else if (t.is(QLatin1String("SET")))
                clause = Clause::Set;
            else if (t.is(QLatin1String("VALUES")))
                clause = Clause::Values;
            else if (t.is(QLatin1String("BY")))
                clause = Clause::Order;
            else if (t.is(QLatin1String("FROM")) || t.is(QLatin1String("LIMIT")) || t.is(QLatin1String("INTO")))
                clause = Clause::Other;
        }
        const bool afterList = previous >= 0 && m_t[previous].isSymbol(QLatin1String(","));
        switch (clause) {
        case Clause::Select:
            startsExpression = !t.is(QLatin1String("DISTINCT")) && !t.is(QLatin1String("ALL")) &&
                               !t.is(QLatin1String("SELECT")) &&
                               (previous >= 0 && (m_t[previous].is(QLatin1String("SELECT")) ||
                                                  m_t[previous].is(QLatin1String("DISTINCT")) ||
                                                  m_t[previous].is(QLatin1String("ALL"))) ||
                                afterList);
            break;
        case Clause::Where:
            startsExpression = previous >= 0 && !m_t[previous].isSymbol(QLatin1String(")")) &&
                               (m_t[previous].is(QLatin1String("WHERE")) || m_t[previous].is(QLatin1String("ON")) ||
                                m_t[previous].is(QLatin1String("HAVING")));
            break;
        case Clause::Set:
            startsExpression = previous >= 0 && m_t[previous].isSymbol(QLatin1String("="));
            break;
        case Clause::Order:
            startsExpression = previous >= 0 && (m_t[previous].is(QLatin1String("BY")) || afterList);
            break;
        default:
            break;
        }
        int expressionEnd = 0;
        auto e = startsExpression ? expression(i, scope, expressionEnd) : std::nullopt;
        if (e && clause == Clause::Set)
            e = assigned(*e, assignmentTarget(previous, scope));
        else if (e && clause == Clause::Select && items.size() < insertTypes.size())
            e = assigned(*e, insertTypes[items.size()]);  // INSERT .. SELECT
        if (e) {
            addEdit(*e, edits);
            if (clause == Clause::Select)
                items.emplace_back(*e, m_nodes[size_t(*e)].changed ? int(edits.size()) - 1 : -1);
            if (clause == Clause::Select && !singleValue && m_nodes[size_t(*e)].changed &&
                !hasAlias(next(expressionEnd)))
                edits.back().text += QStringLiteral(" AS ") + quoteName(textOf(m_t, i, expressionEnd));
            const Node& item = m_nodes[size_t(*e)];
            if (clause == Clause::Select && selectItems && m_expandStars && m_t[item.last].isSymbol(QLatin1String("*")))
                starColumns(scope, m_t[item.first].name(), *selectItems);  // t.*
            else if (clause == Clause::Select && selectItems)
                selectItems->push_back(SelectItem{itemName(*e, next(expressionEnd)), item.type});
            previous = expressionEnd - 1;
            i = next(expressionEnd);
            continue;
        }
        if (startsExpression && clause == Clause::Select && selectItems) {
            if (m_expandStars && t.isSymbol(QLatin1String("*")))
                starColumns(scope, QString(), *selectItems);
            else
                selectItems->push_back(SelectItem{});
        }
        if (t.isSymbol(QLatin1String("("))) {
            const int close = std::min(matchingClose(m_t, i), end);
            const int inner = next(i + 1);
            if (clause == Clause::Values) {
                const std::vector<int> bounds = topLevelCommas(m_t, i + 1, close);
                for (size_t k = 0; k + 1 < bounds.size(); ++k) {
                    int itemEnd = 0;
                    if (const auto e = expression(k == 0 ? bounds[k] : bounds[k] + 1, scope, itemEnd))
                        addEdit(assigned(*e, k < insertTypes.size() ? insertTypes[k] : ExprType{}), edits);
                }
            } else if (at(inner, "SELECT") || at(inner, "WITH")) {
                bool changed = false;
                const QString text = statement(inner, close, &scope, nullptr, changed);
                if (changed)
                    edits.push_back(Edit{inner, close, text});
            }
            previous = close;
            i = next(close + 1);
            continue;
        }
        previous = i;
        i = next(i + 1);
    }
    if (!singleValue || items.size() != 1)
        return;
    const Node& item = m_nodes[size_t(items[0].first)];
    if (hasAggregate(item.first, item.last))
        return;
    if (items[0].second >= 0) {
        Edit& edit = edits[size_t(items[0].second)];
        edit.text = QStringLiteral("sqlserver_scalar(") + edit.text + QStringLiteral(")");
    } else {
        edits.push_back(
            Edit{item.first, item.last + 1,
                 QStringLiteral("sqlserver_scalar(") + tokensText(item.first, item.last) + QStringLiteral(")")});
    }
}

QString ExpressionTyper::statement(int begin, int end, const Scope* outer, std::vector<SelectItem>* selectItems,
                                   bool& changed, bool singleValue)
{
    const int savedEnd = m_end;
    m_end = end;
    std::vector<Edit> edits;
    Scope withCommonTables;
    withCommonTables.outer = outer;
    int partBegin = begin;
    if (commonTables(begin, end, withCommonTables) != begin)
        outer = &withCommonTables;
    bool first = true;
    while (partBegin < end) {
        const int partEnd = findWordAtLevel(
            m_t, partBegin, end, {QLatin1String("UNION"), QLatin1String("EXCEPT"), QLatin1String("INTERSECT")});
        // UNION branches: each column takes the highest type of its branches, the first branch's name.
        std::vector<SelectItem> branch;
        part(partBegin, partEnd, outer, selectItems ? &branch : nullptr, edits, singleValue && first && partEnd == end);
        if (selectItems && first) {
            *selectItems = std::move(branch);
        } else if (selectItems) {
            for (size_t k = 0; k < selectItems->size(); ++k) {
                ExprType& type = (*selectItems)[k].type;
                type = k < branch.size() && type.known() && branch[k].type.known() ? higherType(type, branch[k].type)
                                                                                   : ExprType{};
            }
        }
        first = false;
        partBegin = partEnd + 1;
    }
    m_end = savedEnd;
    changed = !edits.empty();
    QString text;
    int at = begin;
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    for (const Edit& e : edits) {
        if (e.begin < at)
            continue;
        text += tokensText(at, e.begin - 1) + e.text;
        at = e.end;
    }
    return text + tokensText(at, end - 1);
}

void applyServerTypes(Tokens& tokens, SchemaInfo& schema, const QHash<QString, QString>& variableTypes,
                      std::vector<QString>& selectTypes)
{
    ExpressionTyper typer(tokens, schema, variableTypes);
    std::vector<SelectItem> items;
    bool changed = false;
    const QString text = typer.statement(0, int(tokens.size()), nullptr, &items, changed);
    for (const SelectItem& item : items)
        selectTypes.push_back(item.type.column ? QString() : declaredTypeText(item.type));
    if (changed)
        tokens = tokenize(text);
}

}  // namespace sqlserver
