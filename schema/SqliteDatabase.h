#pragma once
// A small owner of one SQLite database file for the demo data builders: statements with bound values,
// prepared once and kept. Failures throw std::runtime_error with SQLite's message and the statement.
//
// Bound values: a null QVariant is NULL; QDateTime and QDate are written 'YYYY-MM-DD HH:MM:SS'; QTime as a
// time of day on day 0 ('1899-12-30 HH:MM:SS'); bool as 0/1; numbers and text as themselves.

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace schema {

class SqliteDatabase {
public:
    explicit SqliteDatabase(const QString& path);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // True when the file holds no table yet.
    bool isEmpty();

    // Runs statements without values (several may be separated by ";").
    void executeScript(const QString& sql);
    // Runs one statement; returns the rowid of the last inserted row.
    qint64 run(const QString& sql, const QVariantList& values = {});
    // The rows of one query, each as its column values (NULL as a null QVariant).
    QList<QVariantList> rows(const QString& sql, const QVariantList& values = {});
    // The first column of the first row, or a null QVariant when there is no row.
    QVariant value(const QString& sql, const QVariantList& values = {});

private:
    sqlite3_stmt* prepared(const QString& sql, const QVariantList& values);
    [[noreturn]] void fail(const QString& sql);

    sqlite3* m_db = nullptr;
    QHash<QString, sqlite3_stmt*> m_statements;
};

}  // namespace schema
