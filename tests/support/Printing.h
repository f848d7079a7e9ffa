#pragma once
// Readable values in the failure messages of GoogleTest (found by argument-dependent lookup).

#include "runtime/Variant.h"

#include <QDateTime>
#include <QString>
#include <ostream>

void PrintTo(const QString& text, std::ostream* out);
void PrintTo(const QDateTime& moment, std::ostream* out);

namespace vb {
void PrintTo(const Variant& value, std::ostream* out);
}  // namespace vb
