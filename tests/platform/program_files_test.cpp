#include "platform/program_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString kLibrary = QStringLiteral(ISOSTEP_CAPTURE_LIBRARY);

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}
} // namespace

TEST(ProgramFiles, FromTheBuildFolderEverythingIsBesideTheProgram)
{
    QTemporaryDir temp;
    const QString build = temp.path() + "/build";
    const QString config = temp.path() + "/config";
    touch(build + "/" + kLibrary);
    touch(build + "/new.rtf");

    const ProgramFiles files(build, config);
    EXPECT_FALSE(files.installed());
    EXPECT_EQ(files.captureLibrary(), build + "/" + kLibrary);
    EXPECT_EQ(files.releaseNotesFolder(), build);
    EXPECT_EQ(files.captureSettingsFile("captotal.ini"), build + "/captotal.ini");
    EXPECT_EQ(files.listing(), "capture library: " + build + "/" + kLibrary + "\n"
                               "release notes: " + build + "/new.rtf\n"
                               "capture.ini: " + build + "/capture.ini (missing)\n"
                               "captotal.ini: " + build + "/captotal.ini (missing)\n"
                               "dump.ini: " + build + "/dump.ini (missing)\n");
    EXPECT_FALSE(QFileInfo::exists(config));
}

// The program in <prefix>/bin of a tree laid out as the install lays it.
TEST(ProgramFiles, InstalledTheSettingsFilesAreTheUsersAndTheLibraryComesFromTheTree)
{
    QTemporaryDir temp;
    const QString bin = temp.path() + "/usr/bin";
    const QString data = QDir::cleanPath(bin + "/" ISOSTEP_DATA_FROM_PROGRAM);
    const QString library = QDir::cleanPath(bin + "/" ISOSTEP_LIBRARY_FROM_PROGRAM "/" + kLibrary);
    const QString config = temp.path() + "/config";
    QDir().mkpath(bin);
    touch(data + "/new.rtf");
    touch(library);
    // Leftovers beside an installed program are not its files.
    touch(bin + "/" + kLibrary);
    touch(bin + "/capture.ini");

    const ProgramFiles files(bin, config);
    EXPECT_TRUE(files.installed());
    EXPECT_EQ(files.captureLibrary(), library);
    EXPECT_EQ(files.releaseNotesFolder(), data);
    const QString listing = "capture library: " + library + "\n"
                            "release notes: " + data + "/new.rtf\n"
                            "capture.ini: " + config + "/isostep/capture.ini (missing)\n"
                            "captotal.ini: " + config + "/isostep/captotal.ini (missing)\n"
                            "dump.ini: " + config + "/isostep/dump.ini (missing)\n";
    EXPECT_EQ(files.listing(), listing);
    EXPECT_FALSE(QFileInfo::exists(config)) << "asking where the files are makes no folder";

    // The capture library writes dump.ini but makes no folders, so handing
    // out a settings path makes the user's folder.
    EXPECT_EQ(files.captureSettingsFile("dump.ini"), config + "/isostep/dump.ini");
    EXPECT_TRUE(QFileInfo(config + "/isostep").isDir());

    // A tree without its own library leaves the search to the run-time
    // linker's path.
    QFile::remove(library);
    EXPECT_EQ(files.captureLibrary(), kLibrary);
    EXPECT_TRUE(files.listing().startsWith("capture library: " + kLibrary + "\n"));
}
