#include "sqlserver/StatementShape.h"

#include "sqlserver/InlineFunctions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/TokenTools.h"

#include <sqlite3.h>

#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

namespace sqlserver {

namespace {

constexpr int maxLiterals = 999;  // the fewest parameters a statement may have in any SQLite build

enum class Clause {
    Other,    // FROM, ORDER BY, DECLARE, IF, ...: literals stay in the text
    Select,   // a select list
    Compare,  // WHERE, ON, HAVING, SET
    Values,   // VALUES
    Schema,   // CREATE, ALTER, DROP: the batch keeps its text
};

struct ClauseWord {
    std::string_view word;
    Clause clause;
};

// The words that begin a clause or a statement, in order. Words that may stand inside a select list (TOP,
// WITH TIES, OVER) are not among them: they do not end it.
constexpr ClauseWord clauseWords[] = {
    {"ALTER", Clause::Schema},   {"BEGIN", Clause::Other},     {"COMMIT", Clause::Other},    {"CREATE", Clause::Schema},
    {"DECLARE", Clause::Other},  {"DELETE", Clause::Other},    {"DROP", Clause::Schema},     {"EXCEPT", Clause::Other},
    {"EXEC", Clause::Other},     {"EXECUTE", Clause::Other},   {"FETCH", Clause::Other},     {"FROM", Clause::Other},
    {"GO", Clause::Other},       {"GROUP", Clause::Other},     {"HAVING", Clause::Compare},  {"IF", Clause::Other},
    {"INSERT", Clause::Other},   {"INTERSECT", Clause::Other}, {"INTO", Clause::Other},      {"JOIN", Clause::Other},
    {"LIMIT", Clause::Other},    {"OFFSET", Clause::Other},    {"ON", Clause::Compare},      {"OPTION", Clause::Other},
    {"ORDER", Clause::Other},    {"OUTPUT", Clause::Other},    {"PARTITION", Clause::Other}, {"PRAGMA", Clause::Other},
    {"PRINT", Clause::Other},    {"RAISERROR", Clause::Other}, {"RETURN", Clause::Other},    {"RETURNING", Clause::Other},
    {"ROLLBACK", Clause::Other}, {"SELECT", Clause::Select},   {"SET", Clause::Compare},     {"TRUNCATE", Clause::Other},
    {"UNION", Clause::Other},    {"UPDATE", Clause::Other},    {"USE", Clause::Other},       {"USING", Clause::Other},
    {"VALUES", Clause::Values},  {"WHERE", Clause::Compare},   {"WHILE", Clause::Other},     {"WINDOW", Clause::Other},
};

// Whether `word` is `keyword` (upper case) without regard to case.
bool isKeyword(QStringView word, std::string_view keyword)
{
    if (word.size() != qsizetype(keyword.size()))
        return false;
    for (size_t k = 0; k < keyword.size(); ++k) {
        char16_t c = word[qsizetype(k)].unicode();
        if (c >= 'a' && c <= 'z')
            c -= 32;
        if (c != char16_t(keyword[k]))
            return false;
    }
    return true;
}

// Where the words of each first letter begin in clauseWords (and those of the next letter end).
constexpr auto letterStarts = [] {
    std::array<int, 27> starts{};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        int k = 0;
        while (k < int(std::size(clauseWords)) && clauseWords[k].word[0] < letter)
            ++k;
        starts[size_t(letter - 'A')] = k;
    }
    starts[26] = int(std::size(clauseWords));
    return starts;
}();

std::optional<Clause> clauseOf(QStringView word)
{
    char16_t first = word[0].unicode();
    if (first >= 'a' && first <= 'z')
        first -= 32;
    if (first < 'A' || first > 'Z')
        return std::nullopt;
    const size_t letter = size_t(first - 'A');
    for (int k = letterStarts[letter]; k < letterStarts[letter + 1]; ++k) {
        if (isKeyword(word, clauseWords[k].word))
            return clauseWords[k].clause;
    }
    return std::nullopt;
}

// The value of a string or whole-number token; nothing for an unclosed string, a decimal or a number past
// int's range (SQL Server types it decimal).
std::optional<Literal> literalOf(TokenKind kind, QStringView text)
{
    Literal literal;
    if (kind == TokenKind::Number) {
        if (text.size() > 10)
            return std::nullopt;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            literal.integer = literal.integer * 10 + (c.unicode() - '0');
        }
        if (literal.integer > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return literal;
    }
    // After the opening quote ('x' or N'x'), quotes inside come in pairs: the string is closed when the quotes
    // that end it are an odd number.
    const QStringView body = text.mid(text.startsWith(QLatin1Char('\'')) ? 1 : 2);
    qsizetype closing = 0;
    while (closing < body.size() && body[body.size() - 1 - closing] == QLatin1Char('\''))
        ++closing;
    if (closing % 2 == 0)
        return std::nullopt;  // unclosed: left for SQLite to report
    literal.isText = true;
    literal.text = body.chopped(1).toUtf8();
    if (literal.text.contains("''"))
        literal.text.replace("''", "'");
    return literal;
}

struct Level {
    Clause clause = Clause::Other;
    bool list = false;  // the parentheses of IN (...) or of a VALUES row
};

// A token of the text being read; an empty one stands for none (before the first, after the last).
struct Span {
    TokenKind kind = TokenKind::Space;
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Reads a statement's text once, token by token, picking the literals to take out. It keeps the last few
// significant tokens and looks ahead only from a literal.
class LiteralFinder {
public:
    explicit LiteralFinder(const QString& sql) : m_sql(sql), m_functions(inlineFunctions()) { m_levels.reserve(8); }

