#include "split_command.h"

#include "alignment/six_file_reader.h"
#include "platform/bmp_file.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>

namespace {

constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

const QString commandName = QStringLiteral("isostepbmp split");

void complain(QTextStream &err, const QString &text)
{
    err << commandName << ": " << text << '\n';
    err.flush();
}

int usageError(QTextStream &err, const QString &text)
{
    complain(err, text);
    err << "Try '" << commandName << " --help'.\n";
    err.flush();
    return exitUsage;
}

} // namespace

int runSplitCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Splits a reflection .six file into its six grey images, image1.bmp to image6.bmp, "
        "each half the file's width by its height."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Shows this help."));
    parser.addOption(helpOption);
    parser.addPositionalArgument(QStringLiteral("IN.six"), QStringLiteral("The .six file to split."));
    parser.addPositionalArgument(QStringLiteral("OUTDIR"),
                                 QStringLiteral("The folder for image1.bmp .. image6.bmp; made when missing."));
    if (!parser.parse(QStringList{commandName} + arguments))
        return usageError(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        QString help = parser.helpText();
        help.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + commandName);
        out << help;
        out.flush();
        return 0;
    }
    const QStringList words = parser.positionalArguments();
    if (words.size() != 2)
        return usageError(err, QStringLiteral("A .six file and an output folder are needed, %1 given.").arg(words.size()));

    const SixSplit split = readSixFile(words[0]);
    if (!split.ok()) {
        complain(err, split.error);
        return exitFailed;
    }
    const QDir folder(words[1]);
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        complain(err, QStringLiteral("The folder %1 cannot be made.").arg(folder.path()));
        return exitFailed;
    }
    // All six or none, so a failed run never leaves a mixed set behind.
    FileBatch batch;
    for (int k = 1; k <= 6; ++k)
        batch.add(folder.filePath(QStringLiteral("image%1.bmp").arg(k)), encodeBmp24(split.images[k - 1]));
    const QString error = batch.commit();
    if (!error.isEmpty()) {
        complain(err, error);
        return exitFailed;
    }
    for (const QString &name : batch.committed())
        out << "Written " << name << '\n';
    out.flush();
    return 0;
}
