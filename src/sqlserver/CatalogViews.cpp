#include "sqlserver/CatalogViews.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ExtendedProperties.h"
#include "sqlserver/IdentityColumns.h"
#include "sqlserver/SqlTypes.h"
#include "sqlserver/Tokenizer.h"

#include <sqlite3.h>

#include <QStringList>

namespace sqlserver {

namespace {

struct View {
    const char* schema;
    const char* name;
    const char* body;  // %1: the user tables' filter on sqlite_schema m; %2: the database's name
};

// The user's tables: not SQLite's own, not the hidden tables of extended properties and identities.
const QString userObjects = QStringLiteral("m.name NOT LIKE 'sqlite%' AND m.name <> '") + extendedPropertiesTable
                            + QStringLiteral("' AND m.name <> '") + identityColumnsTable + QStringLiteral("'");

const View views[] = {
    {"sys", "tables",
     "SELECT m.rowid AS object_id, m.name COLLATE NOCASE AS name, 1 AS schema_id, 'U' AS type, "
     "'USER_TABLE' AS type_desc, 0 AS is_ms_shipped FROM main.sqlite_schema m WHERE m.type = 'table' AND %1"},
    {"sys", "objects",
     "SELECT m.rowid AS object_id, m.name COLLATE NOCASE AS name, 1 AS schema_id, 0 AS parent_object_id, "
     "CASE m.type WHEN 'table' THEN 'U' ELSE 'V' END AS type, "
     "CASE m.type WHEN 'table' THEN 'USER_TABLE' ELSE 'VIEW' END AS type_desc, 0 AS is_ms_shipped "
     "FROM main.sqlite_schema m WHERE m.type IN ('table', 'view') AND %1"},
    {"sys", "columns",
     "SELECT m.rowid AS object_id, p.name COLLATE NOCASE AS name, p.cid + 1 AS column_id, "
     "sqlserver_type(p.type, 'id') AS system_type_id, sqlserver_type(p.type, 'id') AS user_type_id, "
     "sqlserver_type(p.type, 'max_length') AS max_length, sqlserver_type(p.type, 'precision') AS precision, "
     "sqlserver_type(p.type, 'scale') AS scale, (p.\"notnull\" = 0 AND p.pk = 0) AS is_nullable, "
     "(p.pk = 1 AND upper(p.type) = 'INTEGER' AND m.sql LIKE '%AUTOINCREMENT%') AS is_identity, "
     "0 AS is_computed, CASE WHEN sqlserver_type(p.type, 'char_length') IS NOT NULL "
     "THEN 'SQL_Latin1_General_CP1_CI_AS' END AS collation_name FROM main.sqlite_schema m, pragma_table_info(m.name) p "
     "WHERE m.type IN ('table', 'view') AND %1"},
    {"sys", "types", nullptr},
    {"sys", "indexes",
     "SELECT m.rowid AS object_id, i.name COLLATE NOCASE AS name, i.seq + 1 AS index_id, "
     "CASE WHEN i.origin = 'pk' OR i.name LIKE 'PK\\_%' ESCAPE '\\' THEN 1 ELSE 0 END AS is_primary_key, "
     "i.\"unique\" AS is_unique, 2 AS type, 'NONCLUSTERED' AS type_desc "
     "FROM main.sqlite_schema m, pragma_index_list(m.name) i WHERE m.type = 'table' AND %1"},
    {"INFORMATION_SCHEMA", "COLUMNS",
     "SELECT '%2' AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name COLLATE NOCASE AS TABLE_NAME, "
     "p.name COLLATE NOCASE AS COLUMN_NAME, p.cid + 1 AS ORDINAL_POSITION, p.dflt_value AS COLUMN_DEFAULT, "
     "CASE WHEN p.\"notnull\" = 0 AND p.pk = 0 THEN 'YES' ELSE 'NO' END AS IS_NULLABLE, "
     "sqlserver_type(p.type, 'name') AS DATA_TYPE, "
     "sqlserver_type(p.type, 'char_length') AS CHARACTER_MAXIMUM_LENGTH, "
     "sqlserver_type(p.type, 'numeric_precision') AS NUMERIC_PRECISION, "
     "sqlserver_type(p.type, 'numeric_scale') AS NUMERIC_SCALE, CASE WHEN sqlserver_type(p.type, 'char_length') "
     "IS NOT NULL THEN 'SQL_Latin1_General_CP1_CI_AS' END AS COLLATION_NAME "
     "FROM main.sqlite_schema m, pragma_table_info(m.name) p WHERE m.type IN ('table', 'view') AND %1"},
    {"INFORMATION_SCHEMA", "TABLES",
     "SELECT '%2' AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name COLLATE NOCASE AS TABLE_NAME, "
     "CASE m.type WHEN 'table' THEN 'BASE TABLE' ELSE 'VIEW' END AS TABLE_TYPE "
     "FROM main.sqlite_schema m WHERE m.type IN ('table', 'view') AND %1"},
};

QString typesBody()
{
    QStringList rows;
    for (const SystemType& t : systemTypes())
        rows << QStringLiteral("('%1', %2, %3, %4, %5)").arg(QLatin1String(t.name)).arg(t.id).arg(t.maxLength)
                    .arg(t.precision).arg(t.scale);
    return QStringLiteral("SELECT column1 COLLATE NOCASE AS name, column2 AS system_type_id, column2 AS user_type_id, "
                          "column3 AS max_length, column4 AS precision, column5 AS scale, 1 AS is_nullable, "
                          "0 AS is_user_defined FROM (VALUES ")
           + rows.join(QStringLiteral(", ")) + QStringLiteral(")");
}

}  // namespace

bool isCatalogSchema(const QString& schema)
{
    return schema.compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0
           || schema.compare(QLatin1String("INFORMATION_SCHEMA"), Qt::CaseInsensitive) == 0;
}

QString catalogViewName(const QString& schema, const QString& name)
{
    for (const View& v : views) {
        if (schema.compare(QLatin1String(v.schema), Qt::CaseInsensitive) == 0
            && name.compare(QLatin1String(v.name), Qt::CaseInsensitive) == 0)
            return QLatin1Char('"') + QLatin1String(v.schema) + QLatin1Char('.') + QLatin1String(v.name)
                   + QLatin1Char('"');
    }
    return {};
}

void createCatalogViews(sqlite3* db, const QString& database)
{
    QString script;
    for (const View& v : views) {
        const QString body = v.body ? QString::fromLatin1(v.body)
                                          .replace(QLatin1String("%1"), userObjects)
                                          .replace(QLatin1String("%2"), QString(database).replace(QLatin1String("'"),
                                                                                                  QLatin1String("''")))
                                    : typesBody();
        script += QStringLiteral("CREATE TEMP VIEW %1 AS %2;").arg(catalogViewName(QLatin1String(v.schema),
                                                                                   QLatin1String(v.name)), body);
    }
    const int rc = sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw serverErrorFromSqlite(rc, ErrorContext{db, 0, database, QStringLiteral("CREATE")});
}

}  // namespace sqlserver
