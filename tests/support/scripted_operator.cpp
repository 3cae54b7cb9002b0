#include "scripted_operator.h"

Operator::Answer ScriptedOperator::ask(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    messages.push_back({true, text, title, buttons, icon});
    if (answers.empty()) {
        ++unscripted;
        return Answer::Cancel;
    }
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedOperator::tell(const QString &text, const QString &title, Icon icon)
{
    messages.push_back({false, text, title, Buttons::Ok, icon});
}

std::optional<QString> ScriptedOperator::nextFile(bool save, const FileDialogRecord &record)
{
    dialogs.push_back({save, record});
    if (files.empty()) {
        ++unscripted;
        return std::nullopt;
    }
    const QString file = files.front();
    files.pop_front();
    if (file.isNull())
        return std::nullopt;
    return file;
}

std::optional<QString> ScriptedOperator::showOpenDialog(const FileDialogRecord &record)
{
    return nextFile(false, record);
}

std::optional<QString> ScriptedOperator::showSaveDialog(const FileDialogRecord &record)
{
    return nextFile(true, record);
}

QStringList ScriptedOperator::texts() const
{
    QStringList all;
    for (const auto &message : messages)
        all << message.text;
    return all;
}
