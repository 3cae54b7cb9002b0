#include "batch_command.h"

#include <QRegularExpression>

BatchCommand::BatchCommand(QString name, QTextStream &out, QTextStream &err)
    : name_(std::move(name)), out_(out), err_(err),
      help_({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."))
{
    parser_.addOption(help_);
}

std::optional<int> BatchCommand::parse(const QStringList &arguments)
{
    if (!parser_.parse(QStringList{name_} + arguments))
        return usageError(parser_.errorText());
    if (parser_.isSet(help_)) {
        // The parser names the running program; the command word belongs there too.
        QString help = parser_.helpText();
        help.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + name_);
        out_ << help;
        out_.flush();
        return 0;
    }
    return std::nullopt;
}

void BatchCommand::complain(const QString &text)
{
    err_ << name_ << ": " << text << '\n';
    err_.flush();
}

int BatchCommand::fail(const QString &text)
{
    complain(text);
    return exitFailed;
}

int BatchCommand::usageError(const QString &text)
{
    complain(text);
    err_ << "Try '" << name_ << " --help'.\n";
    err_.flush();
    return exitUsage;
}
