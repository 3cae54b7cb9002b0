#include "program_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The build names the installed layout as seen from the program's folder
// (ISOSTEP_LIBRARY_FROM_PROGRAM, ISOSTEP_DATA_FROM_PROGRAM) and the library's
// file with its interface version (ISOSTEP_CAPTURE_LIBRARY).
namespace {
const QString kLibraryName = QStringLiteral(ISOSTEP_CAPTURE_LIBRARY);

QString inFolder(const QString &folder, const QString &relative)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + relative);
}
} // namespace

ProgramFiles ProgramFiles::ofThisProgram()
{
    return ProgramFiles(QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

ProgramFiles::ProgramFiles(const QString &programFolder, const QString &userConfigFolder)
    : programFolder_(programFolder), userConfigFolder_(userConfigFolder),
      installed_(QFileInfo(inFolder(programFolder, QStringLiteral(ISOSTEP_DATA_FROM_PROGRAM))).isDir())
{
}

QString ProgramFiles::captureLibrary() const
{
    if (!installed_)
        return inFolder(programFolder_, kLibraryName);
    const QString beside = inFolder(programFolder_, QStringLiteral(ISOSTEP_LIBRARY_FROM_PROGRAM "/") + kLibraryName);
    return QFileInfo::exists(beside) ? beside : kLibraryName;
}

QString ProgramFiles::releaseNotesFolder() const
{
    return installed_ ? inFolder(programFolder_, QStringLiteral(ISOSTEP_DATA_FROM_PROGRAM)) : programFolder_;
}

QString ProgramFiles::settingsFolder() const
{
    return installed_ ? inFolder(userConfigFolder_, QStringLiteral("isostep")) : programFolder_;
}

QString ProgramFiles::captureSettingsFile(const QString &name) const
{
    const QString folder = settingsFolder();
    if (installed_)
        QDir().mkpath(folder);
    return inFolder(folder, name);
}

QString ProgramFiles::listing() const
{
    const auto line = [](const QString &role, const QString &path) {
        const bool found = !QDir::isAbsolutePath(path) || QFileInfo::exists(path);
        return role + QStringLiteral(": ") + QDir::toNativeSeparators(path)
               + (found ? QString() : QStringLiteral(" (missing)")) + QLatin1Char('\n');
    };
    QString text = line(QStringLiteral("capture library"), captureLibrary());
    text += line(QStringLiteral("release notes"), inFolder(releaseNotesFolder(), QStringLiteral("new.rtf")));
    for (const char *name : {"capture.ini", "captotal.ini", "dump.ini"})
        text += line(QLatin1String(name), inFolder(settingsFolder(), QLatin1String(name)));
    return text;
}
