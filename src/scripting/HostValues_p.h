#pragma once
// Values between the host's QVariant and the script's Variant: numbers, texts, dates, booleans, objects and lists.

#include "runtime/Variant.h"

#include <QVariant>

namespace scripting {

vb::Variant fromQVariant(const QVariant& value);
QVariant toQVariant(const vb::Variant& value);
// The value as the host's parameter or property of that type takes it: a text through the platform's CStr
// (True, 1,5), Null as an empty text. An invalid QVariant when it cannot be converted.
QVariant toQVariant(const vb::Variant& value, QMetaType type);

}  // namespace scripting
