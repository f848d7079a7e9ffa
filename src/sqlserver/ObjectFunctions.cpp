#include "sqlserver/ObjectFunctions.h"

#include "sqlserver/ExtendedProperties.h"
#include "sqlserver/IdentityColumns.h"
#include "sqlserver/TemporaryTables.h"
#include "sqlserver/Tokenizer.h"
#include "sqlserver/UserFunctions.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

// The object's own name: the last part of a dotted name, brackets taken off.
QString lastPart(const QString& name)
{
    QString part;
    for (const Token& t : tokenize(name)) {
        if (t.isName())
            part = t.name();
        else if (!t.isSymbol(QLatin1String(".")) && !t.isBlank())
            return {};
    }
    return part;
}

vb::Variant objectId(sqlite3* db, const std::vector<vb::Variant>& a)
{
    if (a[0].isNull())
        return vb::Variant::Null();
    const QString name = lastPart(a[0].toString());
    const QString type = a.size() > 1 && !a[1].isNull() ? a[1].toString().trimmed().toUpper() : QString();
    if (name.isEmpty() || name == extendedPropertiesTable || name == identityColumnsTable
        || name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
        return vb::Variant::Null();
    // A #temp table is the session's, in the temp schema; as in tempdb, its id is negative.
    const bool temporary = isTemporaryName(name);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, temporary ? "SELECT -rowid, type FROM temp.sqlite_schema WHERE type = 'table' AND name = ? "
                                           "COLLATE NOCASE"
                                         : "SELECT rowid, type FROM main.sqlite_schema WHERE type IN ('table', 'view') AND "
                                           "name = ? COLLATE NOCASE",
                           -1, &s, nullptr) != SQLITE_OK)
        return vb::Variant::Null();
    const QByteArray text = name.toUtf8();
    sqlite3_bind_text(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    vb::Variant id = vb::Variant::Null();
    if (sqlite3_step(s) == SQLITE_ROW) {
        const QString kind = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
        const QString code = kind == QLatin1String("table") ? QStringLiteral("U") : QStringLiteral("V");
        if (type.isEmpty() || type == code)
            id = vb::Variant(int(sqlite3_column_int64(s, 0)));
    }
    sqlite3_finalize(s);
    return id;
}

}  // namespace

void registerObjectFunctions(sqlite3* db)
{
    for (int count : {1, 2})
        defineFunction(db, "object_id", count, [db](const std::vector<vb::Variant>& a) { return objectId(db, a); }, false);
}

}  // namespace sqlserver
