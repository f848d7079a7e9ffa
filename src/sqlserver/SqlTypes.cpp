#include "sqlserver/SqlTypes.h"

#include <QHash>
#include <QStringList>

namespace sqlserver {

namespace {

struct Alias {
    const char* declared;  // the declared base name, upper case
    const char* name;      // SQL Server's type
};

// Names other than SQL Server's own that declared types use (SQLite's, Access's).
constexpr Alias aliases[] = {
    {"INTEGER", "int"},   {"LONG", "int"},          {"COUNTER", "int"},      {"AUTOINCREMENT", "int"},
    {"SHORT", "smallint"}, {"BYTE", "tinyint"},     {"YESNO", "bit"},        {"BOOLEAN", "bit"},
    {"LOGICAL", "bit"},   {"DOUBLE", "float"},      {"SINGLE", "real"},      {"CURRENCY", "money"},
    {"MEMO", "text"},     {"GUID", "uniqueidentifier"}, {"BLOB", "varbinary"}, {"SYSNAME", "nvarchar"},
};

}  // namespace

const std::vector<SystemType>& systemTypes()
{
    static const std::vector<SystemType> types = {
        {"image", 34, 16, 0, 0},         {"text", 35, 16, 0, 0},          {"uniqueidentifier", 36, 16, 0, 0},
        {"date", 40, 3, 10, 0},          {"time", 41, 5, 16, 7},          {"datetime2", 42, 8, 27, 7},
        {"tinyint", 48, 1, 3, 0},        {"smallint", 52, 2, 5, 0},
        {"int", 56, 4, 10, 0},           {"smalldatetime", 58, 4, 16, 0}, {"real", 59, 4, 24, 0},
        {"money", 60, 8, 19, 4},         {"datetime", 61, 8, 23, 3},      {"float", 62, 8, 53, 0},
        {"sql_variant", 98, 8016, 0, 0}, {"ntext", 99, 16, 0, 0},         {"bit", 104, 1, 1, 0},
        {"decimal", 106, 17, 38, 38},    {"numeric", 108, 17, 38, 38},    {"smallmoney", 122, 4, 10, 4},
        {"bigint", 127, 8, 19, 0},       {"varbinary", 165, 8000, 0, 0},  {"varchar", 167, 8000, 0, 0},
        {"binary", 173, 8000, 0, 0},     {"char", 175, 8000, 0, 0},       {"nvarchar", 231, 8000, 0, 0},
        {"nchar", 239, 8000, 0, 0},
    };
    return types;
}

namespace {

SqlType parsedSqlType(const QString& declaredType)
{
    SqlType type;
    const QString text = declaredType.trimmed();
    const qsizetype paren = text.indexOf(QLatin1Char('('));
    QString base = (paren < 0 ? text : text.left(paren)).trimmed().toUpper();
    base = base.section(QLatin1Char(' '), 0, 0);  // "DOUBLE PRECISION", "INT NOT NULL"
    QStringList sizes;
    if (paren >= 0)
        sizes = text.mid(paren + 1).section(QLatin1Char(')'), 0, 0).split(QLatin1Char(','));
    QString name = base.toLower();
    for (const Alias& a : aliases) {
        if (base == QLatin1String(a.declared))
            name = QString::fromLatin1(a.name);
    }
    if (name == QLatin1String("text") && !sizes.isEmpty())  // Access's TEXT(n)
        name = QStringLiteral("varchar");
    const SystemType* system = nullptr;
    for (const SystemType& s : systemTypes()) {
        if (name == QLatin1String(s.name))
            system = &s;
    }
    if (!system)
        return type;
    type.name = name;
    type.systemTypeId = system->id;
    type.maxLength = system->maxLength;
    type.precision = system->precision;
    type.scale = system->scale;
    type.kind = kindOfDeclaredType(name);
    const bool sized = name.endsWith(QLatin1String("char")) || name.endsWith(QLatin1String("binary"));
    const bool wide = name.startsWith(QLatin1Char('n'));
    type.fixedLength = name == QLatin1String("char") || name == QLatin1String("nchar") || name == QLatin1String("binary");
    if (sized) {
        const QString size = sizes.isEmpty() ? QString() : sizes[0].trimmed();
        if (size.compare(QLatin1String("max"), Qt::CaseInsensitive) == 0 || size == QLatin1String("-1")) {
            type.length = -1;
            type.maxLength = -1;
        } else {
            type.length = size.isEmpty() ? 0 : size.toInt();
            type.maxLength = (type.length > 0 ? type.length : 1) * (wide ? 2 : 1);
        }
    } else if (name == QLatin1String("decimal") || name == QLatin1String("numeric")) {
        type.precision = sizes.isEmpty() ? 18 : sizes[0].trimmed().toInt();
        type.scale = sizes.size() < 2 ? 0 : sizes[1].trimmed().toInt();
        type.maxLength = type.precision <= 9 ? 5 : type.precision <= 19 ? 9 : type.precision <= 28 ? 13 : 17;
    }
    return type;
}

}  // namespace

SqlType parseSqlType(const QString& declaredType)
{
    // CONVERT and CAST name their type once per row: programs use few type names.
    thread_local QHash<QString, SqlType> parsed;
    const auto known = parsed.constFind(declaredType);
    if (known != parsed.constEnd())
        return *known;
    if (parsed.size() >= 256)
        parsed.clear();
    return *parsed.insert(declaredType, parsedSqlType(declaredType));
}

}  // namespace sqlserver
