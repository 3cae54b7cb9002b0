#pragma once

#include <QString>

// The title and version the windows show; the build supplies the numbers.
inline QString applicationTitle()
{
    return QStringLiteral("Isostep");
}

// "Version " and major.minor.revision, as the splash and About show it.
inline QString applicationVersionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(ISOSTEP_VERSION_MAJOR)
        .arg(ISOSTEP_VERSION_MINOR)
        .arg(ISOSTEP_VERSION_PATCH);
}
