#include "schema/SqliteDatabase.h"

#include <QDateTime>
#include <sqlite3.h>

#include <stdexcept>

namespace schema {

namespace {

QString dateTimeText(const QDateTime& value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A time of day alone sits on the platform's day 0, so adding it to a date adds only the time.
QString timeOfDayText(QTime value)
{
    return QStringLiteral("1899-12-30 ") + value.toString(QStringLiteral("HH:mm:ss"));
}

QString textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime: return dateTimeText(value.toDateTime());
    case QMetaType::QDate: return dateTimeText(value.toDate().startOfDay(Qt::UTC));
    case QMetaType::QTime: return timeOfDayText(value.toTime());
    default: return value.toString();
    }
}

void bind(sqlite3_stmt* statement, int index, const QVariant& value)
{
    bool invalidDate = (value.typeId() == QMetaType::QDateTime && !value.toDateTime().isValid())
                       || (value.typeId() == QMetaType::QDate && !value.toDate().isValid())
                       || (value.typeId() == QMetaType::QTime && !value.toTime().isValid());
    if (value.isNull() || invalidDate) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        sqlite3_bind_int(statement, index, value.toBool() ? 1 : 0);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(statement, index, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, index, value.toDouble());
        return;
    default: {
        QByteArray text = textOf(value).toUtf8();
        sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(statement, column));
    default:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                                 sqlite3_column_bytes(statement, column));
    }
}

}  // namespace

SqliteDatabase::SqliteDatabase(const QString& path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK) {
        QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close(m_db);
        throw std::runtime_error(("cannot open " + path + ": " + message).toStdString());
    }
    sqlite3_busy_timeout(m_db, 5000);
}

SqliteDatabase::~SqliteDatabase()
{
    for (sqlite3_stmt* statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    sqlite3_close(m_db);
}

bool SqliteDatabase::isEmpty()
{
    return value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'")).toInt() == 0;
}

void SqliteDatabase::executeScript(const QString& sql)
{
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

qint64 SqliteDatabase::run(const QString& sql, const QVariantList& values)
{
    sqlite3_stmt* statement = prepared(sql, values);
    int result = sqlite3_step(statement);
    while (result == SQLITE_ROW)
        result = sqlite3_step(statement);
    if (result != SQLITE_DONE)
        fail(sql);
    sqlite3_reset(statement);
    return sqlite3_last_insert_rowid(m_db);
}

QList<QVariantList> SqliteDatabase::rows(const QString& sql, const QVariantList& values)
{
    sqlite3_stmt* statement = prepared(sql, values);
    QList<QVariantList> result;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        QVariantList row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            row.append(columnValue(statement, column));
        result.append(row);
    }
    if (step != SQLITE_DONE)
        fail(sql);
    sqlite3_reset(statement);
    return result;
}

QVariant SqliteDatabase::value(const QString& sql, const QVariantList& values)
{
    QList<QVariantList> result = rows(sql, values);
    return result.isEmpty() || result.first().isEmpty() ? QVariant() : result.first().first();
}

sqlite3_stmt* SqliteDatabase::prepared(const QString& sql, const QVariantList& values)
{
    sqlite3_stmt*& statement = m_statements[sql];
    if (!statement) {
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
            m_statements.remove(sql);
            fail(sql);
        }
        if (!statement) {
            m_statements.remove(sql);
            throw std::runtime_error(("no statement in: " + sql.simplified()).toStdString());
        }
    }
    sqlite3_clear_bindings(statement);
    for (int i = 0; i < values.size(); ++i)
        bind(statement, i + 1, values.at(i));
    return statement;
}

void SqliteDatabase::fail(const QString& sql)
{
    QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    // A failed step leaves the statement to be reset before its next use.
    if (sqlite3_stmt* statement = m_statements.value(sql))
        sqlite3_reset(statement);
    throw std::runtime_error((message + " in: " + sql.simplified()).toStdString());
}

}  // namespace schema