    // The literals to take out, where they are and their values; false when the text must stay whole.
    bool find(std::vector<Span>& positions, std::vector<Literal>& literals)
    {
        m_levels.assign(1, Level{});
        for (qsizetype at = 0; at < m_sql.size();) {
            const TokenEnd scanned = scanToken(m_sql, at);
            const Span t{scanned.kind, at, scanned.end};
            at = t.end;
            if (isBlank(t))
                continue;
            if (t.kind == TokenKind::Parameter)
                return false;  // the text's own parameters would mix with the literals'
            if (t.kind == TokenKind::Word) {
                if (const auto clause = clauseOf(text(t))) {
                    if (*clause == Clause::Schema)
                        return false;
                    m_levels.back().clause = *clause;
                }
            } else if (isSymbol(t, '(')) {
                const bool list = isWord(recent(0), "IN") || isWord(recent(0), "VALUES")
                                  || (isSymbol(recent(0), ',') && m_levels.back().clause == Clause::Values);
                // Inline functions use their arguments only where values stand.
                const bool inlineFunction = recent(0).kind == TokenKind::Word && isInlineFunction(*m_functions, text(recent(0)));
                m_levels.push_back(inlineFunction ? Level{Clause::Compare, true} : Level{m_levels.back().clause, list});
            } else if (isSymbol(t, ')')) {
                if (m_levels.size() > 1)
                    m_levels.pop_back();
            } else if (isSymbol(t, ';')) {
                m_levels.assign(1, Level{});
            } else if ((t.kind == TokenKind::String || t.kind == TokenKind::Number) && takesOut(t)) {
                if (auto literal = literalOf(t.kind, text(t))) {
                    if (literals.size() == maxLiterals)
                        return false;
                    positions.push_back(t);
                    literals.push_back(std::move(*literal));
                }
            }
            remember(t);
        }
        return true;
    }

private:
    // The significant token `back` places before the current one (0: the one just before); none past the start.
    // They are kept in a ring and copied field by field: copying whole tokens for every token read made the
    // processor wait on its store buffer.
    const Span& recent(int back) const
    {
        static const Span none;
        return back < m_count ? m_recent[(m_count - 1 - back) % ringSize] : none;
    }
    void remember(const Span& t)
    {
        Span& slot = m_recent[m_count % ringSize];
        slot.kind = t.kind;
        slot.begin = t.begin;
        slot.end = t.end;
        ++m_count;
    }

