#include "reportengine/Formula_p.h"

#include "runtime/CivilDays.h"
#include "runtime/Format.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace reportengine {

namespace {

constexpr long long MillisecondsPerDay = 86400000;
// 01/01/100 and the last millisecond of 31/12/9999.
constexpr long long FirstMoment = -657434 * MillisecondsPerDay;
constexpr long long LastMoment = 2958466 * MillisecondsPerDay - 1;

bool isNumber(const vb::Variant& v)
{
    return v.isNumberKind() && v.type() != vb::VarType::Boolean;
}

[[noreturn]] void mismatch(const QString& op, int position)
{
    throw EvaluationFailure{position, QStringLiteral("tipos incompatíveis para \"%1\"").arg(op)};
}

// A date moved by a number of days.
vb::Variant shifted(vb::Date date, double days, int position)
{
    const double milliseconds = std::round(days * MillisecondsPerDay);
    if (!(std::fabs(milliseconds) <= double(LastMoment - FirstMoment)))
        throw EvaluationFailure{position, QStringLiteral("data fora do intervalo de 01/01/100 a 31/12/9999")};
    return dateAtMilliseconds(millisecondsOf(date) + (long long)milliseconds, position);
}

vb::Variant arithmetic(const QString& op, const vb::Variant& a, const vb::Variant& b, int position)
{
    if (op == QLatin1String("+")) {
        if (isNumber(a) && isNumber(b))
            return a.toDouble() + b.toDouble();
        if (a.isDate() && isNumber(b))
            return shifted(a.toDate(), b.toDouble(), position);
        if (isNumber(a) && b.isDate())
            return shifted(b.toDate(), a.toDouble(), position);
        if (a.isString() && b.isString())
            return a.toString() + b.toString();
        mismatch(op, position);
    }
    if (op == QLatin1String("-")) {
        if (isNumber(a) && isNumber(b))
            return a.toDouble() - b.toDouble();
        if (a.isDate() && isNumber(b))
            return shifted(a.toDate(), -b.toDouble(), position);
        if (a.isDate() && b.isDate())
            return double(millisecondsOf(a.toDate()) - millisecondsOf(b.toDate())) / MillisecondsPerDay;
        mismatch(op, position);
    }
    if (!isNumber(a) || !isNumber(b))
        mismatch(op, position);
    const double x = a.toDouble();
    const double y = b.toDouble();
    if (op == QLatin1String("*"))
        return x * y;
    if (y == 0)
        throw EvaluationFailure{position, QStringLiteral("divisão por zero")};
    if (op == QLatin1String("/"))
        return x / y;
    return std::fmod(x, y);
}

bool likePattern(const QString& text, const QString& pattern)
{
    QString expression;
    for (const QChar c : pattern)
        expression += c == QLatin1Char('*')   ? QStringLiteral(".*")
                      : c == QLatin1Char('?') ? QStringLiteral(".")
                                              : QRegularExpression::escape(QString(c));
    const QRegularExpression re(QRegularExpression::anchoredPattern(expression),
                                QRegularExpression::CaseInsensitiveOption |
                                    QRegularExpression::DotMatchesEverythingOption);
    return re.match(text).hasMatch();
}

}  // namespace

long long millisecondsOf(vb::Date date)
{
    // No date of the runtime lies outside; a serial made up far beyond is taken at the bound.
    return vb::toLinearMs(vb::Date(std::clamp(date.serial, -657435.0, 2958467.0)));
}

vb::Date dateAtMilliseconds(long long milliseconds, int position)
{
    if (milliseconds < FirstMoment || milliseconds > LastMoment)
        throw EvaluationFailure{position, QStringLiteral("data fora do intervalo de 01/01/100 a 31/12/9999")};
    return vb::fromLinearMs(milliseconds);
}

int compareValues(const vb::Variant& a, const vb::Variant& b, int position)
{
    auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (isNumber(a) && isNumber(b))
        return order(a.toDouble(), b.toDouble());
    if (a.isString() && b.isString())
        return order(a.toString().compare(b.toString()), 0);
    if (a.isDate() && b.isDate())
        return order(millisecondsOf(a.toDate()), millisecondsOf(b.toDate()));
    if (a.type() == vb::VarType::Boolean && b.type() == vb::VarType::Boolean)
        return order(a.toBool(), b.toBool());
    throw EvaluationFailure{position, QStringLiteral("valores de tipos diferentes não se comparam")};
}

vb::Variant applyOperator(const QString& op, const vb::Variant& a, const vb::Variant& b, int position)
{
    if (a.isNull() || b.isNull())
        return vb::Variant::Null();
    if (op == QLatin1String("&"))
        return defaultText(a) + defaultText(b);
    if (op == QLatin1String("like") || op == QLatin1String("startswith")) {
        if (!a.isString() || !b.isString())
            mismatch(op, position);
        return op == QLatin1String("like") ? likePattern(a.toString(), b.toString())
                                           : a.toString().startsWith(b.toString());
    }
    if (op == QLatin1String("="))
        return compareValues(a, b, position) == 0;
    if (op == QLatin1String("<>"))
        return compareValues(a, b, position) != 0;
    if (op == QLatin1String("<"))
        return compareValues(a, b, position) < 0;
    if (op == QLatin1String(">"))
        return compareValues(a, b, position) > 0;
    if (op == QLatin1String("<="))
        return compareValues(a, b, position) <= 0;
    if (op == QLatin1String(">="))
        return compareValues(a, b, position) >= 0;
    return arithmetic(op, a, b, position);
}

QString defaultText(const vb::Variant& value)
{
    if (value.isNull() || value.isEmpty())
        return {};
    if (value.type() == vb::VarType::Boolean)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (value.isDate())
        return vb::DefaultDateText(value.toDate());
    if (isNumber(value)) {
        const double x = value.toDouble();
        return vb::Format(x, x == std::floor(x) ? QStringLiteral("#,##0") : QStringLiteral("#,##0.00"));
    }
    return value.toString();
}

QString formattedText(const vb::Variant& value, const QString& pattern)
{
    if (pattern.isEmpty() || value.isNull() || value.isEmpty())
        return defaultText(value);
    return vb::Format(value, pattern);
}

}  // namespace reportengine
