#include "sqlserver/FunctionArguments.h"

#include "sqlserver/ServerConversions.h"
#include "sqlserver/Session.h"

namespace sqlserver {

vb::Date dateArgument(const vb::Variant& v)
{
    const auto date = dateOfValue(v);
    if (!date)
        throw ServerError(241, QStringLiteral("Conversion failed when converting date and/or time from character "
                                              "string."));
    return *date;
}

long long wholeArgument(const vb::Variant& v)
{
    const auto number = numberOfValue(v);
    if (!number)
        throw ServerError(8114, QStringLiteral("Error converting data type varchar to int."));
    if (!(*number > -2147483649.0 && *number < 2147483648.0))
        throw ServerError(8115, QStringLiteral("Arithmetic overflow error converting expression to data type int."));
    return (long long)*number;
}

// SQL Server's own limit (2 GB) would take the process's memory long before SQLite refused the value.
qsizetype builtLength(long long length)
{
    if (length > 100000000LL)
        throw ServerError(7119, QStringLiteral("Attempting to grow LOB beyond maximum allowed size of 2147483647 "
                                               "bytes."));
    return qsizetype(std::max(length, 0LL));
}

vb::Variant wholeResult(long long v)
{
    return v >= -2147483648LL && v <= 2147483647LL ? vb::Variant(int(v)) : vb::Variant(double(v));
}

QString textArgument(const vb::Variant& v)
{
    return v.isString() ? v.toString() : convertValue(v, parseSqlType(QStringLiteral("varchar(max)"))).toString();
}

}  // namespace sqlserver
