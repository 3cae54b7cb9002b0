#pragma once

#include <QList>
#include <QPair>
#include <QString>

// What the shared open/save dialog is told before each use: one record
// filled afresh by every command that asks for a file.
struct FileDialogRecord {
    // description, pattern; an empty pattern offers the files this system
    // can run (with the folders that lead to them), since programs here
    // carry no extension to match.
    QList<QPair<QString, QString>> filters;
    QString title;
    QString initialFolder; // set by the Operator, see StartFolders
    QString defaultExtension; // appended to a name typed without one
    QString initialFileName;  // the name the dialog offers; empty for none
    bool overwritePrompt = false;
    bool multiSelect = false;
};

// The record most commands fill: one filter "*.<extension>" under
// `description`, the title "Choose file name", and the filter's own
// extension for a name typed without one, so that the name is still a file
// of that kind.
FileDialogRecord fileDialogRecord(const QString &description, const QString &extension);