    Span tokenAt(qsizetype at) const
    {
        if (at >= m_sql.size())
            return Span{TokenKind::Space, at, at};
        const TokenEnd t = scanToken(m_sql, at);
        return Span{t.kind, at, t.end};
    }
    Span significantAt(qsizetype at) const
    {
        Span t = tokenAt(at);
        while (t.end > t.begin && isBlank(t))
            t = tokenAt(t.end);
        return t;
    }
    QStringView text(const Span& t) const { return QStringView(m_sql).mid(t.begin, t.end - t.begin); }
    static bool isBlank(const Span& t) { return t.kind == TokenKind::Space || t.kind == TokenKind::Comment; }
    bool isSymbol(const Span& t, char symbol) const
    {
        return t.kind == TokenKind::Symbol && t.end - t.begin == 1 && m_sql[t.begin] == QLatin1Char(symbol);
    }
    bool isWord(const Span& t, std::string_view keyword) const
    {
        return t.kind == TokenKind::Word && isKeyword(text(t), keyword);
    }
    bool isComparison(const Span& t) const { return t.kind == TokenKind::Symbol && isComparisonOperator(text(t)); }
    bool isArithmetic(const Span& t) const
    {
        if (t.kind != TokenKind::Symbol)
            return false;
        const QStringView symbol = text(t);
        if (symbol.size() == 2)
            return symbol[0] == u'|' && symbol[1] == u'|';
        if (symbol.size() != 1)
            return false;
        const char16_t c = symbol[0].unicode();
        return c == u'+' || c == u'-' || c == u'*' || c == u'/' || c == u'%';
    }
    static bool isLiteral(const Span& t) { return t.kind == TokenKind::String || t.kind == TokenKind::Number; }

    // A token that cannot run into the literal or into its parameter as SQLite reads them (":1abc" is one name,
    // x'..' a blob, ":1(" a parameter with a suffix).
    bool isSafeNeighbour(const Span& t, bool after) const
    {
        if (isBlank(t))
            return true;
        if (t.kind != TokenKind::Symbol)
            return false;
        const QStringView symbol = text(t);
        if (isComparisonOperator(symbol))
            return true;
        if (symbol.size() == 2)
            return symbol == u"||" || symbol == u"==";
        switch (symbol[0].unicode()) {
        case u'(':
            return !after;
        case u')': case u',': case u';': case u'+': case u'-': case u'*': case u'/': case u'%': case u'|': case u'&':
            return true;
        default:
            return false;
        }
    }

    // Whether an operand may begin after `t`. Only there does a literal become a parameter on the left of a
    // comparison: elsewhere SQLite's error would name the parameter instead of the literal.
    bool startsOperand(const Span& t) const
    {
        if (t.end == 0 || (t.kind == TokenKind::Symbol && !isSymbol(t, ')')))
            return true;
        for (const std::string_view word : {"WHERE", "AND", "OR", "NOT", "ON", "HAVING", "WHEN", "THEN", "ELSE"}) {
            if (isWord(t, word))
                return true;
        }
        return false;
    }

