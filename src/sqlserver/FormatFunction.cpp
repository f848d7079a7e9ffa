#include "sqlserver/FormatFunction.h"

#include "sqlserver/FunctionArguments.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/Session.h"
#include "sqlserver/UserFunctions.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <optional>

namespace sqlserver {

namespace {

// What a culture writes: .NET's own data for en-US and pt-BR (SQL Server's FORMAT runs on .NET), Qt's for others.
struct Culture {
    QChar decimal = QLatin1Char('.'), group = QLatin1Char(',');
    QString currency = QStringLiteral("$");
    bool currencyAfter = false, currencySpace = false, negativeCurrencyInParentheses = true;
    bool percentSpace = true;
    QString shortDate = QStringLiteral("M/d/yyyy"), longDate = QStringLiteral("dddd, MMMM d, yyyy");
    QString shortTime = QStringLiteral("h:mm tt"), longTime = QStringLiteral("h:mm:ss tt");
    QString monthDay = QStringLiteral("MMMM d"), yearMonth = QStringLiteral("MMMM yyyy");
    QString am = QStringLiteral("AM"), pm = QStringLiteral("PM");
    QChar dateSeparator = QLatin1Char('/');
    QStringList months, shortMonths, days, shortDays;
};

QStringList words(const char* list)
{
    return QString::fromUtf8(list).split(QLatin1Char(' '));
}

std::optional<Culture> cultureOf(const QString& name)
{
    const QString key = name.toLower();
    Culture c;
    if (key.isEmpty() || key == QLatin1String("en-us") || key == QLatin1String("en")) {
        c.months = words("January February March April May June July August September October November December");
        c.days = words("Sunday Monday Tuesday Wednesday Thursday Friday Saturday");
    } else if (key == QLatin1String("pt-br") || key == QLatin1String("pt")) {
        c.decimal = QLatin1Char(',');
        c.group = QLatin1Char('.');
        c.currency = QStringLiteral("R$");
        c.currencySpace = true;
        c.negativeCurrencyInParentheses = false;
        c.percentSpace = false;
        c.shortDate = QStringLiteral("dd/MM/yyyy");
        c.longDate = QStringLiteral("dddd, d' de 'MMMM' de 'yyyy");
        c.shortTime = QStringLiteral("HH:mm");
        c.longTime = QStringLiteral("HH:mm:ss");
        c.monthDay = QStringLiteral("d' de 'MMMM");
        c.yearMonth = QStringLiteral("MMMM' de 'yyyy");
        c.am = c.pm = QString();
        c.months = words("janeiro fevereiro março abril maio junho julho agosto setembro outubro novembro dezembro");
        c.days = words("domingo segunda-feira terça-feira quarta-feira quinta-feira sexta-feira sábado");
        c.shortDays = words("dom seg ter qua qui sex sáb");
    } else {
        const QLocale locale(QString(name).replace(QLatin1Char('-'), QLatin1Char('_')));
        if (locale.language() == QLocale::C || name.size() < 2)
            return std::nullopt;
        c.decimal = locale.decimalPoint().at(0);
        c.group = locale.groupSeparator().at(0);
        c.currency = locale.currencySymbol();
        c.currencyAfter = locale.toCurrencyString(1.0).startsWith(QLatin1Char('1'));
        c.currencySpace = locale.toCurrencyString(1.0).contains(QChar(0xA0)) ||
                          locale.toCurrencyString(1.0).contains(QLatin1Char(' '));
        c.negativeCurrencyInParentheses = false;
        c.shortDate = locale.dateFormat(QLocale::ShortFormat)
                          .replace(QLatin1String("yy"), QLatin1String("yyyy"))
                          .replace(QLatin1String("yyyyyyyy"), QLatin1String("yyyy"));
        c.longDate = locale.dateFormat(QLocale::LongFormat);
        c.shortTime = locale.timeFormat(QLocale::ShortFormat).replace(QLatin1String("AP"), QLatin1String("tt"));
        c.longTime = locale.timeFormat(QLocale::LongFormat)
                         .replace(QLatin1String("AP"), QLatin1String("tt"))
                         .remove(QLatin1String(" t"));
        c.am = locale.amText();
        c.pm = locale.pmText();
        for (int m = 1; m <= 12; ++m)
            c.months << locale.standaloneMonthName(m, QLocale::LongFormat);
        for (int d : {7, 1, 2, 3, 4, 5, 6})
            c.days << locale.dayName(d, QLocale::LongFormat);
    }
    for (const QString& m : c.months)
        c.shortMonths << m.left(3);
    if (c.shortDays.isEmpty()) {
        for (const QString& d : c.days)
            c.shortDays << d.left(3);
    }
    return c;
}

// The digits of |v| rounded half away from zero to `decimals` places: whole part and fraction.
std::pair<QString, QString> roundedDigits(double v, int decimals)
{
    // Fifteen significant digits first, as .NET Framework formats a double: 2.345 is "2.345", not 2.34499...
    QString digits = QString::number(std::fabs(v), 'e', 14);
    const double exact = digits.toDouble();
    digits = QString::number(exact, 'f', std::min(decimals + 3, 40));
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    fraction = fraction.leftJustified(decimals + 1, QLatin1Char('0'));
    const bool up = fraction[decimals] >= QLatin1Char('5');
    fraction.truncate(decimals);
    if (up) {
        QString all = whole + fraction;
        int i = int(all.size()) - 1;
        for (; i >= 0 && all[i] == QLatin1Char('9'); --i)
            all[i] = QLatin1Char('0');
        if (i < 0)
            all.prepend(QLatin1Char('1'));
        else
            all[i] = QChar(all[i].unicode() + 1);
        whole = all.left(all.size() - decimals);
        fraction = all.right(decimals);
    }
    return {whole, fraction};
}

QString grouped(const QString& whole, QChar separator)
{
    QString out;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += separator;
        out += whole[i];
    }
    return out;
}

bool isZero(const QString& whole, const QString& fraction)
{
    for (QChar c : whole + fraction) {
        if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

std::optional<QString> standardNumber(double v, QChar kind, int precision, const Culture& c)
{
    const bool negative = v < 0;
    const auto fixed = [&](double x, int decimals, bool withGroups) {
        const auto [whole, fraction] = roundedDigits(x, decimals);
        QString s = withGroups ? grouped(whole, c.group) : whole;
        if (decimals > 0)
            s += c.decimal + fraction;
        return std::make_pair(s, isZero(whole, fraction));
    };
    switch (kind.toUpper().unicode()) {
    case 'N':
    case 'F': {
        const auto [s, zero] = fixed(v, precision < 0 ? 2 : precision, kind.toUpper() == QLatin1Char('N'));
        return (negative && !zero ? QStringLiteral("-") : QString()) + s;
    }
    case 'C': {
        const auto [s, zero] = fixed(v, precision < 0 ? 2 : precision, true);
        const QString space = c.currencySpace ? QStringLiteral(" ") : QString();
        const QString amount = c.currencyAfter ? s + space + c.currency : c.currency + space + s;
        if (!negative || zero)
            return amount;
        return c.negativeCurrencyInParentheses ? QLatin1Char('(') + amount + QLatin1Char(')')
                                               : QLatin1Char('-') + amount;
    }
    case 'P': {
        const auto [s, zero] = fixed(v * 100.0, precision < 0 ? 2 : precision, true);
        return (negative && !zero ? QStringLiteral("-") : QString()) + s +
               (c.percentSpace ? QStringLiteral(" %") : QStringLiteral("%"));
    }
    case 'D': {
        if (v != std::trunc(v))
            return std::nullopt;
        const QString whole = roundedDigits(v, 0).first.rightJustified(std::max(precision, 0), QLatin1Char('0'));
        return (negative ? QStringLiteral("-") : QString()) + whole;
    }
    case 'X': {
        if (v != std::trunc(v))
            return std::nullopt;
        QString hex = QString::number(qint64(v) & (std::fabs(v) < 2147483648.0 ? 0xFFFFFFFFLL : -1LL), 16);
        if (kind == QLatin1Char('X'))
            hex = hex.toUpper();
        return hex.rightJustified(std::max(precision, 0), QLatin1Char('0'));
    }
    case 'E': {
        QString s = QString::number(v, 'e', precision < 0 ? 6 : precision);
        const qsizetype e = s.indexOf(QLatin1Char('e'));
        const QString exponent = s.mid(e + 2).rightJustified(3, QLatin1Char('0'));
        s = s.left(e).replace(QLatin1Char('.'), c.decimal) +
            (kind == QLatin1Char('E') ? QStringLiteral("E") : QStringLiteral("e")) + s[e + 1] + exponent;
        return s;
    }
    case 'G':
        return QString::number(v, 'g', precision <= 0 ? 15 : precision).replace(QLatin1Char('.'), c.decimal);
    default:
        return std::nullopt;
    }
}

// .NET's custom number formats: 0 # . , % and literals ('text', "text", \c), sections for negative and zero.
QString customNumber(double v, const QString& format, const Culture& c)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar ch = format[i];
        if (!quote.isNull()) {
            if (ch == quote)
                quote = QChar();
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            quote = ch;
        } else if (ch == QLatin1Char('\\') && i + 1 < format.size()) {
            current += ch;
            current += format[++i];
            continue;
        } else if (ch == QLatin1Char(';')) {
            sections << current;
            current.clear();
            continue;
        }
        current += ch;
    }
    sections << current;
    QString section = sections[0];
    if (v < 0 && sections.size() > 1 && !sections[1].isEmpty())
        section = sections[1];
    // The pattern's parts: placeholders before and after the point, grouping, scaling, percent.
    struct Piece {
        bool placeholder;
        QChar symbol;  // '0' or '#' for a placeholder
        QString literal;
        bool fraction;
    };
    std::vector<Piece> pieces;
    bool afterPoint = false, grouping = false, percent = false, anyPlaceholder = false;
    int minWhole = -1, wholePlaceholders = 0, minFraction = 0, maxFraction = 0, scale = 0, pendingCommas = 0;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar ch = section[i];
        if (ch == QLatin1Char('0') || ch == QLatin1Char('#')) {
            if (pendingCommas > 0 && !afterPoint && anyPlaceholder)
                grouping = true;
            pendingCommas = 0;
            anyPlaceholder = true;
            if (afterPoint) {
                ++maxFraction;
                if (ch == QLatin1Char('0'))
                    minFraction = maxFraction;
            } else {
                if (ch == QLatin1Char('0') && minWhole < 0)
                    minWhole = wholePlaceholders;
                ++wholePlaceholders;
            }
            pieces.push_back({true, ch, {}, afterPoint});
        } else if (ch == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
            scale += pendingCommas;
            pendingCommas = 0;
            pieces.push_back({false, ch, QStringLiteral("\x01"), false});
        } else if (ch == QLatin1Char(',')) {
            ++pendingCommas;
        } else if (ch == QLatin1Char('\\') && i + 1 < section.size()) {
            pieces.push_back({false, {}, QString(section[++i]), afterPoint});
        } else if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            const qsizetype close = section.indexOf(ch, i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            pieces.push_back({false, {}, section.mid(i + 1, end - i - 1), afterPoint});
            i = end;
        } else {
            if (ch == QLatin1Char('%'))
                percent = true;
            pieces.push_back({false, {}, QString(ch), afterPoint});
        }
    }
    if (!afterPoint)
        scale += pendingCommas;
    double x = std::fabs(v) * (percent ? 100.0 : 1.0) / std::pow(1000.0, scale);
    auto [whole, fraction] = roundedDigits(x, maxFraction);
    while (fraction.size() > minFraction && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    const int wholeDigits = minWhole < 0 ? 0 : wholePlaceholders - minWhole;
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    whole = whole.rightJustified(wholeDigits, QLatin1Char('0'));
    // Whole digits fill the placeholders from the right; the first placeholder takes what is left.
    QStringList wholeOut(int(pieces.size()));
    if (grouping) {
        int first = -1;
        for (int k = 0; k < int(pieces.size()); ++k) {
            if (pieces[k].placeholder && !pieces[k].fraction) {
                first = first < 0 ? k : first;
                wholeOut[k] = QString();
            }
        }
        if (first >= 0)
            wholeOut[first] = grouped(whole, c.group);
    } else {
        int remaining = int(whole.size());
        int first = -1;
        for (int k = int(pieces.size()) - 1; k >= 0; --k) {
            if (pieces[k].placeholder && !pieces[k].fraction) {
                first = k;
                if (remaining > 0)
                    wholeOut[k] = whole.mid(--remaining, 1);
            }
        }
        if (first >= 0 && remaining > 0)
            wholeOut[first] = whole.left(remaining) + wholeOut[first];
    }
    QString out;
    int fractionAt = 0;
    for (int k = 0; k < int(pieces.size()); ++k) {
        const Piece& p = pieces[k];
        if (p.placeholder && !p.fraction) {
            out += wholeOut[k];
        } else if (p.placeholder) {
            if (fractionAt < fraction.size())
                out += fraction[fractionAt];
            ++fractionAt;
        } else if (p.literal == QLatin1String("\x01")) {
            if (!fraction.isEmpty())
                out += c.decimal;
        } else {
            out += p.literal;
        }
    }
    const bool negative = v < 0 && !isZero(whole, fraction);
    if (negative && sections.size() < 2)
        out.prepend(QLatin1Char('-'));
    if (!negative && sections.size() > 2 && isZero(whole, fraction))
        return customNumber(0.0, sections[2], c);
    return out;
}

QString customDate(const DateParts& p, int weekday, const QString& format, const Culture& c)
{
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar ch = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == ch)
            ++run;
        const auto number = [](int v, qsizetype width) {
            return QStringLiteral("%1").arg(v, int(width), 10, QLatin1Char('0'));
        };
        switch (ch.unicode()) {
        case 'd':
            out += run == 1   ? QString::number(p.day)
                   : run == 2 ? number(p.day, 2)
                   : run == 3 ? c.shortDays.value(weekday)
                              : c.days.value(weekday);
            break;
        case 'M':
            out += run == 1   ? QString::number(p.month)
                   : run == 2 ? number(p.month, 2)
                   : run == 3 ? c.shortMonths.value(p.month - 1)
                              : c.months.value(p.month - 1);
            break;
        case 'y':
            out += run == 1 ? QString::number(p.year % 100) : run == 2 ? number(p.year % 100, 2) : number(p.year, run);
            break;
        case 'h':
            out += number(p.hour % 12 == 0 ? 12 : p.hour % 12, std::min<qsizetype>(run, 2));
            break;
        case 'H':
            out += number(p.hour, std::min<qsizetype>(run, 2));
            break;
        case 'm':
            out += number(p.minute, std::min<qsizetype>(run, 2));
            break;
        case 's':
            out += number(p.second, std::min<qsizetype>(run, 2));
            break;
        case 'f':
        case 'F': {
            QString digits = number(p.millisecond, 3).leftJustified(int(run), QLatin1Char('0')).left(run);
            if (ch == QLatin1Char('F')) {
                while (digits.endsWith(QLatin1Char('0')))
                    digits.chop(1);
            }
            out += digits;
            break;
        }
        case 't': {
            const QString designator = p.hour < 12 ? c.am : c.pm;
            out += run == 1 ? designator.left(1) : designator;
            break;
        }
        case '/':
            out += QString(run, c.dateSeparator);
            break;
        case '\'':
        case '"': {
            const qsizetype close = format.indexOf(ch, i + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            out += format.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        case '\\':
            if (i + 1 < format.size())
                out += format[i + 1];
            i += 2;
            continue;
        case '%':
            i += 1;
            continue;
        default:
            out += QString(run, ch);
            break;
        }
        i += run;
    }
    return out;
}

std::optional<QString> formatDateValue(vb::Date date, const QString& format, const Culture& c)
{
    const DateParts p = splitDate(date);
    const int weekday = int(((dayNumber(p) - 1) % 7 + 7) % 7);  // 0 Sunday
    QString pattern = format;
    if (format.size() == 1) {
        switch (format[0].unicode()) {
        case 'd':
            pattern = c.shortDate;
            break;
        case 'D':
            pattern = c.longDate;
            break;
        case 't':
            pattern = c.shortTime;
            break;
        case 'T':
            pattern = c.longTime;
            break;
        case 'g':
            pattern = c.shortDate + QLatin1Char(' ') + c.shortTime;
            break;
        case 'G':
            pattern = c.shortDate + QLatin1Char(' ') + c.longTime;
            break;
        case 'f':
            pattern = c.longDate + QLatin1Char(' ') + c.shortTime;
            break;
        case 'F':
            pattern = c.longDate + QLatin1Char(' ') + c.longTime;
            break;
        case 'm':
        case 'M':
            pattern = c.monthDay;
            break;
        case 'y':
        case 'Y':
            pattern = c.yearMonth;
            break;
        case 's':
            pattern = QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss");
            break;
        case 'u':
            pattern = QStringLiteral("yyyy'-'MM'-'dd HH':'mm':'ss'Z'");
            break;
        case 'o':
        case 'O':
            pattern = QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss'.'fffffff");
            break;
        default:
            return std::nullopt;
        }
    }
    return customDate(p, weekday, pattern, c);
}

}  // namespace

