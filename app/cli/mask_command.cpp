#include "mask_command.h"

#include "batch_command.h"
#include "masking/mask_point_file.h"
#include "masking/mask_render.h"
#include "platform/bmp_file.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// The editor's tables and pictures are sized in 16-bit pixels.
constexpr int largestSide = 32767;
} // namespace

int runMaskCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    BatchCommand command(QStringLiteral("isostepbmp mask"), out, err);
    QCommandLineParser &parser = command.parser();
    parser.setApplicationDescription(QStringLiteral(
        "Writes the mask of a background point file (.bgp) as a bitmap: black where background is masked, "
        "white where the specimen remains."));
    const QCommandLineOption pointsOption(QStringLiteral("points"), QStringLiteral("The point file to read."),
                                          QStringLiteral("file"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("The cell size, WIDTHxHEIGHT pixels."),
                                        QStringLiteral("size"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("The mask bitmap to write (.bng)."),
                                          QStringLiteral("file"));
    parser.addOptions({pointsOption, sizeOption, outputOption});

    if (const auto answered = command.parse(arguments))
        return *answered;
    if (!parser.positionalArguments().isEmpty())
        return command.usageError(QStringLiteral("Unexpected argument \"%1\".").arg(parser.positionalArguments().first()));

    const QString points = parser.value(pointsOption);
    if (!parser.isSet(pointsOption) || points.isEmpty())
        return command.usageError(QStringLiteral("--points FILE.bgp is required."));
    const QString output = parser.value(outputOption);
    if (!parser.isSet(outputOption) || output.isEmpty())
        return command.usageError(QStringLiteral("--output OUT.bng is required."));
    if (!parser.isSet(sizeOption))
        return command.usageError(QStringLiteral("--size WIDTHxHEIGHT is required."));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(parser.value(sizeOption));
    const int width = size.hasMatch() ? size.captured(1).toInt() : 0;
    const int height = size.hasMatch() ? size.captured(2).toInt() : 0;
    if (width < 1 || height < 1 || width > largestSide || height > largestSide)
        return command.usageError(QStringLiteral("The size \"%1\" must be WIDTHxHEIGHT, each 1 to %2 pixels.")
                                   .arg(parser.value(sizeOption))
                                   .arg(largestSide));
    // A mask too large to write would be built in full before the writer
    // found out: gigabytes and many seconds for nothing.
    if (!fitsBmp24(QSize(width, height)))
        return command.usageError(QStringLiteral("The size \"%1\" makes a bitmap larger than 2 GB, which cannot be written.")
                                   .arg(parser.value(sizeOption)));

    const mask_point_file::ReadResult read = mask_point_file::read(points);
    if (!read.ok()) {
        return command.fail(read.error);
    }
    const QImage mask = mask_render::combinedMask(read.areas, QSize(width, height));
    QString problem;
    if (!saveBmp24(mask, output, &problem)) {
        return command.fail(problem);
    }
    out << "Written mask of " << read.areas.maskAreaCount << " area(s) as " << output << '\n';
    out.flush();
    return 0;
}