    bool takesOut(const Span& literal) const
    {
        const Level& level = m_levels.back();
        if (level.clause != Clause::Compare && level.clause != Clause::Values)
            return false;
        for (const Level& l : m_levels) {
            if (l.clause == Clause::Select)
                return false;
        }
        const Span& previous = recent(0);
        const bool blankBefore = previous.end != literal.begin;
        if ((!blankBefore && !isSafeNeighbour(previous, false)) || !isSafeNeighbour(tokenAt(literal.end), true))
            return false;
        const Span next = significantAt(literal.end);
        // An operand of an arithmetic operator stays: its type decides what the operator does ('a' + 'b'
        // concatenates, 1 + 1 adds), and a parameter has none.
        if (isArithmetic(previous) || isArithmetic(next))
            return false;
        // SET @v += literal: the same, the operator standing before the "=".
        const Span& beforeEquals = recent(1);
        if (isSymbol(previous, '=') && beforeEquals.end == previous.begin
            && (isArithmetic(beforeEquals) || isSymbol(beforeEquals, '&') || isSymbol(beforeEquals, '|')
                || isSymbol(beforeEquals, '^')))
            return false;
        if (isComparison(previous) || isWord(previous, "BETWEEN") || (isComparison(next) && startsOperand(previous)))
            return true;
        if (isWord(previous, "AND") && isLiteral(recent(1)) && isWord(recent(2), "BETWEEN"))
            return true;  // BETWEEN x AND literal
        return level.list && (isSymbol(previous, '(') || isSymbol(previous, ','))
               && (isSymbol(next, ',') || isSymbol(next, ')'));
    }

    static constexpr int ringSize = 4;
    const QString& m_sql;
    const std::shared_ptr<const std::vector<InlineFunction>> m_functions;  // taken once: the registry locks
    std::vector<Level> m_levels;
    Span m_recent[ringSize];
    int m_count = 0;
};

}  // namespace

StatementShape shapeOf(const QString& sql, Dialect dialect)
{
    StatementShape shape;
    std::vector<Span> positions;
    if (dialect == Dialect::Access || !LiteralFinder(sql).find(positions, shape.literals)) {
        shape.literals.clear();
        shape.text = sql;
        return shape;
    }
    shape.text.reserve(sql.size() + 8);
    qsizetype copied = 0;
    for (size_t n = 0; n < positions.size(); ++n) {
        shape.text.append(QStringView(sql).mid(copied, positions[n].begin - copied));
        char name[8] = {':'};
        const auto end = std::to_chars(name + 1, name + sizeof name, n + 1).ptr;
        shape.text.append(QLatin1StringView(name, end - name));
        if (shape.literals[n].isText)  // 'n' marks an N'..' text (nvarchar), 's' a varchar one
            shape.text.append(sql[positions[n].begin] == QLatin1Char('\'') ? QLatin1Char('s') : QLatin1Char('n'));
        copied = positions[n].end;
    }
    shape.text.append(QStringView(sql).mid(copied));
    return shape;
}

int literalNumber(const char* name)
{
    if (!name || name[0] != ':')
        return 0;
    int n = 0;
    const char* c = name + 1;
    for (; *c >= '0' && *c <= '9'; ++c) {
        if (n > maxLiterals)
            return 0;
        n = n * 10 + (*c - '0');
    }
    if (*c == 's' || *c == 'n')
        ++c;
    return *c ? 0 : n;
}

int literalNumber(const Token& token)
{
    if (token.kind != TokenKind::Parameter || !token.text.startsWith(QLatin1Char(':')))
        return 0;
    return literalNumber(token.text.toLatin1().constData());
}

bool isTextLiteral(const Token& token)
{
    return (token.text.endsWith(QLatin1Char('s')) || isUnicodeLiteral(token)) && literalNumber(token) > 0;
}

bool isUnicodeLiteral(const Token& token)
{
    return token.text.endsWith(QLatin1Char('n')) && literalNumber(token) > 0;
}

void bindLiteral(sqlite3_stmt* s, int index, const Literal& literal, bool asDate)
{
    if (!literal.isText) {
        sqlite3_bind_int64(s, index, literal.integer);
        return;
    }
    if (asDate) {
        if (const auto date = parseDateText(literal.text.constData(), int(literal.text.size()))) {
            char stored[canonicalDateCapacity];
            sqlite3_bind_text(s, index, stored, writeCanonicalDate(datetimeRounded(*date), stored), SQLITE_TRANSIENT);
            return;
        }
    }
    sqlite3_bind_text(s, index, literal.text.constData(), int(literal.text.size()), SQLITE_TRANSIENT);
}

}  // namespace sqlserver
