#include "reportengine/Layout_p.h"

namespace reportengine {

vb::Variant parameterValue(const vb::Variant& value, ValueKind type)
{
    if (value.isNull())
        return value;
    switch (type) {
    case ValueKind::Number:
        return value.toDouble();
    case ValueKind::Date:
        return value.toDate();
    case ValueKind::Boolean:
        return value.toBool();
    case ValueKind::Text:
        return value.toString();
    }
    return value;
}

bool paperDimensions(int paperSize, int& width, int& height)
{
    switch (paperSize) {
    case 1:
        width = 12240, height = 15840;
        return true;
    case 5:
        width = 12240, height = 20160;
        return true;
    case 9:
        width = 11906, height = 16838;
        return true;
    default:
        return false;
    }
}

}  // namespace reportengine
