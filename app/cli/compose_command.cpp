#include "compose_command.h"

#include "batch_command.h"
#include "acquisition/butterworth_filter.h"
#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "alignment/alignment_file.h"

#include <QCommandLineParser>

namespace {

constexpr double defaultCutOffRatio = 0.25;
} // namespace

int runComposeCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    BatchCommand command(QStringLiteral("isostepbmp compose"), out, err);
    QCommandLineParser &parser = command.parser();
    parser.setApplicationDescription(QStringLiteral(
        "Composes six phase-stepped images into one .six file, as the reflection or transmission "
        "sequence does, with every crop origin at (10, 10) unless an alignment file gives them."));
    const QCommandLineOption layoutOption(QStringLiteral("layout"),
                                          QStringLiteral("The sequence whose layout to write: reflection or transmission."),
                                          QStringLiteral("layout"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("The .six file to write."),
                                          QStringLiteral("file"));
    const QCommandLineOption filterOption(QStringLiteral("filter"),
                                          QStringLiteral("Smooths every image with the Butterworth filter."));
    const QCommandLineOption cutOffOption(QStringLiteral("cutoff"),
                                          QStringLiteral("The filter's cut-off ratio, 0 < R < 1 (default 0.25)."),
                                          QStringLiteral("R"));
    const QCommandLineOption i46Option(QStringLiteral("i46"),
                                       QStringLiteral("Also writes the dark and light field images as OUT_i46.bmp."));
    const QCommandLineOption i4Option(QStringLiteral("i4"), QStringLiteral("Also writes the dark field image as OUT_i4.bmp."));
    const QCommandLineOption i6Option(QStringLiteral("i6"), QStringLiteral("Also writes the light field image as OUT_i6.bmp."));
    const QCommandLineOption originsOption(
        QStringLiteral("origins"),
        QStringLiteral("Cuts each image at the crop origin of an alignment file (reflection only)."),
        QStringLiteral("FILE.sal"));
    parser.addOptions({layoutOption, outputOption, originsOption, filterOption, cutOffOption, i46Option,
                       i4Option, i6Option});
    parser.addPositionalArgument(QStringLiteral("IMAGE1 ... IMAGE6"),
                                 QStringLiteral("The six picture files, in the order the sequence takes them."));

    if (const auto answered = command.parse(arguments))
        return *answered;

    SixLayout layout = SixLayout::Reflection;
    const QString layoutName = parser.value(layoutOption);
    if (!parser.isSet(layoutOption))
        return command.usageError(QStringLiteral("--layout reflection or --layout transmission is required."));
    if (layoutName == QLatin1String("reflection"))
        layout = SixLayout::Reflection;
    else if (layoutName == QLatin1String("transmission"))
        layout = SixLayout::Transmission;
    else
        return command.usageError(QStringLiteral("Unknown layout \"%1\": use reflection or transmission.").arg(layoutName));

    // The transmission sequence always cuts at (10, 10); an alignment given
    // with it would be silently ignored.
    if (parser.isSet(originsOption) && layout != SixLayout::Reflection)
        return command.usageError(QStringLiteral("--origins applies to the reflection layout only."));

    const QString output = parser.value(outputOption);
    if (!parser.isSet(outputOption) || output.isEmpty())
        return command.usageError(QStringLiteral("--output OUT.six is required."));
    // The companions are named by cutting the last four characters, which
    // only makes sense for a ".six" name.
    if (!output.endsWith(QLatin1String(".six"), Qt::CaseInsensitive) || output.size() <= 4)
        return command.usageError(QStringLiteral("The output file \"%1\" must be named *.six.").arg(output));

    double cutOffRatio = defaultCutOffRatio;
    if (parser.isSet(cutOffOption)) {
        bool number = false;
        cutOffRatio = parser.value(cutOffOption).toDouble(&number);
        if (!number || !(cutOffRatio > 0.0 && cutOffRatio < 1.0))
            return command.usageError(QStringLiteral("The cut-off ratio \"%1\" must be a number between 0 and 1.")
                                       .arg(parser.value(cutOffOption)));
    }

    const QStringList files = parser.positionalArguments();
    if (files.size() != 6)
        return command.usageError(QStringLiteral("Six image files are needed, %1 given.").arg(files.size()));

    AlignmentOrigins origins;
    for (int i = 1; i <= 6; ++i)
        origins.x[i] = origins.y[i] = 10;
    if (parser.isSet(originsOption)) {
        const AlignmentRead read = readAlignmentFile(parser.value(originsOption));
        if (!read.ok()) {
            return command.fail(read.error);
        }
        origins = read.origins;
    }

    WorkingImages set(layout);
    for (int number = 1; number <= 6; ++number) {
        const QString problem = set.take(number, files[number - 1]);
        if (!problem.isEmpty()) {
            return command.fail(problem);
        }
    }
    if (parser.isSet(filterOption)) {
        for (int number = 1; number <= 6; ++number)
            ButterworthFilter(set.image(number), cutOffRatio);
    }

    CompositeRequest request = set.request();
    request.fileName = output;
    for (int i = 1; i <= 6; ++i)
        request.origins[i - 1] = QPoint(origins.x[i], origins.y[i]);
    request.saveI46 = parser.isSet(i46Option);
    request.saveI4 = parser.isSet(i4Option);
    request.saveI6 = parser.isSet(i6Option);

    // Every file is formed in memory and the set is written all or nothing,
    // so a failure never leaves a partial ".six" or a stray companion.
    const CompositeOutput composite = buildComposite(request);
    if (!composite.ok()) {
        return command.fail(composite.error);
    }
    const QString writeError = writeComposite(composite);
    if (!writeError.isEmpty()) {
        return command.fail(writeError);
    }
    for (const QString &message : composite.messages)
        out << message << '\n';
    out.flush();
    return 0;
}
