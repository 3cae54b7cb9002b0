#include "compose_command.h"

#include "acquisition/butterworth_filter.h"
#include "acquisition/composite_writer.h"
#include "acquisition/working_images.h"
#include "alignment/alignment_file.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

constexpr int exitFailed = 1;
constexpr int exitUsage = 2;
constexpr double defaultCutOffRatio = 0.25;

const QString commandName = QStringLiteral("isostepbmp compose");

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

int runComposeCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Composes six phase-stepped images into one .six file, as the reflection or transmission "
        "sequence does, with every crop origin at (10, 10) unless an alignment file gives them."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Shows this help."));
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
    parser.addOptions({helpOption, layoutOption, outputOption, originsOption, filterOption, cutOffOption, i46Option,
                       i4Option, i6Option});
    parser.addPositionalArgument(QStringLiteral("IMAGE1 ... IMAGE6"),
                                 QStringLiteral("The six picture files, in the order the sequence takes them."));

    if (!parser.parse(QStringList{commandName} + arguments))
        return usageError(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        // The parser names the running program; the command word belongs there too.
        QString help = parser.helpText();
        help.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + commandName);
        out << help;
        out.flush();
        return 0;
    }

    SixLayout layout = SixLayout::Reflection;
    const QString layoutName = parser.value(layoutOption);
    if (!parser.isSet(layoutOption))
        return usageError(err, QStringLiteral("--layout reflection or --layout transmission is required."));
    if (layoutName == QLatin1String("reflection"))
        layout = SixLayout::Reflection;
    else if (layoutName == QLatin1String("transmission"))
        layout = SixLayout::Transmission;
    else
        return usageError(err, QStringLiteral("Unknown layout \"%1\": use reflection or transmission.").arg(layoutName));

    // The transmission sequence always cuts at (10, 10); an alignment given
    // with it would be silently ignored.
    if (parser.isSet(originsOption) && layout != SixLayout::Reflection)
        return usageError(err, QStringLiteral("--origins applies to the reflection layout only."));

    const QString output = parser.value(outputOption);
    if (!parser.isSet(outputOption) || output.isEmpty())
        return usageError(err, QStringLiteral("--output OUT.six is required."));
    // The companions are named by cutting the last four characters, which
    // only makes sense for a ".six" name.
    if (!output.endsWith(QLatin1String(".six"), Qt::CaseInsensitive) || output.size() <= 4)
        return usageError(err, QStringLiteral("The output file \"%1\" must be named *.six.").arg(output));

    double cutOffRatio = defaultCutOffRatio;
    if (parser.isSet(cutOffOption)) {
        bool number = false;
        cutOffRatio = parser.value(cutOffOption).toDouble(&number);
        if (!number || !(cutOffRatio > 0.0 && cutOffRatio < 1.0))
            return usageError(err, QStringLiteral("The cut-off ratio \"%1\" must be a number between 0 and 1.")
                                       .arg(parser.value(cutOffOption)));
    }

    const QStringList files = parser.positionalArguments();
    if (files.size() != 6)
        return usageError(err, QStringLiteral("Six image files are needed, %1 given.").arg(files.size()));

    AlignmentOrigins origins;
    for (int i = 1; i <= 6; ++i)
        origins.x[i] = origins.y[i] = 10;
    if (parser.isSet(originsOption)) {
        const AlignmentRead read = readAlignmentFile(parser.value(originsOption));
        if (!read.ok()) {
            complain(err, read.error);
            return exitFailed;
        }
        origins = read.origins;
    }

    WorkingImages set(layout);
    for (int number = 1; number <= 6; ++number) {
        const QString problem = set.take(number, files[number - 1]);
        if (!problem.isEmpty()) {
            complain(err, problem);
            return exitFailed;
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
        complain(err, composite.error);
        return exitFailed;
    }
    const QString writeError = writeComposite(composite);
    if (!writeError.isEmpty()) {
        complain(err, writeError);
        return exitFailed;
    }
    for (const QString &message : composite.messages)
        out << message << '\n';
    out.flush();
    return 0;
}
