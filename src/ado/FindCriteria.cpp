#include "ado/FindCriteria.h"

#include "ado/AdoErrors.h"
#include "ado/IgnoringCase_p.h"
#include "runtime/Date.h"

#include <QDateTime>
#include <QRegularExpression>

namespace ADODB {

namespace {

[[noreturn]] void badCriteria()
{
    raiseAdo(adErrInvalidArgument, source::Recordset);
}

void skipBlanks(const QString& text, qsizetype& i)
{
    while (i < text.size() && text[i].isSpace())
        ++i;
}

QString readColumn(const QString& text, qsizetype& i)
{
    if (i < text.size() && text[i] == u'[') {
        const qsizetype close = text.indexOf(u']', i);
        if (close < 0)
            badCriteria();
        const QString name = text.mid(i + 1, close - i - 1);
        i = close + 1;
        return name;
    }
    const qsizetype start = i;
    while (i < text.size() && !text[i].isSpace() && !QStringLiteral("<>=").contains(text[i]))
        ++i;
    return text.mid(start, i - start);
}

// A #date# in the forms ADO takes: ISO, or month/day/year; anything else in # is a text.
std::optional<vb::Date> readDate(const QString& text)
{
    static const char* const formats[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd",
                                          "M/d/yyyy H:mm:ss",    "M/d/yyyy H:mm",    "M/d/yyyy"};
    for (const char* format : formats) {
        const QDateTime moment = QDateTime::fromString(text.trimmed(), QString::fromLatin1(format));
        if (moment.isValid())
            return vb::fromQDateTime(moment);
    }
    return std::nullopt;
}

// Quoted text with the quote doubled inside; i starts on the opening quote and ends after the closing one.
QString readQuoted(const QString& text, qsizetype& i, QChar quote)
{
    QString value;
    for (++i; i < text.size(); ++i) {
        if (text[i] != quote) {
            value += text[i];
        } else if (quote == u'\'' && i + 1 < text.size() && text[i + 1] == quote) {
            value += quote;
            ++i;
        } else {
            ++i;
            return value;
        }
    }
    badCriteria();
}

QRegularExpression likePattern(const QString& pattern)
{
    QString expression;
    for (const QChar c : pattern)
        expression += c == u'*' || c == u'%' ? QStringLiteral(".*") : QRegularExpression::escape(QString(c));
    return QRegularExpression(
        QRegularExpression::anchoredPattern(expression),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

int sign(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The criterion's value brought to the kind of the field's value, as ADO compares them; nullopt when it
// cannot be brought there (such rows do not match).
std::optional<int> compareTo(const vb::Variant& field, const vb::Variant& criterion)
{
    try {
        switch (field.type()) {
        case vb::VarType::String:
            if (criterion.isDate())
                return vb::IsDate(field) ? std::optional(sign(field.toDate().serial, criterion.toDate().serial))
                                         : std::nullopt;
            if (criterion.isNumberKind())
                return vb::IsNumeric(field) ? std::optional(sign(field.toDouble(), criterion.toDouble()))
                                            : std::nullopt;
            return QString::compare(field.toString(), criterion.toString(), Qt::CaseInsensitive);
        case vb::VarType::Date:
            return sign(field.toDate().serial, criterion.toDate().serial);
        case vb::VarType::Boolean:
            return sign(field.toBool(), criterion.toBool());
        default:
            return sign(field.toDouble(), criterion.toDouble());
        }
    } catch (const vb::VbError&) {
        return std::nullopt;
    }
}

}  // namespace

FindCriteria::FindCriteria(const QString& text)
{
    qsizetype i = 0;
    skipBlanks(text, i);
    m_column = readColumn(text, i).trimmed();
    if (m_column.isEmpty())
        badCriteria();
    skipBlanks(text, i);

    static const std::pair<const char*, Operator> operators[] = {
        {"<=", Operator::LessOrEqual}, {">=", Operator::GreaterOrEqual},
        {"<>", Operator::NotEqual},    {"=", Operator::Equal},
        {"<", Operator::Less},         {">", Operator::Greater},
        {"LIKE", Operator::Like}};
    bool found = false;
    for (const auto& [symbol, op] : operators) {
        const QString s = QString::fromLatin1(symbol);
        if (text.mid(i, s.size()).compare(s, Qt::CaseInsensitive) == 0) {
            m_operator = op;
            i += s.size();
            found = true;
            break;
        }
    }
    if (!found)
        badCriteria();
    skipBlanks(text, i);

    if (i >= text.size())
        badCriteria();
    QString valueText;
    if (text[i] == u'\'') {
        valueText = readQuoted(text, i, u'\'');
        m_value = valueText;
    } else if (text[i] == u'#') {
        valueText = readQuoted(text, i, u'#');
        const std::optional<vb::Date> date = readDate(valueText);
        m_value = date ? vb::Variant(*date) : vb::Variant(valueText);
    } else {
        const qsizetype start = i;
        while (i < text.size() && !text[i].isSpace())
            ++i;
        valueText = text.mid(start, i - start);
        bool ok = false;
        const double number = valueText.toDouble(&ok);
        if (!ok)
            badCriteria();
        m_value = number;
    }
    skipBlanks(text, i);
    if (i != text.size())
        badCriteria();
    if (m_operator == Operator::Like)
        m_pattern = likePattern(valueText);
}

bool FindCriteria::holds(int comparison) const
{
    switch (m_operator) {
    case Operator::Equal:
        return comparison == 0;
    case Operator::NotEqual:
        return comparison != 0;
    case Operator::Less:
        return comparison < 0;
    case Operator::Greater:
        return comparison > 0;
    case Operator::LessOrEqual:
        return comparison <= 0;
    case Operator::GreaterOrEqual:
        return comparison >= 0;
    case Operator::Like:
        break;
    }
    return false;
}

bool FindCriteria::matches(const vb::Variant& value) const
{
    if (value.isNull() || value.isEmpty())
        return false;
    if (m_operator == Operator::Like)
        return m_pattern.match(value.toString()).hasMatch();
    const QString* text = value.textIf();
    const QString* wanted = m_value.textIf();
    if ((m_operator == Operator::Equal || m_operator == Operator::NotEqual) && text && wanted) {
        // A search compares one text with every row's: without copies, nor the general comparison's ordering.
        return equalIgnoringCase(*text, *wanted) == (m_operator == Operator::Equal);
    }
    const std::optional<int> comparison = compareTo(value, m_value);
    return comparison && holds(*comparison);
}

}  // namespace ADODB
