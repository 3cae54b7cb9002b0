#pragma once

#include <QTemporaryDir>

// Points the per-user settings store at a fresh folder for one test, so
// tests never read or write the developer's own options.
class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    QString path() const { return dir_.path(); }
    QString configFile() const;

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};
