#include "runtime/Ini.h"

#include <QFile>
#include <QStringDecoder>

namespace vb {

namespace {

// The platform's reader hands back at most 254 characters (a 255-character buffer with its terminator).
constexpr int MaxValueLength = 254;

// A byte-order mark says UTF-16 or UTF-8; without one the file is 8-bit text, read as UTF-8 when it is valid
// UTF-8, otherwise as Latin-1 (the printable range of Windows-1252 that configuration files use).
QString decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(QByteArrayView(bytes).sliced(2));
    const QByteArrayView data = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(data);
}

// Surrounding blanks go; a value wholly between matching quotes loses them, as the platform's reader does.
QString cleanValue(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2) {
        QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value.left(MaxValueLength);
}

}  // namespace

IniFile::IniFile(const QString& iniPath)
{
    QFile file(iniPath);
    if (!file.exists() && iniPath.contains(QLatin1Char('\\')))
        file.setFileName(QString(iniPath).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = decode(file.readAll());
    QHash<QString, QString>* section = nullptr;
    for (qsizetype at = 0; at <= text.size();) {
        qsizetype end = at;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QStringView rawLine = QStringView(text).sliced(at, end - at);
        at = end + (QStringView(text).mid(end, 2) == u"\r\n" ? 2 : 1);
        const QStringView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = &m_values[line.mid(1, close < 0 ? -1 : close - 1).trimmed().toString().toLower()];
            m_sectionLines << rawLine.toString();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!section || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toString().toLower();
        if (!section->contains(key))
            section->insert(key, cleanValue(line.mid(eq + 1).toString()));
    }
}

QString IniFile::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    const auto found = m_values.constFind(section.trimmed().toLower());
    if (found != m_values.constEnd()) {
        const auto value = found->constFind(key.trimmed().toLower());
        if (value != found->constEnd())
            return *value;
    }
    return defaultValue.left(MaxValueLength);
}

QString ReadIniValue(const QString& section, const QString& key, const QString& iniPath, const QString& defaultValue)
{
    return IniFile(iniPath).value(section, key, defaultValue);
}

}  // namespace vb
