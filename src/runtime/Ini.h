#pragma once
// The platform's INI reader: section and key names match without regard to case; a missing file, section or
// key reads as the default; values are cut to 254 characters.

#include <QString>

namespace vb {

QString ReadIniValue(const QString& section, const QString& key, const QString& iniPath,
                     const QString& defaultValue = {});

}  // namespace vb
