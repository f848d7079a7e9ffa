#include "sqlserver/MessageFormat.h"

#include "sqlserver/ServerConversions.h"
#include "sqlserver/Session.h"

namespace sqlserver {

namespace {

long long wholeOf(const vb::Variant& v)
{
    const std::optional<double> n = numberOfValue(v);
    if (!n)
        throw ServerError(2786, QStringLiteral("The data type of substitution parameter %1 does not match the expected "
                                               "type of the format specification.").arg(v.toString()));
    return (long long)*n;
}

QString padded(QString text, int width, bool left, QChar fill)
{
    if (text.size() >= width)
        return text;
    const QString pad(width - text.size(), fill);
    if (left)
        return text + pad;
    if (fill == QLatin1Char('0') && (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))))
        return text.left(1) + pad + text.mid(1);
    return pad + text;
}

}  // namespace

QString formatMessage(const QString& format, const std::vector<vb::Variant>& arguments)
{
    QString out;
    size_t next = 0;
    const auto argument = [&]() -> const vb::Variant* { return next < arguments.size() ? &arguments[next++] : nullptr; };
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        bool left = false, plus = false, blank = false, zero = false, alternate = false;
        for (; j < format.size(); ++j) {
            const QChar f = format[j];
            if (f == QLatin1Char('-')) left = true;
            else if (f == QLatin1Char('+')) plus = true;
            else if (f == QLatin1Char(' ')) blank = true;
            else if (f == QLatin1Char('0')) zero = true;
            else if (f == QLatin1Char('#')) alternate = true;
            else break;
        }
        const auto number = [&](int& into) {
            if (j < format.size() && format[j] == QLatin1Char('*')) {
                const vb::Variant* v = argument();
                into = v && !v->isNull() ? int(wholeOf(*v)) : 0;
                ++j;
                return;
            }
            while (j < format.size() && format[j].isDigit())
                into = into * 10 + format[j++].digitValue();
        };
        int width = 0, precision = -1;
        number(width);
        if (j < format.size() && format[j] == QLatin1Char('.')) {
            ++j;
            precision = 0;
            number(precision);
        }
        if (j < format.size() && (format[j] == QLatin1Char('h') || format[j] == QLatin1Char('l')
                                  || format[j] == QLatin1Char('I')))
            ++j;
        if (j >= format.size()) {
            out += format.mid(i);
            break;
        }
        const QChar type = format[j];
        if (!QStringLiteral("sdiuoxX").contains(type)) {
            // An unknown type: SQL Server writes the placeholder as it stands.
            out += format.mid(i, j - i + 1);
            i = j;
            continue;
        }
        const vb::Variant* v = argument();
        QString text;
        if (!v || v->isNull()) {
            text = QStringLiteral("(null)");
        } else if (type == QLatin1Char('s')) {
            text = v->toString();
            if (precision >= 0)
                text = text.left(precision);
        } else if (type == QLatin1Char('d') || type == QLatin1Char('i') || type == QLatin1Char('u')) {
            long long n = wholeOf(*v);
            if (type == QLatin1Char('u') && n < 0)
                n = (long long)(unsigned int)n;
            text = QString::number(n);
            if (n >= 0 && (plus || blank))
                text.prepend(plus ? QLatin1Char('+') : QLatin1Char(' '));
        } else {
            const unsigned int n = (unsigned int)wholeOf(*v);
            text = QString::number(n, type == QLatin1Char('o') ? 8 : 16);
            if (type == QLatin1Char('X'))
                text = text.toUpper();
            if (alternate && n != 0)
                text.prepend(type == QLatin1Char('o') ? QStringLiteral("0") : type == QLatin1Char('x') ? QStringLiteral("0x") : QStringLiteral("0X"));
        }
        out += padded(text, width, left, zero && !left && type != QLatin1Char('s') ? QLatin1Char('0') : QLatin1Char(' '));
        i = j;
    }
    if (out.size() > 2047)
        out = out.left(2044) + QStringLiteral("...");
    return out;
}

}  // namespace sqlserver
