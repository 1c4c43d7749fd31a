#include "app/settingsstore.h"

#include "common/numbers.h"

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("KT-ED"), QStringLiteral("KT-ED")))
{
}

SettingsStore::SettingsStore(const QString &iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

QString SettingsStore::path(const QString &key) const
{
    return QStringLiteral("Settings/") + key;
}

bool SettingsStore::contains(const QString &key) const
{
    return m_settings->contains(path(key));
}

int SettingsStore::readInt(const QString &key, int defaultValue) const
{
    const QVariant v = m_settings->value(path(key));
    if (!v.isValid())
        return defaultValue;
    return static_cast<int>(LeadingNumber(v.toString()));
}

QString SettingsStore::readText(const QString &key, const QString &defaultValue) const
{
    const QVariant v = m_settings->value(path(key));
    return v.isValid() ? v.toString() : defaultValue;
}

void SettingsStore::writeInt(const QString &key, int value)
{
    m_settings->setValue(path(key), QString::number(value));
}

void SettingsStore::writeText(const QString &key, const QString &value)
{
    m_settings->setValue(path(key), value);
}

bool SettingsStore::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::location() const
{
    return m_settings->fileName();
}
