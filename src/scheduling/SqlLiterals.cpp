#include "scheduling/SqlLiterals.h"

#include "runtime/Format.h"

namespace scheduling {

QString quotedText(const QString& value)
{
    return QLatin1Char('\'') + QString(value).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

QString number(std::int64_t value)
{
    return QString::number(value);
}

QString minuteText(vb::Date moment)
{
    return vb::Format(moment, QStringLiteral("yyyy-mm-dd hh:nn"));
}

}  // namespace scheduling
