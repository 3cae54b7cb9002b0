#include "settings_store.h"

#include "vb_conversions.h"

namespace {
QString keyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

SettingsStore::SettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("flexi"))
{
}

QString SettingsStore::text(const QString &section, const QString &key, const QString &fallback) const
{
    return settings_.value(keyPath(section, key), fallback).toString();
}

void SettingsStore::setText(const QString &section, const QString &key, const QString &value)
{
    settings_.setValue(keyPath(section, key), value);
}

bool SettingsStore::contains(const QString &section, const QString &key) const
{
    return settings_.contains(keyPath(section, key));
}

int16_t SettingsStore::integer(const QString &section, const QString &key, int16_t fallback) const
{
    if (!contains(section, key))
        return fallback;
    return vb::toInt16(text(section, key)).value_or(fallback);
}

bool SettingsStore::boolean(const QString &section, const QString &key, bool fallback) const
{
    if (!contains(section, key))
        return fallback;
    return vb::toBool(text(section, key)).value_or(fallback);
}

double SettingsStore::number(const QString &section, const QString &key, double fallback) const
{
    if (!contains(section, key))
        return fallback;
    return vb::toDouble(text(section, key)).value_or(fallback);
}
