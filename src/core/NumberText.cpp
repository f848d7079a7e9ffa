#include "core/Modulo.h"

namespace Modulo {

double ValorNumerico(const vb::Variant& value)
{
    return vb::IsNumeric(value) ? vb::CDbl(value) : 0.0;
}

QString FormataDuracao(double minutes)
{
    double amount = minutes;
    QString unit = QStringLiteral("m");
    if (minutes >= 1440) {
        amount = minutes / 1440;
        unit = QStringLiteral("d");
    } else if (minutes >= 60) {
        amount = minutes / 60;
        unit = QStringLiteral("h");
    }
    // CStr writes the decimal comma and drops a zero decimal ("2", not "2,0").
    return vb::CStr(vb::Round(amount, 1)) + unit;
}

}  // namespace Modulo
