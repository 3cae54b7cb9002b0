#pragma once

#include "platform/operator.h"
#include "qt_printers.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

// Answers from queues and records everything shown, so a test can assert
// the exact texts and the order in which the operator saw them.
class ScriptedOperator : public Operator {
public:
    struct Message {
        bool question = false;
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
    };
    struct Dialog {
        bool save = false;
        FileDialogRecord record; // as shown: its start folder filled in
    };

    std::deque<Answer> answers;
    std::deque<QString> files; // a null QString stands for Cancel

    std::vector<Message> messages;
    std::vector<Dialog> dialogs;
    int beeps = 0;
    // Set when a question or dialog came with nothing scripted for it.
    int unscripted = 0;

    Answer ask(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    void tell(const QString &text, const QString &title, Icon icon) override;
    void beep() override { ++beeps; }

    QStringList texts() const;

protected:
    std::optional<QString> showOpenDialog(const FileDialogRecord &record) override;
    std::optional<QString> showSaveDialog(const FileDialogRecord &record) override;

private:
    std::optional<QString> nextFile(bool save, const FileDialogRecord &record);
};
