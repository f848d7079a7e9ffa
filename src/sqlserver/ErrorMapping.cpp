#include "sqlserver/ErrorMapping.h"

#include "sqlserver/DdlRewrites.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QStringList>
#include <vector>

namespace sqlserver {

namespace {

constexpr long otherError = 50000;
// User functions prefix their message with this and the SQL Server number.
const QString functionErrorMark = QStringLiteral("\x01sqlserver:");

QString after(const QString& message, const QString& prefix)
{
    return message.mid(prefix.size()).trimmed();
}

QString withoutSchema(QString name)
{
    if (name.startsWith(QLatin1String("main."), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("temp."), Qt::CaseInsensitive))
        name = name.mid(5);
    return name;
}

QString lastPart(const QString& name)
{
    return name.section(QLatin1Char('.'), -1);
}

// "T.a, T.b" of a unique violation: the index of T over exactly those columns, and whether it is the key.
struct KeyIndex {
    QString name;
    bool primaryKey = false;
    bool constraint = false;
};

KeyIndex findKeyIndex(sqlite3* db, const QString& table, const QStringList& columns)
{
    KeyIndex found;
    sqlite3_stmt* list = nullptr;
    const QByteArray sql = "SELECT name, origin FROM pragma_index_list(?)";
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &list, nullptr) != SQLITE_OK)
        return found;
    const QByteArray tableUtf8 = table.toUtf8();
    sqlite3_bind_text(list, 1, tableUtf8.constData(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(list) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
        const QString origin = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(list, 1)));
        sqlite3_stmt* info = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_index_info(?) ORDER BY seqno", -1, &info, nullptr)
            != SQLITE_OK)
            continue;
        const QByteArray nameUtf8 = name.toUtf8();
        sqlite3_bind_text(info, 1, nameUtf8.constData(), -1, SQLITE_TRANSIENT);
        QStringList indexColumns;
        while (sqlite3_step(info) == SQLITE_ROW)
            indexColumns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info, 0)));
        sqlite3_finalize(info);
        if (indexColumns.join(QLatin1Char(',')).compare(columns.join(QLatin1Char(',')), Qt::CaseInsensitive) == 0) {
            found.name = name;
            found.primaryKey = origin == QLatin1String("pk") || name.startsWith(QLatin1String("PK_"), Qt::CaseInsensitive);
            found.constraint = origin != QLatin1String("c");
            break;
        }
    }
    sqlite3_finalize(list);
    return found;
}

ServerError uniqueViolation(int extendedCode, const QString& detail, const ErrorContext& c)
{
    // detail: "T.a, T.b"
    QString table;
    QStringList columns;
    for (const QString& part : detail.split(QLatin1Char(','))) {
        const QString item = part.trimmed();
        table = item.section(QLatin1Char('.'), 0, 0);
        columns << item.section(QLatin1Char('.'), 1);
    }
    const QString object = QStringLiteral("dbo.") + table;
    if (extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY)
        return ServerError(2627, QStringLiteral("Violation of PRIMARY KEY constraint 'PK_%1'. Cannot insert duplicate "
                                                "key in object '%2'.").arg(table, object));
    const KeyIndex index = c.db ? findKeyIndex(c.db, table, columns) : KeyIndex{};
    if (index.primaryKey)
        return ServerError(2627, QStringLiteral("Violation of PRIMARY KEY constraint '%1'. Cannot insert duplicate "
                                                "key in object '%2'.").arg(index.name, object));
    if (index.constraint)
        return ServerError(2627, QStringLiteral("Violation of UNIQUE KEY constraint '%1'. Cannot insert duplicate "
                                                "key in object '%2'.").arg(index.name, object));
    return ServerError(2601, QStringLiteral("Cannot insert duplicate key row in object '%1' with unique index '%2'.")
                                 .arg(object, index.name));
}

