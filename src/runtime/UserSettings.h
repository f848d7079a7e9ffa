#pragma once
// The per-user settings store: application / section / key -> text, read with a default. Kept as QSettings in
// IniFormat, one file "<folder>/<appName>.ini" with a group per section, where the folder is
// QStandardPaths::GenericConfigLocation + "/vorna" (~/.config/vorna), or the folder set with
// setUserSettingsFolder (tests). As the platform's registry branch: names match without regard to case (the
// stored spelling is kept), a missing section or key reads as the default, and SaveSetting with an empty name
// raises error 5.

#include <QString>

namespace vb {

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = {});
void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);

void setUserSettingsFolder(const QString& folder);

}  // namespace vb
