#pragma once

#include <QString>

// Where the program's own files are. Run from the build folder, everything
// sits beside the program, as it always has. Installed, the capture library
// and the release notes come from the installed tree, found from the
// program's own folder so that a tree unpacked anywhere works, and the
// capture settings files belong to the user: an installed program's folder
// is not writable.
class ProgramFiles {
public:
    // The running program, and the user's configuration folder
    // ($XDG_CONFIG_HOME or ~/.config).
    static ProgramFiles ofThisProgram();
    ProgramFiles(const QString &programFolder, const QString &userConfigFolder);

    // True when the program's installed data folder lies where the install
    // puts it relative to the program.
    bool installed() const { return installed_; }

    // A path, or the bare library name for the run-time search path when an
    // installed tree has no library of its own beside it.
    QString captureLibrary() const;
    // The folder holding "new.rtf".
    QString releaseNotesFolder() const;
    // "capture.ini", "captotal.ini" or "dump.ini". Installed, the user's
    // folder for them is made on the way, since the capture library writes
    // into it but makes no folders.
    QString captureSettingsFile(const QString &name) const;

    // One line per file, for the operator who wants to know where things
    // are: its role, its path, and "(missing)" when it is not there.
    QString listing() const;

private:
    QString settingsFolder() const;

    QString programFolder_;
    QString userConfigFolder_;
    bool installed_ = false;
};
