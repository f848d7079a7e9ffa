#include "runtime/Date.h"

#include <QRegularExpression>

namespace vb {

namespace {

int windowYear(int year, qsizetype digits)
{
    if (digits <= 2)   // two-digit years: the workstation's window 1930 .. 2029
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

bool parseTime(const QString& text, long long& ms)
{
    static const QRegularExpression re(QStringLiteral(R"(^(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:[.,](\d{1,3}))?)?$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    const int h = m.captured(1).toInt(), n = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString fraction = m.captured(4);
    if (h > 23 || n > 59 || s > 59)
        return false;
    const int milli = fraction.isEmpty() ? 0 : QString(fraction + QStringLiteral("00")).left(3).toInt();
    ms = ((h * 60LL + n) * 60 + s) * 1000 + milli;
    return true;
}

}  // namespace

bool DateFromText(const QString& text, Date& out)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^(\d{1,4})([/.-])(\d{1,2})\2(\d{1,4})(?:(?:\s+|T)(\S+))?$)"));
    const QString s = text.trimmed();
    if (s.isEmpty())
        return false;
    long long ms = 0;
    const auto m = re.match(s);
    if (!m.hasMatch()) {
        if (!parseTime(s, ms))
            return false;
        out = Date(double(ms) / 86400000.0);
        return true;
    }
    int year, month, day;
    if (m.capturedLength(1) >= 3) {   // ISO: yyyy-mm-dd
        if (m.capturedLength(4) > 2)
            return false;
        year = m.captured(1).toInt();
        month = m.captured(3).toInt();
        day = m.captured(4).toInt();
    } else {   // the workstation's dd/mm/yyyy
        if (m.capturedLength(4) == 3)
            return false;
        day = m.captured(1).toInt();
        month = m.captured(3).toInt();
        year = windowYear(m.captured(4).toInt(), m.capturedLength(4));
    }
    if (!isValidDateParts(year, month, day))
        return false;
    if (!m.captured(5).isEmpty() && !parseTime(m.captured(5), ms))
        return false;
    const double days = DateSerial(year, month, day).serial;
    const double fraction = double(ms) / 86400000.0;
    out = Date(days >= 0 ? days + fraction : days - fraction);
    return true;
}

}  // namespace vb
