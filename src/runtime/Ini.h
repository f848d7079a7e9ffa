#pragma once
// The platform's INI reader: section and key names match without regard to case; a missing file, section or
// key reads as the default; values are cut to 254 characters. Files are read as the platform's reader reads
// them: UTF-16 with its byte-order mark (either order), UTF-8 (with or without its mark) or 8-bit text, lines
// ending in CR LF, LF or CR alone.

#include <QHash>
#include <QString>
#include <QStringList>

namespace vb {

// An INI file read once, for reading many keys of it.
class IniFile {
public:
    explicit IniFile(const QString& iniPath);

    QString value(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // The lines that open a section, as written (blanks kept), in the file's order.
    const QStringList& sectionLines() const { return m_sectionLines; }

private:
    QStringList m_sectionLines;
    QHash<QString, QHash<QString, QString>> m_values;  // lower-case section -> lower-case key -> first value
};

QString ReadIniValue(const QString& section, const QString& key, const QString& iniPath,
                     const QString& defaultValue = {});

}  // namespace vb
