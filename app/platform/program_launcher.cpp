#include "program_launcher.h"

#include <QProcess>
#include <QStringList>

bool DetachedProcessLauncher::start(const QString &commandLine, QString *error)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        if (error)
            *error = QStringLiteral("No command line is set.");
        return false;
    }
    const QString program = words.takeFirst();
    if (!QProcess::startDetached(program, words)) {
        if (error)
            *error = QStringLiteral("\"%1\" could not be started.").arg(program);
        return false;
    }
    return true;
}
