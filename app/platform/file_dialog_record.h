#pragma once

#include <QList>
#include <QPair>
#include <QString>

// What the shared open/save dialog is told before each use: one record
// filled afresh by every command that asks for a file.
struct FileDialogRecord {
    QList<QPair<QString, QString>> filters; // description, pattern
    QString title;
    QString initialFolder;
    QString defaultExtension; // appended to a name typed without one
    bool overwritePrompt = false;
    bool multiSelect = false;
};
