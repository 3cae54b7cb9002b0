#include "mask_command.h"

#include "masking/mask_point_file.h"
#include "masking/mask_render.h"
#include "platform/bmp_file.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

constexpr int exitFailed = 1;
constexpr int exitUsage = 2;
// The editor's tables and pictures are sized in 16-bit pixels.
constexpr int largestSide = 32767;

const QString commandName = QStringLiteral("isostepbmp mask");

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

int runMaskCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the mask of a background point file (.bgp) as a bitmap: black where background is masked, "
        "white where the specimen remains."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."));
    const QCommandLineOption pointsOption(QStringLiteral("points"), QStringLiteral("The point file to read."),
                                          QStringLiteral("file"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("The cell size, WIDTHxHEIGHT pixels."),
                                        QStringLiteral("size"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("The mask bitmap to write (.bng)."),
                                          QStringLiteral("file"));
    parser.addOptions({helpOption, pointsOption, sizeOption, outputOption});

    if (!parser.parse(QStringList{commandName} + arguments))
        return usageError(err, parser.errorText());
    if (parser.isSet(helpOption)) {
        QString help = parser.helpText();
        help.replace(QRegularExpression(QStringLiteral("^Usage: \\S+")), QStringLiteral("Usage: ") + commandName);
        out << help;
        out.flush();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(err, QStringLiteral("Unexpected argument \"%1\".").arg(parser.positionalArguments().first()));

    const QString points = parser.value(pointsOption);
    if (!parser.isSet(pointsOption) || points.isEmpty())
        return usageError(err, QStringLiteral("--points FILE.bgp is required."));
    const QString output = parser.value(outputOption);
    if (!parser.isSet(outputOption) || output.isEmpty())
        return usageError(err, QStringLiteral("--output OUT.bng is required."));
    if (!parser.isSet(sizeOption))
        return usageError(err, QStringLiteral("--size WIDTHxHEIGHT is required."));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(parser.value(sizeOption));
    const int width = size.hasMatch() ? size.captured(1).toInt() : 0;
    const int height = size.hasMatch() ? size.captured(2).toInt() : 0;
    if (width < 1 || height < 1 || width > largestSide || height > largestSide)
        return usageError(err, QStringLiteral("The size \"%1\" must be WIDTHxHEIGHT, each 1 to %2 pixels.")
                                   .arg(parser.value(sizeOption))
                                   .arg(largestSide));

    const mask_point_file::ReadResult read = mask_point_file::read(points);
    if (!read.ok()) {
        complain(err, read.error);
        return exitFailed;
    }
    const QImage mask = mask_render::combinedMask(read.areas, QSize(width, height));
    QString problem;
    if (!saveBmp24(mask, output, &problem)) {
        complain(err, problem);
        return exitFailed;
    }
    out << "Written mask of " << read.areas.maskAreaCount << " area(s) as " << output << '\n';
    out.flush();
    return 0;
}
