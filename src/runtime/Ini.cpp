#include "runtime/Ini.h"

#include <QFile>
#include <QStringDecoder>

namespace vb {

namespace {

// The platform's reader hands back at most 254 characters (a 255-character buffer with its terminator).
constexpr int MaxValueLength = 254;

// INI files of the workstation are 8-bit text; a file that is valid UTF-8 is read as such, otherwise as Latin-1
// (the printable range of Windows-1252 that configuration files use).
QString decode(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
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
    return value;
}

}  // namespace

QString ReadIniValue(const QString& section, const QString& key, const QString& iniPath, const QString& defaultValue)
{
    QFile file(iniPath);
    if (!file.exists() && iniPath.contains(QLatin1Char('\\')))
        file.setFileName(QString(iniPath).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue.left(MaxValueLength);

    const QString text = decode(file.readAll());
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    bool inSection = false;
    for (QStringView rawLine : QStringView(text).split(QLatin1Char('\n'))) {
        QStringView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            qsizetype close = line.indexOf(QLatin1Char(']'));
            QStringView name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(wantedSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(wantedKey, Qt::CaseInsensitive) == 0)
            return cleanValue(line.mid(eq + 1).toString()).left(MaxValueLength);
    }
    return defaultValue.left(MaxValueLength);
}

}  // namespace vb
