#include "sqlserver/ExtendedProperties.h"

#include "sqlserver/ErrorMapping.h"
#include "sqlserver/ValueCodec.h"

#include <sqlite3.h>

namespace sqlserver {

namespace {

QString textOrEmpty(const vb::Variant& v)
{
    return v.isNull() || v.isEmpty() ? QString() : v.toString();
}

// "dbo.Pedido.Obs": how the error texts name the object.
QString objectPath(const PropertyArguments& a)
{
    QStringList parts;
    for (const vb::Variant& name : a.levelName) {
        if (!textOrEmpty(name).isEmpty())
            parts << textOrEmpty(name);
    }
    return parts.join(QLatin1Char('.'));
}

class Statement {
public:
    Statement(sqlite3* db, const QString& sql, const QString& database) : m_db(db), m_database(database)
    {
        const int rc = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_statement, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const vb::Variant& value) { bindValue(m_statement, index, value); }
    bool step()
    {
        const int rc = sqlite3_step(m_statement);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail(rc);
        return rc == SQLITE_ROW;
    }

private:
    [[noreturn]] void fail(int rc) { throw serverErrorFromSqlite(rc, ErrorContext{m_db, 0, m_database, {}}); }

    sqlite3* m_db;
    QString m_database;
    sqlite3_stmt* m_statement = nullptr;
};

bool objectExists(sqlite3* db, const QString& database, const PropertyArguments& a)
{
    const QString table = textOrEmpty(a.levelName[1]);
    const QString column = textOrEmpty(a.levelName[2]);
    const QString level1 = textOrEmpty(a.levelType[1]).toUpper();
    if (level1.isEmpty())
        return true;  // a property of the schema itself
    if (level1 != QLatin1String("TABLE") && level1 != QLatin1String("VIEW"))
        return false;
    Statement lookup(db, column.isEmpty()
                             ? QStringLiteral("SELECT 1 FROM sqlite_schema WHERE type IN ('table', 'view') AND name = ? "
                                              "COLLATE NOCASE")
                             : QStringLiteral("SELECT 1 FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE"),
                     database);
    lookup.bind(1, vb::Variant(table));
    if (!column.isEmpty())
        lookup.bind(2, vb::Variant(column));
    return lookup.step();
}

const char* const matchCondition =
    "name = ?1 AND level0type IS upper(?2) AND level0name IS ?3 AND level1type IS upper(?4) AND level1name IS ?5 "
    "AND level2type IS upper(?6) AND level2name IS ?7";

}  // namespace

QString extendedPropertiesDefinition()
{
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name TEXT COLLATE NOCASE NOT NULL, level0type TEXT COLLATE "
                          "NOCASE, level0name TEXT COLLATE NOCASE, level1type TEXT COLLATE NOCASE, level1name TEXT "
                          "COLLATE NOCASE, level2type TEXT COLLATE NOCASE, level2name TEXT COLLATE NOCASE, value)")
        .arg(extendedPropertiesTable);
}

QString listPropertiesQuery(const QStringList& arguments)
{
    QStringList a;
    for (const QString& argument : arguments)
        a << (argument.compare(QLatin1String("default"), Qt::CaseInsensitive) == 0 ? QStringLiteral("(NULL)")
                                                                                    : QLatin1Char('(') + argument + QLatin1Char(')'));
    const auto type = [](const QString& column, const QString& argument) {
        return QStringLiteral("((%2 IS NULL AND %1 IS NULL) OR %1 = %2)").arg(column, argument);
    };
    const auto name = [](const QString& column, const QString& argument) {
        return QStringLiteral("(%2 IS NULL OR %1 = %2)").arg(column, argument);
    };
    return QStringLiteral("(SELECT upper(coalesce(level2type, level1type, level0type)) AS objtype, "
                          "coalesce(level2name, level1name, level0name) AS objname, name, value FROM %1 WHERE ")
               .arg(extendedPropertiesTable)
           + QStringList{name(QStringLiteral("name"), a[0]), type(QStringLiteral("level0type"), a[1]),
                         name(QStringLiteral("level0name"), a[2]), type(QStringLiteral("level1type"), a[3]),
                         name(QStringLiteral("level1name"), a[4]), type(QStringLiteral("level2type"), a[5]),
                         name(QStringLiteral("level2name"), a[6])}
                 .join(QStringLiteral(" AND "))
           + QLatin1Char(')');
}

void changeExtendedProperty(sqlite3* db, const QString& database, PropertyChange change,
                            const PropertyArguments& a)
{
    const QString path = objectPath(a);
    const QString property = textOrEmpty(a.name);
    if (!objectExists(db, database, a))
        throw ServerError(15135, QStringLiteral("Object is invalid. Extended properties are not permitted on '%1', or "
                                                "the object does not exist.").arg(path));
    const auto bindTarget = [&](Statement& s, int first) {
        s.bind(first, vb::Variant(property));
        for (int level = 0; level < 3; ++level) {
            s.bind(first + 1 + 2 * level, a.levelType[level]);
            s.bind(first + 2 + 2 * level, a.levelName[level]);
        }
    };
    Statement existing(db, QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(extendedPropertiesTable,
                                                                            QLatin1String(matchCondition)), database);
    bindTarget(existing, 1);
    const bool exists = existing.step();
    if (change == PropertyChange::Add && exists)
        throw ServerError(15233, QStringLiteral("Property cannot be added. Property '%1' already exists for '%2'.")
                                     .arg(property, path));
    if (change != PropertyChange::Add && !exists)
        throw ServerError(15217, QStringLiteral("Property cannot be updated or deleted. Property '%1' does not exist "
                                                "for '%2'.").arg(property, path));
    QString sql;
    switch (change) {
    case PropertyChange::Add:
        sql = QStringLiteral("INSERT INTO %1 (name, level0type, level0name, level1type, level1name, level2type, "
                             "level2name, value) VALUES (?1, upper(?2), ?3, upper(?4), ?5, upper(?6), ?7, ?8)");
        break;
    case PropertyChange::Update:
        sql = QStringLiteral("UPDATE %1 SET value = ?8 WHERE ") + QLatin1String(matchCondition);
        break;
    case PropertyChange::Drop:
        sql = QStringLiteral("DELETE FROM %1 WHERE ") + QLatin1String(matchCondition);
        break;
    }
    Statement write(db, sql.arg(extendedPropertiesTable), database);
    bindTarget(write, 1);
    if (change != PropertyChange::Drop)
        write.bind(8, a.value);
    write.step();
}

}  // namespace sqlserver
