#include "picture_file.h"

#include "bmp_layout.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cstdlib>
#include <cstring>

namespace {

// Far beyond any picture of a six-step set; a device or a runaway file
// must not be read into memory without end.
constexpr qint64 largestFile = qint64(256) << 20;
// The same bound for the picture once it is RGB32 in memory.
constexpr qint64 largestPicture = qint64(256) << 20;

const char *formatByContent(const QByteArray &bytes)
{
    if (bytes.startsWith("BM"))
        return "bmp";
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "png";
    if (bytes.startsWith(QByteArray("II*\0", 4)) || bytes.startsWith(QByteArray("MM\0*", 4)))
        return "tiff";
    if (bytes.size() >= 3 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6'
        && QByteArray(" \t\r\n").contains(bytes[2])) {
        static const char *const netpbm[] = {"pbm", "pgm", "ppm"};
        return netpbm[(bytes[1] - '1') % 3];
    }
    return nullptr;
}

QString withoutFinalStop(QString text)
{
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

PictureRead refused(const QString &fileName, const QString &reason)
{
    return {{}, QStringLiteral("Cannot read the picture file %1.  %2.").arg(fileName, withoutFinalStop(reason))};
}

} // namespace

PictureRead decodePicture(const QByteArray &bytes, const QString &fileName, uchar canvasByte)
{
    const char *format = formatByContent(bytes);
    if (!format)
        return refused(fileName, QStringLiteral("It is not a BMP, PNG, TIFF or netpbm picture"));
    if (qstrcmp(format, "bmp") == 0) {
        const BmpLayout layout = checkBmpLayout(bytes);
        if (!layout.ok())
            return refused(fileName, layout.problem);
    }

    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    QSize size = reader.size();
    // The BMP plug-in reports a top-down picture with its stored negative height.
    size.setHeight(std::abs(size.height()));
    if (!size.isValid())
        return refused(fileName, reader.errorString());
    if (qint64(size.width()) * size.height() * 4 > largestPicture)
        return refused(fileName, QStringLiteral("It is %1 x %2 pixels, more than this program takes")
                                     .arg(size.width())
                                     .arg(size.height()));
    // Decoders reuse a canvas of the size and format they are about to
    // make, so whatever they leave out reads as colour 0, never as old memory.
    QImage image(size, reader.imageFormat());
    if (!image.isNull())
        std::memset(image.bits(), canvasByte, size_t(image.sizeInBytes()));
    if (!reader.read(&image) || image.isNull())
        return refused(fileName, reader.errorString());
    // Paletted, 16-bit and alpha pictures all become plain 0xffRRGGBB; the
    // colour values themselves are kept as the file gives them.
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    return {image, {}};
}

PictureRead readPicture(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return refused(fileName, file.errorString());
    const QByteArray bytes = file.read(largestFile + 1);
    if (bytes.size() > largestFile)
        return refused(fileName, QStringLiteral("It is larger than %1 MB").arg(largestFile >> 20));
    return decodePicture(bytes, fileName);
}
