#include "six_file_reader.h"

#include "platform/picture_file.h"
#include "platform/raster.h"

namespace {

enum class Half { Left, Right };
enum class Channel { Red, Green, Blue };

struct SplitStep {
    Half half;
    Channel channel;
    int image;
};

// The order the images come out of the file, and where each one lives.
constexpr std::array<SplitStep, 6> splitTable = {{
    {Half::Left, Channel::Red, 6},
    {Half::Right, Channel::Red, 5},
    {Half::Left, Channel::Green, 4},
    {Half::Right, Channel::Blue, 3},
    {Half::Left, Channel::Blue, 2},
    {Half::Right, Channel::Green, 1},
}};

int channelValue(QRgb pixel, Channel channel)
{
    switch (channel) {
    case Channel::Red:
        return qRed(pixel);
    case Channel::Green:
        return qGreen(pixel);
    case Channel::Blue:
        return qBlue(pixel);
    }
    return 0;
}

QImage greyFromChannel(const QImage &file, QSize cell, Half half, Channel channel)
{
    QImage image(cell, QImage::Format_RGB32);
    const int offset = half == Half::Left ? 0 : cell.width();
    for (int y = 0; y < cell.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(file.constScanLine(y)) + offset;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < cell.width(); ++x) {
            const int v = channelValue(in[x], channel);
            out[x] = qRgb(v, v, v);
        }
    }
    return image;
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

} // namespace

SixSplit splitSixImage(const QImage &file, const QString &fileName)
{
    SixSplit split;
    const QSize size = file.size();
    if (size.width() % 2 != 0) {
        split.error = QStringLiteral("The file %1 is %2 pixels.  A .SIX file holds two halves side by side, "
                                     "so its width must be even.")
                          .arg(fileName, sizeText(size));
        return split;
    }
    if (size.width() < 2 * smallestSixCellSide || size.height() < smallestSixCellSide) {
        split.error = QStringLiteral("The file %1 is %2 pixels.  A .SIX file must be at least %3 x %4 pixels.")
                          .arg(fileName, sizeText(size))
                          .arg(2 * smallestSixCellSide)
                          .arg(smallestSixCellSide);
        return split;
    }
    split.file = file.format() == QImage::Format_RGB32 ? file : file.convertToFormat(QImage::Format_RGB32);
    split.cell = QSize(size.width() / 2, size.height());
    for (const SplitStep &step : splitTable)
        split.images[step.image - 1] = greyFromChannel(split.file, split.cell, step.half, step.channel);
    return split;
}

SixSplit readSixFile(const QString &fileName)
{
    const PictureRead read = readPicture(fileName);
    if (!read.ok()) {
        SixSplit split;
        split.error = read.error;
        return split;
    }
    return splitSixImage(read.image, fileName);
}

QImage workingImageFromCell(const QImage &cell)
{
    QImage working(cell.width() + 20, cell.height() + 20, QImage::Format_RGB32);
    working.fill(0xff000000u);
    raster::bitBlt(working, 10, 10, cell.width(), cell.height(), cell, 0, 0, raster::Rop::SrcCopy);
    return working;
}
