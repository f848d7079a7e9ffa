#pragma once
// A connection string as ADO reads it: "key=value" pairs separated by ";", keys without regard to case,
// values trimmed and optionally quoted ("..." or '...', the quote doubled inside) or braced ({...}, as ODBC
// driver names are). Keys have their usual synonyms: Server for Data Source, Database for Initial Catalog,
// UID and PWD for User ID and Password.

#include <QString>

#include <utility>
#include <vector>

namespace ADODB {

class ConnectionString {
public:
    // Raises the provider's "Format of the initialization string ..." error when a pair has no "=".
    explicit ConnectionString(const QString& text);

    // The value of `key` or of one of its synonyms (the last one given wins); empty when absent.
    QString value(const QString& key) const;
    bool contains(const QString& key) const;

    // The first key that neither ADO's providers nor ODBC know; empty when every key is known.
    QString unknownKey() const;

    const std::vector<std::pair<QString, QString>>& pairs() const { return m_pairs; }

    // Whether two keys name the same setting ("UID" and "User ID").
    static bool sameKey(const QString& a, const QString& b);

private:
    std::vector<std::pair<QString, QString>> m_pairs;
};

}  // namespace ADODB
