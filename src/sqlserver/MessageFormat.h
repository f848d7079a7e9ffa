#pragma once
// The message of RAISERROR: printf-like placeholders %[flags][width][.precision][h|l]type with the types
// d, i, u (whole numbers), o, x, X (octal, hexadecimal), s (text); * takes the width or precision from the
// arguments; %% is a percent sign. A placeholder without an argument reads "(null)", as in SQL Server. The
// message is cut to 2047 characters (the last three then "...").

#include "runtime/Variant.h"

#include <QString>
#include <vector>

namespace sqlserver {

QString formatMessage(const QString& format, const std::vector<vb::Variant>& arguments);

}  // namespace sqlserver