vb::Variant formatValue(const vb::Variant& value, const QString& format, const QString& cultureName)
{
    const std::optional<Culture> culture = cultureOf(cultureName);
    if (!culture)
        throw ServerError(9818, QStringLiteral("The culture parameter '%1' provided in the function call is not "
                                               "supported.")
                                    .arg(cultureName));
    if (value.isNull() || format.isEmpty())
        return vb::Variant::Null();
    std::optional<QString> text;
    if (value.isDate() || value.isString()) {
        const auto date = value.isDate() ? std::optional<vb::Date>(value.toDate()) : parseDateText(value.toString());
        if (!date)
            throw ServerError(8116, QStringLiteral("Argument data type varchar is invalid for argument 1 of format "
                                                   "function."));
        text = formatDateValue(*date, format, *culture);
    } else {
        const double v = value.toDouble();
        const QChar kind = format[0];
        bool plain = false;
        const int precision = format.size() > 1 ? format.mid(1).toInt(&plain) : -1;
        if (QStringLiteral("NnFfCcPpDdXxEeGg").contains(kind) && (format.size() == 1 || (plain && precision <= 99)))
            text = standardNumber(v, kind, precision, *culture);
        else
            text = customNumber(v, format, *culture);
    }
    return text ? vb::Variant(*text) : vb::Variant::Null();
}

void registerFormatFunction(sqlite3* db)
{
    for (int count : {2, 3}) {
        defineFunction(db, "format", count, [](const Arguments& a) {
            if (a[1].isNull() || (a.size() > 2 && a[2].isNull()))
                return vb::Variant::Null();
            return formatValue(a[0], textArgument(a[1]), a.size() > 2 ? textArgument(a[2]) : QString());
        });
    }
}

}  // namespace sqlserver