ServerError constraintError(int extendedCode, const QString& message, const ErrorContext& c)
{
    const QString verb = c.verb.isEmpty() ? QStringLiteral("INSERT") : c.verb;
    if (extendedCode == SQLITE_CONSTRAINT_UNIQUE || extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY)
        return uniqueViolation(extendedCode, after(message, QStringLiteral("UNIQUE constraint failed:")), c);
    if (extendedCode == SQLITE_CONSTRAINT_NOTNULL) {
        const QString detail = after(message, QStringLiteral("NOT NULL constraint failed:"));
        return ServerError(515, QStringLiteral("Cannot insert the value NULL into column '%1', table '%2.dbo.%3'; "
                                               "column does not allow nulls. %4 fails.")
                                    .arg(lastPart(detail), c.database, detail.section(QLatin1Char('.'), 0, 0), verb));
    }
    if (extendedCode == SQLITE_CONSTRAINT_FOREIGNKEY)
        return ServerError(547, QStringLiteral("The %1 statement conflicted with the FOREIGN KEY constraint. The "
                                               "conflict occurred in database \"%2\".").arg(verb, c.database));
    if (extendedCode == SQLITE_CONSTRAINT_CHECK && after(message, QStringLiteral("CHECK constraint failed:")) == lengthCheckName)
        return ServerError(8152, QStringLiteral("String or binary data would be truncated."));
    if (extendedCode == SQLITE_CONSTRAINT_CHECK)
        return ServerError(547, QStringLiteral("The %1 statement conflicted with the CHECK constraint \"%2\". The "
                                               "conflict occurred in database \"%3\".")
                                    .arg(verb, after(message, QStringLiteral("CHECK constraint failed:")), c.database));
    return ServerError(547, message);
}

