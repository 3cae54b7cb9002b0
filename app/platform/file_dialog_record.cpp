#include "file_dialog_record.h"

FileDialogRecord fileDialogRecord(const QString &description, const QString &extension)
{
    FileDialogRecord record;
    record.filters = {{description, QStringLiteral("*.") + extension}};
    record.title = QStringLiteral("Choose file name");
    record.defaultExtension = extension;
    return record;
}
