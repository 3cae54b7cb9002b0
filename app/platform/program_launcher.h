#pragma once

#include <QString>

// Starts the external analysis programs (and the system-information tool)
// from a command line and returns at once.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // On failure returns false and puts a reason in *error.
    virtual bool start(const QString &commandLine, QString *error) = 0;
};

class DetachedProcessLauncher : public ProgramLauncher {
public:
    bool start(const QString &commandLine, QString *error) override;
};
