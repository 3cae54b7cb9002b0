#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

// What every batch command shares: its exit codes, how it complains on
// standard error, and how it parses its words and answers --help.
class BatchCommand {
public:
    static constexpr int exitFailed = 1; // the data could not be read or written
    static constexpr int exitUsage = 2;  // the command's words are wrong

    BatchCommand(QString name, QTextStream &out, QTextStream &err);

    // Add the command's own options and arguments here before parse().
    QCommandLineParser &parser() { return parser_; }

    // Parses the words after the command's name. An exit code means the
    // command is already answered: its help was shown, or the words were wrong.
    std::optional<int> parse(const QStringList &arguments);

    int fail(const QString &text);
    int usageError(const QString &text);

private:
    void complain(const QString &text);

    QString name_;
    QTextStream &out_;
    QTextStream &err_;
    QCommandLineParser parser_;
    QCommandLineOption help_;
};
