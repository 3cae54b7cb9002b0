#include "file_dialog_record.h"

#include <QDir>

FileDialogRecord fileDialogRecord(const QString &description, const QString &extension)
{
    FileDialogRecord record;
    record.filters = {{description, QStringLiteral("*.") + extension}};
    record.title = QStringLiteral("Choose file name");
    record.initialFolder = QDir::currentPath();
    record.defaultExtension = extension;
    return record;
}
