#include "sqlserver/DateLiterals.h"

#include "sqlserver/ServerDates.h"
#include "sqlserver/StatementShape.h"
#include "sqlserver/TokenTools.h"

#include <QSet>

namespace sqlserver {

namespace {

bool isComparison(const Token& t)
{
    return t.kind == TokenKind::Symbol && isComparisonOperator(t.text);
}

// Words that end an operand: the expression around a comparison stops at them.
bool endsOperand(const Token& t)
{
    static const QSet<QString> words = {
        QStringLiteral("AND"),   QStringLiteral("OR"),     QStringLiteral("NOT"),    QStringLiteral("WHERE"),
        QStringLiteral("ON"),    QStringLiteral("WHEN"),   QStringLiteral("THEN"),   QStringLiteral("ELSE"),
        QStringLiteral("END"),   QStringLiteral("SET"),    QStringLiteral("SELECT"), QStringLiteral("HAVING"),
        QStringLiteral("CASE"),  QStringLiteral("BETWEEN"), QStringLiteral("IN"),    QStringLiteral("LIKE"),
        QStringLiteral("IS"),    QStringLiteral("FROM"),   QStringLiteral("VALUES"), QStringLiteral("ORDER"),
        QStringLiteral("GROUP"), QStringLiteral("IF"),     QStringLiteral("EXISTS")};
    return (t.kind == TokenKind::Word && words.contains(t.text.toUpper())) || t.isSymbol(QLatin1String(","))
           || t.isSymbol(QLatin1String(";")) || isComparison(t);
}

class DateContext {
public:
    DateContext(const Tokens& tokens, SchemaInfo& schema) : m_tokens(tokens), m_schema(schema)
    {
        for (const Token& t : tokens) {
            if (!t.isName())
                continue;
            const QString table = t.name();
            const QString key = table.toUpper();
            if (m_tables.contains(key))
                continue;
            const QStringList columns = schema.columnNames(table);
            if (columns.isEmpty())
                continue;
            m_tables.insert(key);
            for (const QString& column : columns) {
                if (isDateType(schema.declaredType(table, column)))
                    m_dateColumns.insert(column.toUpper());
            }
        }
    }

