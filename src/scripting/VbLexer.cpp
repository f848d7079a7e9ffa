#include "scripting/VbLexer_p.h"

#include "runtime/Date.h"
#include "runtime/Err.h"

#include <QHash>
#include <cmath>

namespace scripting::vbs {

namespace {

QString syntaxText(long number)
{
    static const QHash<long, const char*> texts = {
        {1001, "Out of memory"},
        {1002, "Syntax error"},
        {1003, "Expected ':'"},
        {1005, "Expected '('"},
        {1006, "Expected ')'"},
        {1007, "Expected ']'"},
        {1010, "Expected identifier"},
        {1011, "Expected '='"},
        {1012, "Expected 'If'"},
        {1013, "Expected 'To'"},
        {1014, "Expected 'End'"},
        {1015, "Expected 'Function'"},
        {1016, "Expected 'Sub'"},
        {1017, "Expected 'Then'"},
        {1018, "Expected 'Wend'"},
        {1019, "Expected 'Loop'"},
        {1020, "Expected 'Next'"},
        {1021, "Expected 'Case'"},
        {1022, "Expected 'Select'"},
        {1023, "Expected expression"},
        {1024, "Expected statement"},
        {1025, "Expected end of statement"},
        {1026, "Expected integer constant"},
        {1027, "Expected 'While' or 'Until'"},
        {1028, "Expected 'While', 'Until' or end of statement"},
        {1029, "Expected 'With'"},
        {1030, "Identifier too long"},
        {1031, "Invalid number"},
        {1032, "Invalid character"},
        {1033, "Unterminated string constant"},
        {1034, "Unterminated comment"},
        {1037, "Invalid use of 'Me' keyword"},
        {1038, "'loop' without 'do'"},
        {1039, "Invalid 'exit' statement"},
        {1040, "'for' loop control variable already in use"},
        {1041, "Name redefined"},
        {1042, "Must be first statement on the line"},
        {1044, "Cannot use parentheses when calling a Sub"},
        {1045, "Expected literal constant"},
        {1046, "Expected 'In'"},
        {1047, "Expected 'Class'"},
        {1048, "Must be defined inside a Class"},
        {1049, "Expected Let or Set or Get in property declaration"},
        {1050, "Expected 'Property'"},
        {1051, "Number of arguments must be consistent across properties specification"},
        {1052, "Cannot have multiple default property/method in a Class"},
        {1053, "Class initialize or terminate do not have arguments"},
        {1054, "Property set or let must have at least one argument"},
        {1055, "Unexpected 'Next'"},
        {1056, "'Default' can be specified only on 'Property' or 'Function' or 'Sub'"},
        {1057, "'Default' specification must also specify 'Public'"},
        {1058, "'Default' specification can only be on Property Get"},
    };
    if (const char* text = texts.value(number, nullptr))
        return QString::fromLatin1(text);
    return vb::errorText(number);  // a run-time error met while reading (28 Out of stack space)
}

// A #date# is written month first, whatever the workstation: #1/31/2026#. When that names no date the day is
// taken first (#31/1/2026#), as the platform does.
bool dateLiteral(const QString& text, vb::Date& out)
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    const QString date = blank < 0 ? text : text.left(blank);
    const QString time = blank < 0 ? QString() : text.mid(blank);
    const QStringList parts = date.split(QLatin1Char('/'));
    if (parts.size() == 3 && parts[0].size() <= 2) {
        const int month = parts[0].toInt(), day = parts[1].toInt();
        if (month >= 1 && month <= 12 && vb::DateFromText(parts[1] + '/' + parts[0] + '/' + parts[2] + time, out))
            return day >= 1;
    }
    return vb::DateFromText(text, out);
}

constexpr qsizetype MaxNameLength = 255;

bool nameStart(QChar c)
{
    return c.isLetter();
}
bool namePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

class Lexer {
public:
    explicit Lexer(const QString& s) : m_s(s) {}

