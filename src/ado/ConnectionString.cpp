#include "ado/ConnectionString.h"

#include "ado/AdoErrors.h"

#include <QStringList>

namespace ADODB {

namespace {

// Keys of ADO's providers and of ODBC, each line one key and its synonyms.
const std::vector<QStringList>& knownKeys()
{
    static const std::vector<QStringList> keys = {
        {"Provider"},
        {"Data Source", "Server", "Address", "Addr", "Network Address"},
        {"Initial Catalog", "Database"},
        {"User ID", "UID", "User"},
        {"Password", "PWD"},
        {"Network Library", "Network", "Net"},
        {"Connect Timeout", "Connection Timeout", "Timeout"},
        {"Persist Security Info"},
        {"Integrated Security", "Trusted_Connection"},
        {"Application Name", "App"},
        {"Workstation ID", "WSID"},
        {"Driver"},
        {"Dbq"},
        {"DSN"},
        {"Mode"},
        {"Extended Properties"},
    };
    return keys;
}

QStringList synonymsOf(const QString& key)
{
    for (const QStringList& names : knownKeys())
        if (names.contains(key, Qt::CaseInsensitive))
            return names;
    return {key};
}

[[noreturn]] void badFormat()
{
    raiseAdo(hresult::BadInitString, source::Connection);
}

// Reads a quoted or braced value starting at text[i] (the opening character); i ends after the closing one.
QString readEnclosed(const QString& text, qsizetype& i)
{
    const QChar open = text[i];
    const QChar close = open == u'{' ? QChar(u'}') : open;
    QString value;
    for (++i; i < text.size(); ++i) {
        if (text[i] != close) {
            value += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == close) {
            value += close;
            ++i;
        } else {
            ++i;
            return value;
        }
    }
    badFormat();
}

}  // namespace

ConnectionString::ConnectionString(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype equals = text.indexOf(u'=', i);
        const qsizetype semicolon = text.indexOf(u';', i);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            const qsizetype end = semicolon < 0 ? text.size() : semicolon;
            if (!text.mid(i, end - i).trimmed().isEmpty())
                badFormat();
            i = end + 1;
            continue;
        }
        const QString key = text.mid(i, equals - i).trimmed();
        if (key.isEmpty())
            badFormat();
        i = equals + 1;
        while (i < text.size() && text[i].isSpace())
            ++i;
        QString value;
        if (i < text.size() && (text[i] == u'"' || text[i] == u'\'' || text[i] == u'{')) {
            value = readEnclosed(text, i);
            while (i < text.size() && text[i] != u';') {
                if (!text[i].isSpace())
                    badFormat();
                ++i;
            }
        } else {
            const qsizetype end = text.indexOf(u';', i);
            value = text.mid(i, (end < 0 ? text.size() : end) - i).trimmed();
            i = end < 0 ? text.size() : end;
        }
        ++i;
        m_pairs.emplace_back(key, value);
    }
}

QString ConnectionString::value(const QString& key) const
{
    const QStringList names = synonymsOf(key);
    QString found;
    for (const auto& [name, value] : m_pairs)
        if (names.contains(name, Qt::CaseInsensitive))
            found = value;
    return found;
}

bool ConnectionString::contains(const QString& key) const
{
    const QStringList names = synonymsOf(key);
    for (const auto& pair : m_pairs)
        if (names.contains(pair.first, Qt::CaseInsensitive))
            return true;
    return false;
}

bool ConnectionString::sameKey(const QString& a, const QString& b)
{
    return synonymsOf(a).contains(b, Qt::CaseInsensitive);
}

QString ConnectionString::unknownKey() const
{
    for (const auto& pair : m_pairs) {
        bool known = false;
        for (const QStringList& names : knownKeys())
            known = known || names.contains(pair.first, Qt::CaseInsensitive);
        if (!known)
            return pair.first;
    }
    return {};
}

}  // namespace ADODB
