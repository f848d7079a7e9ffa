#include "reportengine/SpreadsheetValues.h"

#include <QRegularExpression>

namespace reportengine {

namespace {

// The platform's day numbers of 01/01/1900, 01/03/1900 and the day after 31/12/9999.
constexpr double FirstHeldDay = 2;
constexpr double FirstDayAfterFictitiousOne = 61;
constexpr double DayAfterLast = 2958466;

}  // namespace

std::optional<double> spreadsheetDayNumber(vb::Date date)
{
    const double serial = date.serial;
    if (serial >= 0 && serial < 1)
        return serial;
    if (!(serial >= FirstHeldDay && serial < DayAfterLast))
        return std::nullopt;
    return serial < FirstDayAfterFictitiousOne ? serial - 1 : serial;
}

QByteArray spreadsheetText(const QString& text)
{
    static const QRegularExpression escape(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text.toUtf8();
    QString stored = text;
    stored.replace(escape, QStringLiteral("_x005F_"));
    return stored.toUtf8();
}

}  // namespace reportengine
