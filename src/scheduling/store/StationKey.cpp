#include "scheduling/store/StationKey_p.h"

namespace scheduling {

QString stationKey(const QString& Posto)
{
    QString key = Posto;
    for (QChar& c : key)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return key;
}

}  // namespace scheduling
