#include "runtime/Variant.h"

#include "runtime/Err.h"
#include "runtime/Format.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace vb {

namespace {

// ---- Numbers in text -------------------------------------------------------------------------------------------

enum class ParseResult { Ok, NotNumber, Overflow };

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
           c == QChar(0xA0);
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// "&H1F" / "&O17": the platform's hexadecimal and octal literals; up to 4 hex digits read as an Integer, up to 8
// as a Long (so "&HFFFF" is -1, as the platform reads it).
bool parseRadix(QStringView s, double& out)
{
    if (s.size() < 3 || s[0] != QLatin1Char('&'))
        return false;
    const QChar kind = s[1].toUpper();
    const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
    if (base == 0)
        return false;
    QStringView digits = s.mid(2);
    bool ok = false;
    const unsigned long long v = digits.toULongLong(&ok, base);
    if (!ok || digits.startsWith(QLatin1Char('+')) || digits.startsWith(QLatin1Char('-')))
        return false;
    const qsizetype hexLength = base == 16 ? digits.size() : (digits.size() * 3 + 3) / 4;
    if (hexLength <= 4 && v <= 0xFFFF)
        out = double(std::int16_t(std::uint16_t(v)));
    else if (v <= 0xFFFFFFFFULL)
        out = double(std::int32_t(std::uint32_t(v)));
    else
        return false;
    return true;
}

// What may stand around a number's digits: one sign, the workstation's currency symbol, parentheses for a
// negative amount, each at most once, with blanks between.
struct Marks {
    bool sign = false, negative = false, currency = false, open = false, closed = false;
};

// Reads the marks before the digits, or with `after` those behind them; false when a parenthesis is unmatched.
bool readMarks(QStringView s, qsizetype& i, Marks& marks, bool after)
{
    static const QLatin1StringView currency("R$");
    while (i < s.size()) {
        const QChar ch = s[i];
        if (isBlank(ch)) {
            ++i;
        } else if ((ch == QLatin1Char('+') || ch == QLatin1Char('-')) && !marks.sign && !marks.open) {
            marks.sign = true;
            marks.negative = ch == QLatin1Char('-');
            ++i;
        } else if (s.mid(i).startsWith(currency) && !marks.currency) {
            marks.currency = true;
            i += currency.size();
        } else if (!after && ch == QLatin1Char('(') && !marks.sign && !marks.open) {
            marks.open = marks.negative = true;
            ++i;
        } else if (after && ch == QLatin1Char(')') && marks.open && !marks.closed) {
            marks.closed = true;
            ++i;
        } else {
            break;
        }
    }
    return !after || marks.open == marks.closed;
}

// The workstation's number text: blanks around, a sign (before or behind), the currency symbol, parentheses for
// a negative amount, digits with "." as the thousands separator (accepted loosely between digits, as the
// platform does: "1.5" is 15), "," as the decimal point, an exponent.
ParseResult parseLocaleNumber(const QString& text, double& out)
{
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    QStringView s = QStringView(text).mid(b, e - b);
    if (s.isEmpty())
        return ParseResult::NotNumber;
    if (s[0] == QLatin1Char('&'))
        return parseRadix(s, out) ? ParseResult::Ok : ParseResult::NotNumber;

    QByteArray c;   // the number rebuilt in the C locale's form
    qsizetype i = 0;
    Marks marks;
    if (!readMarks(s, i, marks, false))
        return ParseResult::NotNumber;
    if (marks.negative)
        c += '-';
    int digits = 0;
    while (i < s.size()) {
        if (isDigit(s[i])) {
            c += char(s[i].unicode());
            ++digits;
            ++i;
        } else if (s[i] == QLatin1Char('.') && digits > 0 && i + 1 < s.size() && isDigit(s[i + 1])) {
            ++i;   // a thousands separator between digits
        } else {
            break;
        }
    }
    if (i < s.size() && s[i] == QLatin1Char(',')) {
        c += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            c += char(s[i].unicode());
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return ParseResult::NotNumber;
    if (i < s.size() && (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e') || s[i] == QLatin1Char('D') ||
                         s[i] == QLatin1Char('d'))) {
        c += 'e';
        ++i;
        if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            c += char(s[i++].unicode());
        int expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            c += char(s[i++].unicode());
            ++expDigits;
        }
        if (expDigits == 0)
            return ParseResult::NotNumber;
    }
    const bool negativeBefore = marks.negative;
    if (!readMarks(s, i, marks, true) || i != s.size())
        return ParseResult::NotNumber;
    if (marks.negative && !negativeBefore)
        c.prepend('-');
    const double v = std::strtod(c.constData(), nullptr);
    if (!std::isfinite(v))
        return ParseResult::Overflow;
    out = v;
    return ParseResult::Ok;
}

double textToDouble(const QString& text)
{
    double v = 0;
    switch (parseLocaleNumber(text, v)) {
    case ParseResult::Ok: return v;
    case ParseResult::Overflow: raiseError(ErrNo::Overflow);
    case ParseResult::NotNumber: break;
    }
    raiseError(ErrNo::TypeMismatch);
}

// ---- Rounding --------------------------------------------------------------------------------------------------

// Halves to even. A product that lands a hair off an exact half through binary drift (2.675 * 100) counts as
// the half that its decimal text shows.
double roundHalfEven(double x)
{
    if (!std::isfinite(x) || std::fabs(x) >= 4503599627370496.0)   // 2^52: already whole
        return x;
    const double lower = std::floor(x);
    const double diff = x - lower;
    const double tolerance = 8 * DBL_EPSILON * std::max(1.0, std::fabs(x));
    if (std::fabs(diff - 0.5) <= tolerance)
        return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    return diff < 0.5 ? lower : lower + 1.0;
}

template <class T> T checkedWhole(double v)
{
    if (std::isnan(v))
        raiseError(ErrNo::Overflow);
    const double r = roundHalfEven(v);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        raiseError(ErrNo::Overflow);
    return T(r);
}

// ---- Numbers as text -------------------------------------------------------------------------------------------

// The platform's text of a number: up to 15 significant digits for a Double (7 for a Single), the exponent form
// beyond them ("1E+20", "1,5E-07"), the workstation's decimal comma, no thousands separator, never "-0".
QString realToText(double v, int precision)
{
    if (v == 0.0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", precision, v);
    QString s = QString::fromLatin1(buffer);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

QString currencyToText(Currency c)
{
    const bool negative = c.scaled < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(c.scaled) : static_cast<unsigned long long>(c.scaled);
    QString s = QString::number(magnitude / 10000);
    unsigned long long fraction = magnitude % 10000;
    if (fraction != 0) {
        QString f = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char(',') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

}  // namespace

std::optional<double> NumberFromText(const QString& text)
{
    double v = 0;
    if (parseLocaleNumber(text, v) != ParseResult::Ok)
        return std::nullopt;
    return v;
}

Currency Currency::fromDouble(double v)
{
    const double scaled = v * 10000.0;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9223372036854775807.0)
        raiseError(ErrNo::Overflow);
    return Currency{static_cast<std::int64_t>(roundHalfEven(scaled))};
}

VarType Variant::type() const
{
    static constexpr VarType kinds[] = {VarType::Empty,  VarType::Byte,     VarType::Boolean, VarType::Integer,
                                        VarType::Long,   VarType::Single,   VarType::Double,  VarType::Currency,
                                        VarType::Date,   VarType::String,   VarType::Object};
    if (const Blank* b = std::get_if<Blank>(&m_value))
        return b->null ? VarType::Null : VarType::Empty;
    return kinds[m_value.index()];
}

bool Variant::isNumberKind() const
{
    switch (type()) {
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: return true;
    default: return false;
    }
}

double Variant::toDouble() const
{
    return std::visit(
        [](const auto& v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, Blank>) {
                if (v.null)
                    raiseError(ErrNo::InvalidUseOfNull);
                return 0.0;
            }
            else if constexpr (std::is_same_v<T, bool>) return v ? -1.0 : 0.0;
            else if constexpr (std::is_same_v<T, Currency>) return v.toDouble();
            else if constexpr (std::is_same_v<T, Date>) return v.serial;
            else if constexpr (std::is_same_v<T, QString>) return textToDouble(v);
            else if constexpr (std::is_same_v<T, ObjectPtr>) raiseError(ErrNo::TypeMismatch);
            else return double(v);
        },
        m_value);
}

bool Variant::toBool() const
{
    if (const QString* s = std::get_if<QString>(&m_value)) {
        const QString t = s->trimmed();
        if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("Verdadeiro"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 ||
            t.compare(QLatin1String("Falso"), Qt::CaseInsensitive) == 0)
            return false;
        return textToDouble(*s) != 0.0;
    }
    if (const bool* b = std::get_if<bool>(&m_value))
        return *b;
    if (const Currency* c = std::get_if<Currency>(&m_value))
        return c->scaled != 0;
    return toDouble() != 0.0;
}

std::uint8_t Variant::toByte() const
{
    if (const std::uint8_t* v = std::get_if<std::uint8_t>(&m_value))
        return *v;
    return checkedWhole<std::uint8_t>(toDouble());
}

std::int16_t Variant::toInteger() const
{
    return checkedWhole<std::int16_t>(toDouble());
}

std::int32_t Variant::toLong() const
{
    // Whole kinds need no rounding (the script interpreter's hot path).
    if (const std::int32_t* v = std::get_if<std::int32_t>(&m_value))
        return *v;
    if (const std::int16_t* v = std::get_if<std::int16_t>(&m_value))
        return *v;
    return checkedWhole<std::int32_t>(toDouble());
}

float Variant::toSingle() const
{
    const double v = toDouble();
    if (std::fabs(v) > double(FLT_MAX))
        raiseError(ErrNo::Overflow);
    return float(v);
}

Currency Variant::toCurrency() const
{
    if (const Currency* c = std::get_if<Currency>(&m_value))
        return *c;
    return Currency::fromDouble(toDouble());
}

Date Variant::toDate() const
{
    if (const Date* d = std::get_if<Date>(&m_value))
        return *d;
    if (const QString* s = std::get_if<QString>(&m_value)) {
        Date d;
        if (!DateFromText(*s, d))
            raiseError(ErrNo::TypeMismatch);
        return d;
    }
    const double v = toDouble();
    if (!(v >= -657434.0 && v < 2958466.0))
        raiseError(ErrNo::Overflow);
    return Date(v);
}

namespace {
thread_local bool t_portugueseBooleans = false;
}

bool SetPortugueseBooleans(bool on)
{
    return std::exchange(t_portugueseBooleans, on);
}

QString Variant::toString() const
{
    return std::visit(
        [](const auto& v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, Blank>) {
                if (v.null)
                    raiseError(ErrNo::InvalidUseOfNull);
                return QString();
            }
            else if constexpr (std::is_same_v<T, bool>) {
                if (t_portugueseBooleans)
                    return v ? QStringLiteral("Verdadeiro") : QStringLiteral("Falso");
                return v ? QStringLiteral("True") : QStringLiteral("False");
            }
            else if constexpr (std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::int16_t> ||
                               std::is_same_v<T, std::int32_t>)
                return QString::number(v);
            else if constexpr (std::is_same_v<T, float>) return realToText(v, 7);
            else if constexpr (std::is_same_v<T, double>) return realToText(v, 15);
            else if constexpr (std::is_same_v<T, Currency>) return currencyToText(v);
            else if constexpr (std::is_same_v<T, Date>) return DefaultDateText(v);
            else if constexpr (std::is_same_v<T, QString>) return v;
            else raiseError(ErrNo::TypeMismatch);
        },
        m_value);
}

ObjectPtr Variant::toObject() const
{
    if (const ObjectPtr* o = std::get_if<ObjectPtr>(&m_value))
        return *o;
    raiseError(ErrNo::TypeMismatch);
}

bool IsNumeric(const Variant& v)
{
    switch (v.type()) {
    case VarType::Empty: return true;
    case VarType::String: return NumberFromText(v.toString()).has_value();
    default: return v.isNumberKind();
    }
}

bool IsDate(const Variant& v)
{
    if (v.isDate())
        return true;
    if (!v.isString())
        return false;
    Date d;
    return DateFromText(v.toString(), d);
}

double Val(const QString& text)
{
    QByteArray s;   // the platform's Val drops blanks, tabs and line feeds wherever they stand
    s.reserve(text.size());
    for (QChar ch : text)
        if (ch != QLatin1Char(' ') && ch != QLatin1Char('\t') && ch != QLatin1Char('\n') && ch != QLatin1Char('\r'))
            s += ch.unicode() < 128 ? char(ch.unicode()) : '\x7f';
    qsizetype i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const bool hex = s[1] == 'H' || s[1] == 'h';
        qsizetype j = 2;
        while (j < s.size() && (hex ? std::isxdigit((unsigned char)s[j]) : (s[j] >= '0' && s[j] <= '7')))
            ++j;
        double out = 0;
        if (j > 2 && parseRadix(QString::fromLatin1(s.left(j)), out))
            return out;
        return 0.0;
    }
    QByteArray c;
    c.reserve(s.size());
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        c += s[i++];
    int digits = 0;
    while (i < s.size() && std::isdigit((unsigned char)s[i]))
        c += s[i++], ++digits;
    if (i < s.size() && s[i] == '.') {
        c += s[i++];
        while (i < s.size() && std::isdigit((unsigned char)s[i]))
            c += s[i++], ++digits;
    }
    if (digits == 0)
        return 0.0;
    if (i + 1 < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        if (j < s.size() && std::isdigit((unsigned char)s[j])) {
            while (j < s.size() && std::isdigit((unsigned char)s[j]))
                exponent += s[j++];
            c += exponent;
        }
    }
    const double v = std::strtod(c.constData(), nullptr);
    if (!std::isfinite(v))
        raiseError(ErrNo::Overflow);
    return v;
}

