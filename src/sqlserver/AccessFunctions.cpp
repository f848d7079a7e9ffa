#include "sqlserver/AccessFunctions.h"

#include "sqlserver/ServerDates.h"
#include "sqlserver/UserFunctions.h"
#include "runtime/Err.h"
#include "runtime/Format.h"

namespace sqlserver {

namespace {

using Arguments = std::vector<vb::Variant>;

// A date as Jet keeps it: stored date texts read as dates, numbers are the platform's day numbers.
vb::Variant platformValue(const vb::Variant& v)
{
    if (v.isString()) {
        if (const auto date = parseDateText(v.toString()))
            return vb::Variant(*date);
    }
    return v;
}

vb::Date dateOf(const vb::Variant& v)
{
    return platformValue(v).toDate();
}

using Unary = vb::Variant (*)(const vb::Variant&);

void defineUnary(sqlite3* db, const char* name, Unary body)
{
    defineFunction(db, name, 1, [body](const Arguments& a) {
        return a[0].isNull() ? vb::Variant::Null() : body(platformValue(a[0]));
    });
}

}  // namespace

void registerAccessFunctions(sqlite3* db)
{
    defineUnary(db, "ucase", [](const vb::Variant& v) { return vb::Variant(vb::UCase(v.toString())); });
    defineUnary(db, "lcase", [](const vb::Variant& v) { return vb::Variant(vb::LCase(v.toString())); });
    defineUnary(db, "len", [](const vb::Variant& v) { return vb::Variant(int(v.toString().size())); });
    defineUnary(db, "cstr", [](const vb::Variant& v) { return vb::Variant(v.toString()); });
    defineUnary(db, "cdbl", [](const vb::Variant& v) { return vb::Variant(v.toDouble()); });
    defineUnary(db, "clng", [](const vb::Variant& v) { return vb::Variant(int(v.toLong())); });
    defineUnary(db, "cint", [](const vb::Variant& v) { return vb::Variant(v.toInteger()); });
    defineUnary(db, "int", [](const vb::Variant& v) { return vb::Variant(vb::Int(v.toDouble())); });
    defineUnary(db, "fix", [](const vb::Variant& v) { return vb::Variant(vb::Fix(v.toDouble())); });
    defineUnary(db, "val", [](const vb::Variant& v) { return vb::Variant(vb::Val(v.toString())); });
    defineUnary(db, "year", [](const vb::Variant& v) { return vb::Variant(vb::Year(v.toDate())); });
    defineUnary(db, "month", [](const vb::Variant& v) { return vb::Variant(vb::Month(v.toDate())); });
    defineUnary(db, "day", [](const vb::Variant& v) { return vb::Variant(vb::Day(v.toDate())); });
    defineUnary(db, "hour", [](const vb::Variant& v) { return vb::Variant(vb::Hour(v.toDate())); });
    defineUnary(db, "minute", [](const vb::Variant& v) { return vb::Variant(vb::Minute(v.toDate())); });
    defineUnary(db, "second", [](const vb::Variant& v) { return vb::Variant(vb::Second(v.toDate())); });
    defineUnary(db, "weekday", [](const vb::Variant& v) { return vb::Variant(vb::Weekday(v.toDate())); });
    defineFunction(db, "nz", 2, [](const Arguments& a) { return a[0].isNull() ? a[1] : a[0]; });
    defineFunction(db, "nz", 1, [](const Arguments& a) { return a[0].isNull() ? vb::Variant(0) : a[0]; });
    for (int count : {2, 3}) {
        defineFunction(db, "mid", count, [](const Arguments& a) {
            if (anyNull(a))
                return vb::Variant::Null();
            return vb::Variant(vb::Mid(a[0].toString(), a[1].toLong(), a.size() > 2 ? a[2].toLong() : -1));
        });
    }
    defineFunction(db, "now", 0, [](const Arguments&) { return vb::Variant(vb::Now()); }, false);
    defineFunction(db, "date", 0, [](const Arguments&) { return vb::Variant(vb::Today()); }, false);
    defineFunction(db, "access_format", 2, [](const Arguments& a) {
        return vb::Variant(vb::Format(platformValue(a[0]), a[1].isNull() ? QString() : a[1].toString()));
    });
    defineFunction(db, "dateadd", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(vb::DateAdd(a[0].toString(), a[1].toDouble(), dateOf(a[2])));
    });
    defineFunction(db, "datediff", 3, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        const long long parts = vb::DateDiff(a[0].toString(), dateOf(a[1]), dateOf(a[2]));
        if (parts < -2147483648LL || parts > 2147483647LL)
            vb::raiseError(vb::ErrNo::Overflow);  // VB's DateDiff is a Long
        return vb::Variant(int(parts));
    });
    defineFunction(db, "datepart", 2, [](const Arguments& a) {
        if (anyNull(a))
            return vb::Variant::Null();
        return vb::Variant(vb::DatePart(a[0].toString(), dateOf(a[1])));
    });
}

}  // namespace sqlserver
