#include "temp_settings.h"

#include <QSettings>

TempSettings::TempSettings() : previous_(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
    // QSettings caches the user folder; make it read the new one.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
}

TempSettings::~TempSettings()
{
    qputenv("XDG_CONFIG_HOME", previous_);
}

QString TempSettings::configFile() const
{
    return dir_.path() + QStringLiteral("/flexi.conf");
}