    std::vector<Token> run()
    {
        while (m_i < m_s.size()) {
            m_start = m_i;
            const QChar c = m_s[m_i];
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r')) {
                ++m_i;
            } else if (c == QLatin1Char('\n')) {
                push(TokenKind::LineEnd, QStringLiteral("\n"));
                ++m_i;
                ++m_line;
            } else if (c == QLatin1Char('\'')) {
                skipComment();
            } else if (c == QLatin1Char('_') && continuation()) {
                // joined to the next line
            } else if (c == QLatin1Char(':')) {
                push(TokenKind::Colon, QStringLiteral(":"));
                ++m_i;
            } else if (c == QLatin1Char('"')) {
                text();
            } else if (c == QLatin1Char('#')) {
                date();
            } else if (c.isDigit() || (c == QLatin1Char('.') && m_i + 1 < m_s.size() && m_s[m_i + 1].isDigit())) {
                number();
            } else if (c == QLatin1Char('&') && m_i + 1 < m_s.size() &&
                       (m_s[m_i + 1].toLower() == QLatin1Char('h') || m_s[m_i + 1].toLower() == QLatin1Char('o'))) {
                radixNumber();
            } else if (nameStart(c)) {
                name();
            } else if (c == QLatin1Char('[')) {
                bracketName();
            } else {
                symbol();
            }
        }
        push(TokenKind::LineEnd, QStringLiteral("\n"));
        push(TokenKind::End, {});
        return std::move(m_tokens);
    }

private:
    void push(TokenKind kind, QString text, vb::Variant value = {})
    {
        Token t;
        t.kind = kind;
        t.key = text.toLower();
        t.text = std::move(text);
        t.value = std::move(value);
        t.line = m_line;
        t.spaceBefore = m_start > 0 && m_s[m_start - 1].isSpace();
        m_tokens.push_back(std::move(t));
    }

    void skipComment()
    {
        while (m_i < m_s.size() && m_s[m_i] != QLatin1Char('\n'))
            ++m_i;
    }

    // "_" followed by blanks only up to the line's end.
    bool continuation()
    {
        qsizetype j = m_i + 1;
        while (j < m_s.size() &&
               (m_s[j] == QLatin1Char(' ') || m_s[j] == QLatin1Char('\t') || m_s[j] == QLatin1Char('\r')))
            ++j;
        if (j < m_s.size() && m_s[j] != QLatin1Char('\n'))
            return false;
        m_i = j + 1;
        ++m_line;
        return true;
    }

    void text()
    {
        QString value;
        ++m_i;
        for (;;) {
            if (m_i >= m_s.size() || m_s[m_i] == QLatin1Char('\n'))
                syntaxError(1033, m_line);
            if (m_s[m_i] == QLatin1Char('"')) {
                if (m_i + 1 < m_s.size() && m_s[m_i + 1] == QLatin1Char('"')) {
                    value += QLatin1Char('"');
                    m_i += 2;
                    continue;
                }
                ++m_i;
                break;
            }
            value += m_s[m_i++];
        }
        push(TokenKind::Literal, QStringLiteral("\"\""), value);
    }

    void date()
    {
        const qsizetype close = m_s.indexOf(QLatin1Char('#'), m_i + 1);
        const qsizetype lineEnd = m_s.indexOf(QLatin1Char('\n'), m_i + 1);
        if (close < 0 || (lineEnd >= 0 && close > lineEnd))
            syntaxError(1032, m_line);
        vb::Date d;
        if (!dateLiteral(m_s.mid(m_i + 1, close - m_i - 1).trimmed(), d))
            syntaxError(1032, m_line);
        m_i = close + 1;
        push(TokenKind::Literal, QStringLiteral("##"), d);
    }

