#include "split_command.h"

#include "batch_command.h"
#include "alignment/six_file_reader.h"
#include "platform/bmp_file.h"

#include <QCommandLineParser>
#include <QDir>

int runSplitCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    BatchCommand command(QStringLiteral("isostepbmp split"), out, err);
    QCommandLineParser &parser = command.parser();
    parser.setApplicationDescription(QStringLiteral(
        "Splits a reflection .six file into its six grey images, image1.bmp to image6.bmp, "
        "each half the file's width by its height."));
    parser.addPositionalArgument(QStringLiteral("IN.six"), QStringLiteral("The .six file to split."));
    parser.addPositionalArgument(QStringLiteral("OUTDIR"),
                                 QStringLiteral("The folder for image1.bmp .. image6.bmp; made when missing."));
    if (const auto answered = command.parse(arguments))
        return *answered;
    const QStringList words = parser.positionalArguments();
    if (words.size() != 2)
        return command.usageError(QStringLiteral("A .six file and an output folder are needed, %1 given.").arg(words.size()));

    const SixSplit split = readSixFile(words[0]);
    if (!split.ok()) {
        return command.fail(split.error);
    }
    const QDir folder(words[1]);
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        return command.fail(QStringLiteral("The folder %1 cannot be made.").arg(folder.path()));
    }
    // All six or none, so a failed run never leaves a mixed set behind.
    FileBatch batch;
    for (int k = 1; k <= 6; ++k)
        batch.add(folder.filePath(QStringLiteral("image%1.bmp").arg(k)), encodeBmp24(split.images[k - 1]));
    const QString error = batch.commit();
    if (!error.isEmpty()) {
        return command.fail(error);
    }
    for (const QString &name : batch.committed())
        out << "Written " << name << '\n';
    out.flush();
    return 0;
}
