#pragma once

#include "file_dialog_record.h"

#include <QHash>
#include <QString>

// Where a file dialog starts: in the working folder, or where the operator
// last chose a file in the same dialog during this run. A dialog is known by
// what it asks for (open or save, and its filters), so the six image
// dialogs of a sequence are one dialog. A working folder changed since that
// choice wins, because changing it is the operator saying where work goes.
class StartFolders {
public:
    QString startFolder(const FileDialogRecord &record, bool save) const;
    void remember(const FileDialogRecord &record, bool save, const QString &chosenFile);

private:
    struct Choice {
        QString folder;
        QString workingFolder; // the working folder when the choice was made
    };
    static QString dialogKey(const FileDialogRecord &record, bool save);

    QHash<QString, Choice> choices_;
};
