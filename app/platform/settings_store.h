#pragma once

#include <QSettings>
#include <QString>
#include <cstdint>

// The per-user options under "flexi": sections "options", "view" and
// "software", every value kept as text the way the original registry did.
class SettingsStore {
public:
    SettingsStore();

    QString text(const QString &section, const QString &key, const QString &fallback = QString()) const;
    void setText(const QString &section, const QString &key, const QString &value);

    // A stored value that does not convert is treated as absent, so a hand-
    // edited or damaged options file cannot stop the program from starting.
    int16_t integer(const QString &section, const QString &key, int16_t fallback) const;
    bool boolean(const QString &section, const QString &key, bool fallback) const;
    double number(const QString &section, const QString &key, double fallback) const;

    bool contains(const QString &section, const QString &key) const;
    void sync() { settings_.sync(); }
    QString fileName() const { return settings_.fileName(); }

private:
    mutable QSettings settings_;
};
