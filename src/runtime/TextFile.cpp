#include "runtime/TextFile.h"

#include "runtime/Err.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vb {

namespace {

// Windows-1252 by hand: Qt 6.4's QStringEncoder has no Windows-1252 on every build, so the code page is encoded
// here (Latin-1 plus the 0x80..0x9F block); characters outside the code page become "?", as the platform writes them.
char toWindows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    static constexpr char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i)
        if (high[i] != 0 && high[i] == c)
            return char(0x80 + i);
    return '?';
}

QByteArray encode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text.at(i + 1).unicode()))
            ++i;   // one character outside the code page, one "?"
        out.append(toWindows1252(c));
    }
    return out;
}

}  // namespace

qint64 AppendLines(const QString& path, const QStringList& lines)
{
    // Errors carry the platform's numbers and texts (no path in the text, as the platform's own).
    if (path.isEmpty())
        raiseError(ErrNo::BadFileNameOrNumber);
    QByteArray data;
    for (const QString& line : lines) {
        data += encode(line);
        data += "\r\n";
    }
    // Why a file cannot be opened is looked for only when it cannot: logs append an entry at a time.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        raiseError(QFileInfo(path).absoluteDir().exists() ? ErrNo::PathFileAccessError : ErrNo::PathNotFound);
    if (file.write(data) != data.size() || !file.flush())
        raiseError(ErrNo::PathFileAccessError);
    return file.size();
}

}  // namespace vb
