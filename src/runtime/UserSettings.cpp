#include "runtime/UserSettings.h"

#include "runtime/Err.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace vb {

namespace {

QString& folderOverride()
{
    static QString folder;
    return folder;
}

QString settingsFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/vorna");
}

std::unique_ptr<QSettings> openStore(const QString& appName)
{
    return std::make_unique<QSettings>(settingsFolder() + QLatin1Char('/') + appName + QStringLiteral(".ini"),
                                       QSettings::IniFormat);
}

QString findName(const QStringList& names, const QString& wanted)
{
    for (const QString& n : names)
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

// The stored spelling of a section, or empty when it does not exist.
QString findSection(QSettings& store, const QString& section)
{
    return findName(store.childGroups(), section);
}

void requireName(const QString& name)
{
    if (name.isEmpty())
        raiseError(ErrNo::InvalidProcedureCall);
}

void checkStatus(QSettings& store)
{
    store.sync();
    if (store.status() == QSettings::AccessError)
        raiseError(ErrNo::PathFileAccessError);
}

}  // namespace

QString GetSetting(const QString& appName, const QString& section, const QString& key, const QString& defaultValue)
{
    if (appName.isEmpty() || section.isEmpty() || key.isEmpty())
        return defaultValue;
    auto store = openStore(appName);
    const QString group = findSection(*store, section);
    if (group.isEmpty())
        return defaultValue;
    store->beginGroup(group);
    const QString name = findName(store->childKeys(), key);
    if (name.isEmpty())
        return defaultValue;
    const QVariant value = store->value(name);
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(const QString& appName, const QString& section, const QString& key, const QString& value)
{
    requireName(appName);
    requireName(section);
    requireName(key);
    QDir().mkpath(settingsFolder());
    auto store = openStore(appName);
    QString group = findSection(*store, section);
    store->beginGroup(group.isEmpty() ? section : group);
    QString name = findName(store->childKeys(), key);
    store->setValue(name.isEmpty() ? key : name, value);
    store->endGroup();
    checkStatus(*store);
}

void setUserSettingsFolder(const QString& folder)
{
    folderOverride() = folder;
}

}  // namespace vb
