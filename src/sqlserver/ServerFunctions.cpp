#include "sqlserver/ServerFunctions.h"

#include "sqlserver/DateFunctions.h"
#include "sqlserver/ErrorMapping.h"
#include "sqlserver/FunctionArguments.h"
#include "sqlserver/ServerConversions.h"
#include "sqlserver/ServerDates.h"
#include "sqlserver/SqlTypes.h"
#include "sqlserver/TextFunctions.h"
#include "sqlserver/UserFunctions.h"

#include <sqlite3.h>

#include <QUuid>

namespace sqlserver {

namespace {

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
    for (int count : {2, 3, 4}) {
        defineFunction(db, "sqlserver_convert", count, [](const Arguments& a) {
            const int style = a.size() > 2 && !a[2].isNull() ? int(wholeArgument(a[2])) : 0;
            const SqlType type = parseSqlType(a[0].toString());
            if (type.kind == ValueKind::Unknown)
                throw ServerError(243, QStringLiteral("Type %1 is not a defined system type.")
                                           .arg(a[0].toString().section(QLatin1Char('('), 0, 0)));
            if (a.size() < 4)
                return convertValue(a[1], type, style);
            try {  // TRY_CONVERT: a value that does not convert is Null
                return convertValue(a[1], type, style);
            } catch (const ServerError& e) {
                if (e.number() == 281)
                    throw;
                return vb::Variant::Null();
            }
        });
    }
    defineFunction(db, "newid", 0, [](const Arguments&) {
        return vb::Variant(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    }, volatileResult);
    defineFunction(db, "sqlserver_type", 2, [](const Arguments& a) { return typeFact(a[0], a[1]); });
    // What reports and scripts ask of the server; any other property is Null, as SQL Server answers.
    defineFunction(db, "serverproperty", 1, [](const Arguments& a) {
        const QString name = a[0].isNull() ? QString() : a[0].toString().toLower();
        if (name == QLatin1String("collation"))
            return vb::Variant(QStringLiteral("SQL_Latin1_General_CP1_CI_AS"));
        if (name == QLatin1String("productversion"))
            return vb::Variant(QStringLiteral("15.0.2000.5"));
        if (name == QLatin1String("productlevel"))
            return vb::Variant(QStringLiteral("RTM"));
        return vb::Variant::Null();
    });
    defineFunction(db, "databasepropertyex", 2, [](const Arguments& a) {
        const bool collation = !a[1].isNull() && a[1].toString().compare(QLatin1String("Collation"), Qt::CaseInsensitive) == 0;
        return collation ? vb::Variant(QStringLiteral("SQL_Latin1_General_CP1_CI_AS")) : vb::Variant::Null();
    });
    registerTextFunctions(db);
    registerDateFunctions(db);
}

}  // namespace sqlserver