    bool isDateType(const QString& declared) const
    {
        // Asked for every column of every table a statement names: read in place, without copies.
        const qsizetype paren = declared.indexOf(QLatin1Char('('));
        const QStringView base = QStringView(declared).left(paren < 0 ? declared.size() : paren).trimmed();
        for (const char* name : {"DATETIME", "SMALLDATETIME", "DATE", "DATETIME2"}) {
            if (base.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    bool isDateColumn(const QString& column) const { return m_dateColumns.contains(column.toUpper()); }
    bool isDateColumnOf(const QString& table, const QString& column) const
    {
        return isDateType(m_schema.declaredType(table, column));
    }
    QStringList columnsOf(const QString& table) const { return m_schema.columnNames(table); }
    bool any() const { return !m_dateColumns.isEmpty(); }

    // Whether tokens [begin, end) name a DATETIME column or call a function that gives a date.
    bool holdsDate(int begin, int end) const
    {
        for (int i = begin; i < end; ++i) {
            const Token& t = m_tokens[i];
            if (!t.isName())
                continue;
            const int next = nextSignificant(m_tokens, i + 1);
            const bool call = next < int(m_tokens.size()) && m_tokens[next].isSymbol(QLatin1String("("));
            const bool qualifier = next < int(m_tokens.size()) && m_tokens[next].isSymbol(QLatin1String("."));
            if (call) {
                const QString name = t.text.toLower();
                if (name == QLatin1String("getdate") || name == QLatin1String("dateadd"))
                    return true;
                if (name == QLatin1String("sqlserver_convert")) {
                    const int type = nextSignificant(m_tokens, next + 1);
                    if (type < int(m_tokens.size()) && m_tokens[type].kind == TokenKind::String
                        && isDateType(m_tokens[type].stringValue()))
                        return true;
                }
            } else if (!qualifier && isDateColumn(t.name())) {
                return true;
            }
        }
        return false;
    }

private:
    const Tokens& m_tokens;
    SchemaInfo& m_schema;
    QSet<QString> m_tables;
    QSet<QString> m_dateColumns;
};

// The operand next to the operator at `at`: the tokens before it (step -1) or after it (step +1), up to the
// end of the enclosing parentheses or a word or symbol that ends an operand.
std::pair<int, int> operandBeside(const Tokens& tokens, int at, int step)
{
    if (step > 0)
        return {at + 1, findAtLevel(tokens, at + 1, levelEnd(tokens, at + 1), endsOperand)};
    const int before = findBackAtLevel(tokens, at - 1, endsOperand);
    return {std::max(before, levelStart(tokens, at - 1)) + 1, at};
}

bool isDateLiteral(const Token& t)
{
    return t.kind == TokenKind::String && parseDateText(t.stringValue()).has_value();
}

// A date literal, or a literal taken out of the text that may hold one.
bool mayHoldDate(const Token& t)
{
    return literalNumber(t) > 0 || isDateLiteral(t);
}

// Brings a date literal to the stored form, or notes the parameter whose value is to be.
void normalize(Token& literal, std::vector<int>& dateParameters)
{
    if (const int parameter = literalNumber(literal))
        dateParameters.push_back(parameter);
    else if (const auto text = normalizeDateText(literal.stringValue()))
        literal.text = quoteString(*text);
}

// The literal at `at` is compared: with an operator next to it, by BETWEEN, or in an IN list.
bool comparedWithDate(const Tokens& tokens, int at, const DateContext& context)
{
    const int before = previousSignificant(tokens, at - 1);
    const int after = nextSignificant(tokens, at + 1);
    if (before >= 0 && isComparison(tokens[before])) {
        const auto [b, e] = operandBeside(tokens, before, -1);
        if (context.holdsDate(b, e))
            return true;
    }
    if (after < int(tokens.size()) && isComparison(tokens[after])) {
        const auto [b, e] = operandBeside(tokens, after, +1);
        if (context.holdsDate(b, e))
            return true;
    }
    // x BETWEEN lit AND lit: the operand before BETWEEN.
    int between = before;
    if (before >= 0 && tokens[before].is(QLatin1String("AND"))) {
        const int previousLiteral = previousSignificant(tokens, before - 1);
        between = previousLiteral >= 0 ? previousSignificant(tokens, previousLiteral - 1) : -1;
    }
    if (between >= 0 && tokens[between].is(QLatin1String("BETWEEN"))) {
        const auto [b, e] = operandBeside(tokens, between, -1);
        return context.holdsDate(b, e);
    }
    // x IN (lit, lit)
    const int open = levelStart(tokens, at - 1);
    if (open > 0) {
        const int in = previousSignificant(tokens, open - 1);
        if (in >= 0 && tokens[in].is(QLatin1String("IN"))) {
            const auto [b, e] = operandBeside(tokens, in, -1);
            return context.holdsDate(b, e);
        }
    }
    return false;
}

// INSERT INTO t (c1, c2) VALUES (v1, v2), ... / INSERT INTO t (c1, c2) SELECT v1, v2 ...
void normalizeInsertValues(Tokens& tokens, const DateContext& context, std::vector<int>& dateParameters)
{
    const int insert = nextSignificant(tokens, 0);
    if (insert >= int(tokens.size()) || !tokens[insert].is(QLatin1String("INSERT")))
        return;
    int i = nextSignificant(tokens, insert + 1);
    if (i < int(tokens.size()) && tokens[i].is(QLatin1String("INTO")))
        i = nextSignificant(tokens, i + 1);
    if (i >= int(tokens.size()) || !tokens[i].isName())
        return;
    const QString table = tokens[i].name();
    QStringList columns;
    i = nextSignificant(tokens, i + 1);
    if (i < int(tokens.size()) && tokens[i].isSymbol(QLatin1String("("))) {
        const int close = matchingClose(tokens, i);
        const std::vector<int> bounds = topLevelCommas(tokens, i + 1, close);
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            const int c = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
            columns << (c < close ? tokens[c].name() : QString());
        }
        i = nextSignificant(tokens, close + 1);
    }
    if (columns.isEmpty())
        columns = context.columnsOf(table);  // no column list: every column, in order
    const auto normalizeRow = [&](int begin, int end) {
        const std::vector<int> bounds = topLevelCommas(tokens, begin, end);
        for (size_t k = 0; k + 1 < bounds.size() && int(k) < columns.size(); ++k) {
            const int first = nextSignificant(tokens, k == 0 ? bounds[k] : bounds[k] + 1);
            const int last = previousSignificant(tokens, bounds[k + 1] - 1);
            if (first == last && mayHoldDate(tokens[first]) && context.isDateColumnOf(table, columns[int(k)]))
                normalize(tokens[first], dateParameters);
        }
    };
    if (i < int(tokens.size()) && tokens[i].is(QLatin1String("VALUES"))) {
        int open = nextSignificant(tokens, i + 1);
        while (open < int(tokens.size()) && tokens[open].isSymbol(QLatin1String("("))) {
            const int close = matchingClose(tokens, open);
            normalizeRow(open + 1, close);
            const int comma = nextSignificant(tokens, close + 1);
            if (comma >= int(tokens.size()) || !tokens[comma].isSymbol(QLatin1String(",")))
                break;
            open = nextSignificant(tokens, comma + 1);
        }
    } else if (i < int(tokens.size()) && tokens[i].is(QLatin1String("SELECT"))) {
        int begin = nextSignificant(tokens, i + 1);
        if (begin < int(tokens.size()) && (tokens[begin].is(QLatin1String("DISTINCT")) || tokens[begin].is(QLatin1String("ALL"))))
            ++begin;
        normalizeRow(begin, findWordAtLevel(tokens, begin, int(tokens.size()), {QLatin1String("FROM")}));
    }
}

}  // namespace

std::vector<int> normalizeDateLiterals(Tokens& tokens, SchemaInfo& schema)
{
    std::vector<int> dateParameters;
    const DateContext context(tokens, schema);
    if (!context.any())
        return dateParameters;
    normalizeInsertValues(tokens, context, dateParameters);
    for (int i = 0; i < int(tokens.size()); ++i) {
        if (mayHoldDate(tokens[i]) && comparedWithDate(tokens, i, context))
            normalize(tokens[i], dateParameters);
    }
    return dateParameters;
}

}  // namespace sqlserver
