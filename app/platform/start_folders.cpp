#include "start_folders.h"

#include <QDir>
#include <QFileInfo>

QString StartFolders::dialogKey(const FileDialogRecord &record, bool save)
{
    QString key = save ? QStringLiteral("save") : QStringLiteral("open");
    for (const auto &[description, pattern] : record.filters)
        key += QLatin1Char('\n') + description + QLatin1Char('\t') + pattern;
    return key;
}

QString StartFolders::startFolder(const FileDialogRecord &record, bool save) const
{
    const QString working = QDir::currentPath();
    const auto choice = choices_.constFind(dialogKey(record, save));
    if (choice == choices_.cend() || choice->workingFolder != working || !QFileInfo(choice->folder).isDir())
        return working;
    return choice->folder;
}

void StartFolders::remember(const FileDialogRecord &record, bool save, const QString &chosenFile)
{
    const QString file = chosenFile.trimmed();
    if (file.isEmpty())
        return;
    choices_.insert(dialogKey(record, save), {QFileInfo(file).absolutePath(), QDir::currentPath()});
}
