#pragma once

#include "file_dialog_record.h"

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
    // An empty result means the operator cancelled.
    virtual std::optional<QString> chooseOpenFile(const FileDialogRecord &record) = 0;
    virtual std::optional<QString> chooseSaveFile(const FileDialogRecord &record) = 0;
};
