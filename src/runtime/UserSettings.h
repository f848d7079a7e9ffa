#pragma once
// The per-user settings store: application / section / key -> text, read with a default. Kept in one INI
// file per user under the user's configuration folder (QStandardPaths::AppConfigLocation's parent), or under
// the folder set with setUserSettingsFolder (tests).

#include <QString>

namespace vb {

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = {});
void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value);
void DeleteSetting(const QString& appName, const QString& section, const QString& key = {});

void setUserSettingsFolder(const QString& folder);

}  // namespace vb
