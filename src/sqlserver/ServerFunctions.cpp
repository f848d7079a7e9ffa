#include "sqlserver/ServerFunctions.h"

#include "sqlserver/DateArithmetic.h"
#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/SqlTypes.h"
#include "sqlserver/UserFunctions.h"

#include <sqlite3.h>

#include <QUuid>

namespace sqlserver {

namespace {

using Arguments = std::vector<vb::Variant>;

vb::Date dateArgument(const vb::Variant& v)
{
    const auto date = dateOfValue(v);
    if (!date)
        throw ServerError(241, QStringLiteral("Conversion failed when converting date and/or time from character "
                                              "string."));
    return *date;
}

DateInterval intervalArgument(const vb::Variant& v)
{
    const QString name = v.isString() ? v.toString() : QString();
    const auto interval = dateIntervalOf(name);
    if (!interval)
        throw ServerError(155, QStringLiteral("'%1' is not a recognized datepart option.").arg(name));
    return *interval;
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

// A text a function builds stays below 100 million characters: SQL Server's own limit (2 GB) would take the
// process's memory long before SQLite refused the value.
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

vb::Variant typeFact(const vb::Variant& declared, const vb::Variant& what)
{
    const SqlType type = parseSqlType(declared.isString() ? declared.toString() : QString());
    const QString fact = what.toString();
    const bool textual = type.kind == ValueKind::Text || type.kind == ValueKind::Binary;
    const bool numeric = type.kind != ValueKind::Unknown && !textual && type.kind != ValueKind::DateTime;
    if (fact == QLatin1String("id"))
        return vb::Variant(type.systemTypeId);
    if (fact == QLatin1String("name"))
        return vb::Variant(type.name.isEmpty() ? QStringLiteral("sql_variant") : type.name);
    if (fact == QLatin1String("max_length"))
        return vb::Variant(type.maxLength);
    if (fact == QLatin1String("precision"))
        return vb::Variant(type.precision);
    if (fact == QLatin1String("scale"))
        return vb::Variant(type.scale);
    if (fact == QLatin1String("char_length")) {
        if (!textual)
            return vb::Variant::Null();
        return vb::Variant(type.length < 0 ? -1 : type.length > 0 ? type.length : type.maxLength);
    }
    if (fact == QLatin1String("numeric_precision"))
        return numeric ? vb::Variant(type.precision) : vb::Variant::Null();
    if (fact == QLatin1String("numeric_scale"))
        return numeric ? vb::Variant(type.scale) : vb::Variant::Null();
    return vb::Variant::Null();
}

}  // namespace

void registerServerFunctions(sqlite3* db, const ServerState& state)
{
    const bool volatileResult = false;
    defineFunction(db, "getdate", 0, [](const Arguments&) {
        return vb::Variant(vb::NowWithMilliseconds());
    }, volatileResult);
    defineFunction(db, "sqlserver_identity", 0, [&state](const Arguments&) { return state.lastIdentity(); }, volatileResult);
    defineFunction(db, "sqlserver_identity_insert", 1, [&state](const Arguments& a) {
        return vb::Variant(state.identityInsert(a[0].toString()) ? 1 : 0);
    }, volatileResult);
    defineFunction(db, "sqlserver_spid", 0, [&state](const Arguments&) { return vb::Variant(state.processId()); }, volatileResult);
    defineFunction(db, "sqlserver_trancount", 0, [&state](const Arguments&) {
        return vb::Variant(state.openTransactions());
    }, volatileResult);
    defineFunction(db, "sqlserver_rowcount", 0, [&state](const Arguments&) {
        return wholeResult(state.lastRowCount());
    }, volatileResult);
    defineFunction(db, "sqlserver_version", 0, [](const Arguments&) {
        return vb::Variant(QStringLiteral("Embedded SQL Server dialect over SQLite ") + QLatin1String(sqlite3_libversion()));
    });
    for (int count : {2, 3}) {
        defineFunction(db, "sqlserver_convert", count, [](const Arguments& a) {
            const int style = a.size() > 2 && !a[2].isNull() ? int(wholeArgument(a[2])) : 0;
            return convertValue(a[1], parseSqlType(a[0].toString()), style);
        });
    }
    defineFunction(db, "datediff", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        const long long parts = dateDiff(intervalArgument(a[0]), dateArgument(a[1]), dateArgument(a[2]));
        if (parts < -2147483648LL || parts > 2147483647LL)
            throw ServerError(535, QStringLiteral("The datediff function resulted in an overflow. The number of "
                                                  "dateparts separating two date/time instances is too large. Try to "
                                                  "use datediff with a less precise datepart."));
        return vb::Variant(int(parts));
    });
    defineFunction(db, "dateadd", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(dateAdd(intervalArgument(a[0]), wholeArgument(a[1]), dateArgument(a[2])));
    });
    defineFunction(db, "datepart", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(datePart(intervalArgument(a[0]), dateArgument(a[1])));
    });
    const struct {
        const char* name;
        DateInterval interval;
    } parts[] = {{"year", DateInterval::Year}, {"month", DateInterval::Month}, {"day", DateInterval::Day}};
    for (const auto& part : parts) {
        const DateInterval interval = part.interval;
        defineFunction(db, part.name, 1, [interval](const Arguments& a) {
            return a[0].isNull() ? vb::Variant::Null() : vb::Variant(datePart(interval, dateArgument(a[0])));
        });
    }
    defineFunction(db, "len", 1, [](const Arguments& a) {
        if (a[0].isNull())
            return vb::Variant::Null();
        QString text = textArgument(a[0]);
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return vb::Variant(int(text.size()));
    });
    for (int count : {2, 3}) {
        defineFunction(db, "charindex", count, [](const Arguments& a) {
            if (anyNull(a))
                return vb::Variant::Null();
            const qsizetype start = a.size() > 2 ? std::max<long long>(wholeArgument(a[2]) - 1, 0) : 0;
            return vb::Variant(int(textArgument(a[1]).indexOf(textArgument(a[0]), start, Qt::CaseInsensitive) + 1));
        });
    }
    defineFunction(db, "sqlserver_left", 2, [](const Arguments& a) {
        return anyNull(a) ? vb::Variant::Null() : vb::Variant(textArgument(a[0]).left(wholeArgument(a[1])));
    });
    defineFunction(db, "sqlserver_right", 2, [](const Arguments& a) {
        return anyNull(a) ? vb::Variant::Null() : vb::Variant(textArgument(a[0]).right(wholeArgument(a[1])));
    });
    defineFunction(db, "replicate", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        const QString text = textArgument(a[0]);
        const long long count = std::max(wholeArgument(a[1]), 0LL);
        builtLength(text.size() * count);
        return vb::Variant(text.repeated(count));
    });
    defineFunction(db, "space", 1, [](const Arguments& a) {
        return a[0].isNull() ? vb::Variant::Null() : vb::Variant(QString(builtLength(wholeArgument(a[0])), QLatin1Char(' ')));
    });
    defineFunction(db, "newid", 0, [](const Arguments&) {
        return vb::Variant(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    }, volatileResult);
    defineFunction(db, "sqlserver_type", 2, [](const Arguments& a) { return typeFact(a[0], a[1]); });
}

}  // namespace sqlserver