    void number()
    {
        const qsizetype start = m_i;
        bool real = false;
        while (m_i < m_s.size() && m_s[m_i].isDigit())
            ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == QLatin1Char('.')) {
            real = true;
            ++m_i;
            while (m_i < m_s.size() && m_s[m_i].isDigit())
                ++m_i;
        }
        if (m_i < m_s.size() && m_s[m_i].toLower() == QLatin1Char('e')) {
            qsizetype j = m_i + 1;
            if (j < m_s.size() && (m_s[j] == QLatin1Char('+') || m_s[j] == QLatin1Char('-')))
                ++j;
            if (j < m_s.size() && m_s[j].isDigit()) {
                real = true;
                m_i = j;
                while (m_i < m_s.size() && m_s[m_i].isDigit())
                    ++m_i;
            }
        }
        const QString digits = m_s.mid(start, m_i - start);
        const double v = digits.toDouble();
        if (!std::isfinite(v))
            syntaxError(1031, m_line);
        pushNumber(v, real);
    }

    void radixNumber()
    {
        const int radix = m_s[m_i + 1].toLower() == QLatin1Char('h') ? 16 : 8;
        m_i += 2;
        const qsizetype start = m_i;
        while (m_i < m_s.size() && m_s[m_i].isLetterOrNumber())
            ++m_i;
        bool ok = false;
        const qlonglong v = m_s.mid(start, m_i - start).toLongLong(&ok, radix);
        if (!ok || v > 0xFFFFFFFFLL)
            syntaxError(m_i == start ? 1002 : 1031, m_line);
        if (m_i < m_s.size() && m_s[m_i] == QLatin1Char('&'))
            ++m_i;
        // As the platform reads them: &HFFFF is the Integer -1.
        if (v <= 0xFFFF)
            push(TokenKind::Literal, QStringLiteral("0"), std::int16_t(std::uint16_t(v)));
        else
            push(TokenKind::Literal, QStringLiteral("0"), std::int32_t(std::uint32_t(v)));
    }

    void pushNumber(double v, bool real)
    {
        vb::Variant value;
        if (!real && v <= 32767)
            value = std::int16_t(v);
        else if (!real && v <= 2147483647.0)
            value = std::int32_t(v);
        else
            value = v;
        push(TokenKind::Literal, QStringLiteral("0"), value);
    }

    void name()
    {
        const qsizetype start = m_i;
        while (m_i < m_s.size() && namePart(m_s[m_i]))
            ++m_i;
        const QString word = m_s.mid(start, m_i - start);
        if (word.size() > MaxNameLength)
            syntaxError(1030, m_line);
        if (word.compare(QLatin1String("rem"), Qt::CaseInsensitive) == 0) {
            skipComment();
            return;
        }
        push(TokenKind::Name, word);
    }

    void bracketName()
    {
        const qsizetype close = m_s.indexOf(QLatin1Char(']'), m_i);
        if (close < 0)
            syntaxError(1032, m_line);
        push(TokenKind::Name, m_s.mid(m_i + 1, close - m_i - 1));
        m_i = close + 1;
    }

    void symbol()
    {
        static const QString pairs[] = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
        for (const QString& p : pairs)
            if (QStringView(m_s).mid(m_i, 2) == p) {
                push(TokenKind::Symbol, p);
                m_i += 2;
                return;
            }
        static const QString singles = QStringLiteral("+-*/\\^&=<>(),.");
        if (!singles.contains(m_s[m_i]))
            syntaxError(1032, m_line);
        push(TokenKind::Symbol, QString(m_s[m_i]));
        ++m_i;
    }

    const QString& m_s;
    qsizetype m_i = 0;
    qsizetype m_start = 0;  // where the token being read starts
    int m_line = 1;
    std::vector<Token> m_tokens;
};

}  // namespace

void syntaxError(long number, int line)
{
    throw ScriptFailure{number, syntaxText(number), line};
}

std::vector<Token> tokenize(const QString& source)
{
    return Lexer(source).run();
}

}  // namespace scripting::vbs
