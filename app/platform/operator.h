#pragma once

#include "file_dialog_record.h"
#include "start_folders.h"

#include <QString>
#include <optional>

// Everything the program asks of or tells the person at the bench goes
// through here, so every command can run offscreen against a script.
class Operator {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Exclamation, Information, Question, Critical };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Operator() = default;

    virtual Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) = 0;
    virtual void tell(const QString &text, const QString &title, Icon icon) = 0;
    virtual void beep() = 0;

    // The dialog starts where StartFolders says, whatever folder the record
    // names, so the real dialog and a scripted one start alike. An empty
    // result means the operator cancelled.
    std::optional<QString> chooseOpenFile(const FileDialogRecord &record) { return choose(record, false); }
    std::optional<QString> chooseSaveFile(const FileDialogRecord &record) { return choose(record, true); }

protected:
    virtual std::optional<QString> showOpenDialog(const FileDialogRecord &record) = 0;
    virtual std::optional<QString> showSaveDialog(const FileDialogRecord &record) = 0;

private:
    std::optional<QString> choose(FileDialogRecord record, bool save)
    {
        record.initialFolder = startFolders_.startFolder(record, save);
        auto chosen = save ? showSaveDialog(record) : showOpenDialog(record);
        if (chosen)
            startFolders_.remember(record, save, *chosen);
        return chosen;
    }

    StartFolders startFolders_;
};
