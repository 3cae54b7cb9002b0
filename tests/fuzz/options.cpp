// The stored options read from a damaged flexi.conf: a value converts by
// the program's rules or counts as absent, and what converts writes back
// as text that converts to the same value.
#include "fuzz_check.h"
#include "fuzz_qt.h"
#include "platform/settings_store.h"
#include "platform/vb_conversions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

void checkConversions(const SettingsStore &store, const QString &section, const QString &key)
{
    const QString text = store.text(section, key);
    const auto integer = vb::toInt16(text);
    FUZZ_CHECK(store.integer(section, key, -7) == integer.value_or(int16_t(-7)));
    if (integer)
        FUZZ_CHECK(vb::toInt16(QString::number(*integer)) == integer);
    const auto flag = vb::toBool(text);
    FUZZ_CHECK(store.boolean(section, key, true) == flag.value_or(true));
    FUZZ_CHECK(store.boolean(section, key, false) == flag.value_or(false));
    if (flag)
        FUZZ_CHECK(vb::toBool(vb::fromBool(*flag)) == flag);
    const auto number = vb::toDouble(text);
    const double stored = store.number(section, key, -0.5);
    FUZZ_CHECK(number ? (stored == *number || (std::isnan(stored) && std::isnan(*number))) : stored == -0.5);
    if (number && std::isfinite(*number)) {
        const QString written = vb::fromDouble(*number);
        const auto back = vb::toDouble(written);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(vb::fromDouble(*back) == written);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir *home = [] {
        auto *dir = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir->path()));
        return dir;
    }();
    static qint64 runs = 0;
    ensureQtApplication();
    const QString fileName = QDir(home->path()).filePath(QStringLiteral("flexi.conf"));
    {
        QFile file(fileName);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(inputBytes(data, size));
        // Settings files are cached by size and time; each input gets a time of its own.
        file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000 + ++runs), QFileDevice::FileModificationTime);
    }
    const SettingsStore store;
    FUZZ_CHECK(store.fileName() == fileName);
    QSettings listing(fileName, QSettings::IniFormat);
    for (const QString &section : listing.childGroups()) {
        listing.beginGroup(section);
        const QStringList keys = listing.childKeys();
        listing.endGroup();
        for (const QString &key : keys)
            checkConversions(store, section, key);
    }
    return 0;
}