ServerError fromMessage(const QString& message)
{
    struct Pattern {
        const char* regex;
        long number;
        const char* text;  // %1 is the first capture, %2 the second
    };
    static const Pattern patterns[] = {
        {R"re(^no such table: (.+)$)re", 208, "Invalid object name '%1'."},
        {R"re(^no such view: (.+)$)re", 208, "Invalid object name '%1'."},
        {R"re(^no such column: (.+)$)re", 207, "Invalid column name '%1'."},
        {R"re(^near "(.*)": syntax error$)re", 102, "Incorrect syntax near '%1'."},
        {R"re(^unrecognized token: "'(.*)"$)re", 105, "Unclosed quotation mark after the character string '%1'."},
        {R"re(^unrecognized token: "(.*)"$)re", 102, "Incorrect syntax near '%1'."},
        {R"re(^incomplete input$)re", 102, "Incorrect syntax near the end of the statement."},
        {R"re(^no such function: (.+)$)re", 195, "'%1' is not a recognized built-in function name."},
        {R"re(^wrong number of arguments to function (.+)\(\)$)re", 174,
         "The %1 function requires a different number of arguments."},
        {R"re(^ambiguous column name: (.+)$)re", 209, "Ambiguous column name '%1'."},
        {R"re(^no such collation sequence: (.+)$)re", 448, "Invalid collation '%1'."},
        {R"re(^(?:table|view) "?([^"]+)"? already exists$)re", 2714, "There is already an object named '%1' in the database."},
        {R"re(^index (.+) already exists$)re", 1913,
         "The operation failed because an index or statistics with name '%1' already exists."},
        {R"re(^duplicate column name: (.+)$)re", 2705,
         "Column names in each table must be unique. Column name '%1' is specified more than once."},
        {R"re(^no such index: (.+)$)re", 3701,
         "Cannot drop the index '%1', because it does not exist or you do not have permission."},
        {R"re(^table (.+) has \d+ columns but \d+ values were supplied$)re", 213,
         "Column name or number of supplied values does not match table definition."},
        {R"re(^(\d+) values for (\d+) columns$)re", 0, nullptr},
        {R"re(^Cannot add a (?:PRIMARY KEY|UNIQUE) column$)re", 4901,
         "ALTER TABLE only allows columns to be added that can contain nulls, or have a DEFAULT definition "
         "specified."},
        {R"re(^Cannot add a NOT NULL column with default value NULL$)re", 4901,
         "ALTER TABLE only allows columns to be added that can contain nulls, or have a DEFAULT definition "
         "specified."},
        // The session nests BEGIN TRANSACTION itself: this is a transaction begun on the connection behind its back.
        {R"re(^cannot start a transaction within a transaction$)re", 3988,
         "New transaction is not allowed because there are other threads running in the session."},
        {R"re(^cannot commit - no transaction is active$)re", 3902,
         "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION."},
        {R"re(^cannot rollback - no transaction is active$)re", 3903,
         "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION."},
        {R"re(^integer overflow$)re", 8115, "Arithmetic overflow error converting expression to data type int."},
        {R"re(^string or blob too big$)re", 8152, "String or binary data would be truncated."},
    };
    static const std::vector<QRegularExpression> compiled = [] {
        std::vector<QRegularExpression> list;
        for (const Pattern& p : patterns)
            list.emplace_back(QString::fromLatin1(p.regex));
        return list;
    }();
    for (size_t i = 0; i < std::size(patterns); ++i) {
        const Pattern& p = patterns[i];
        const QRegularExpressionMatch m = compiled[i].match(message);
        if (!m.hasMatch())
            continue;
        if (!p.text) {  // "N values for M columns"
            const bool moreColumns = m.captured(2).toInt() > m.captured(1).toInt();
            return moreColumns
                       ? ServerError(109, QStringLiteral("There are more columns in the INSERT statement than values "
                                                         "specified in the VALUES clause. The number of values in "
                                                         "the VALUES clause must match the number of columns "
                                                         "specified in the INSERT statement."))
                       : ServerError(110, QStringLiteral("There are fewer columns in the INSERT statement than values "
                                                         "specified in the VALUES clause. The number of values in "
                                                         "the VALUES clause must match the number of columns "
                                                         "specified in the INSERT statement."));
        }
        QString captured = withoutSchema(m.captured(1));
        if (p.number == 207)
            captured = lastPart(captured);
        QString text = QString::fromLatin1(p.text);
        if (text.contains(QLatin1String("%1")))
            text = text.arg(captured);
        return ServerError(p.number, text);
    }
    return ServerError(otherError, message);
}

}  // namespace

ServerError deadlockVictim(int spid)
{
    return ServerError(1205, QStringLiteral("Transaction (Process ID %1) was deadlocked on lock resources with "
                                            "another process and has been chosen as the deadlock victim. Rerun the "
                                            "transaction.").arg(spid));
}

void failFunction(sqlite3_context* context, long number, const QString& message)
{
    const QByteArray text = (functionErrorMark + QString::number(number) + QLatin1Char(':') + message).toUtf8();
    sqlite3_result_error(context, text.constData(), int(text.size()));
}

ServerError serverErrorFromSqlite(int resultCode, const ErrorContext& c)
{
    const QString message = c.db ? QString::fromUtf8(sqlite3_errmsg(c.db)) : QString::fromUtf8(sqlite3_errstr(resultCode));
    const int extended = c.db ? sqlite3_extended_errcode(c.db) : resultCode;
    if (message.startsWith(functionErrorMark)) {
        const QString rest = message.mid(functionErrorMark.size());
        return ServerError(rest.section(QLatin1Char(':'), 0, 0).toLong(), rest.section(QLatin1Char(':'), 1));
    }
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return deadlockVictim(c.spid);
    case SQLITE_CONSTRAINT:
        return constraintError(extended, message, c);
    case SQLITE_CORRUPT:
        return ServerError(824, QStringLiteral("SQL Server detected a logical consistency-based I/O error in database "
                                               "'%1': %2.").arg(c.database, message));
    case SQLITE_NOTADB:
        return ServerError(5172, QStringLiteral("The header for the file of database '%1' is not a valid database "
                                                "file header.").arg(c.database));
    case SQLITE_READONLY:
        return ServerError(3906, QStringLiteral("Failed to update database \"%1\" because the database is read-only.")
                                     .arg(c.database));
    case SQLITE_CANTOPEN:
        return ServerError(5120, QStringLiteral("Unable to open the physical file of database '%1': %2.")
                                     .arg(c.database, message));
    case SQLITE_FULL:
        return ServerError(1105, QStringLiteral("Could not allocate space for object in database '%1' because the "
                                                "'PRIMARY' filegroup is full.").arg(c.database));
    case SQLITE_IOERR:
        return ServerError(823, QStringLiteral("The operating system returned an error during a read or write of "
                                               "database '%1': %2.").arg(c.database, message));
    case SQLITE_NOMEM:
        return ServerError(701, QStringLiteral("There is insufficient system memory to run this query."));
    case SQLITE_RANGE:
        return ServerError(8178, QStringLiteral("The parameterized query expects a parameter which was not supplied."));
    case SQLITE_TOOBIG:
        return ServerError(8152, QStringLiteral("String or binary data would be truncated."));
    default:
        return fromMessage(message);
    }
}

}  // namespace sqlserver
