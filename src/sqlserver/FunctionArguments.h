#pragma once
// Reading the arguments of the server's functions as SQL Server converts them, with its errors.

#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <QString>

namespace sqlserver {

using Arguments = std::vector<vb::Variant>;

// A date, or 241.
vb::Date dateArgument(const vb::Variant& v);
// A whole number in int's range: 8114 for a text that is no number, 8115 past the range.
long long wholeArgument(const vb::Variant& v);
// A value as text (numbers in SQL Server's text form).
QString textArgument(const vb::Variant& v);
// A length a function builds, checked against the largest text the server makes (7119).
qsizetype builtLength(long long length);
// An int, or a float past int's range.
vb::Variant wholeResult(long long v);

}  // namespace sqlserver