double Round(double value, int decimals)
{
    if (decimals < 0)
        raiseError(ErrNo::InvalidProcedureCall);
    if (decimals == 0)
        return roundHalfEven(value);
    if (decimals > 22)
        return value;
    const double factor = std::pow(10.0, decimals);
    const double scaled = value * factor;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0)
        return value;
    return roundHalfEven(scaled) / factor;
}

double Int(double value)
{
    return std::floor(value);
}

double Fix(double value)
{
    return std::trunc(value);
}

QString Trim(const QString& s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && s[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && s[end - 1] == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

QString Left(const QString& s, int length)
{
    if (length < 0)
        raiseError(ErrNo::InvalidProcedureCall);
    return s.left(length);
}

QString Mid(const QString& s, int start, int length)
{
    if (start < 1)
        raiseError(ErrNo::InvalidProcedureCall);
    if (start > s.size())
        return {};
    return length < 0 ? s.mid(start - 1) : s.mid(start - 1, length);
}

QString UCase(const QString& s)
{
    return s.toUpper();
}

QString LCase(const QString& s)
{
    return s.toLower();
}

QString Space(int count)
{
    if (count < 0)
        raiseError(ErrNo::InvalidProcedureCall);
    return QString(count, QLatin1Char(' '));
}

}  // namespace vb
