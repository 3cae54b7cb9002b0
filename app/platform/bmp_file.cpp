#include "bmp_file.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;

void put16(char *at, std::uint16_t value)
{
    at[0] = char(value & 0xff);
    at[1] = char(value >> 8);
}

void put32(char *at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char((value >> (8 * i)) & 0xff);
}

std::int64_t bmp24Size(std::int64_t width, std::int64_t height)
{
    const std::int64_t stride = (width * 3 + 3) & ~std::int64_t(3);
    return fileHeaderSize + infoHeaderSize + stride * height;
}

} // namespace

bool fitsBmp24(QSize size)
{
    return size.width() > 0 && size.height() > 0 && bmp24Size(size.width(), size.height()) <= 0x7fffffff;
}

QByteArray encodeBmp24(const QImage &image)
{
    if (image.isNull())
        return {};
    if (!fitsBmp24(image.size()))
        return {};
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const std::int64_t width = rgb.width();
    const std::int64_t height = rgb.height();
    const std::int64_t total = bmp24Size(width, height);
    const std::int64_t stride = (width * 3 + 3) & ~std::int64_t(3);
    const std::int64_t pixelBytes = stride * height;

    QByteArray bytes(qsizetype(total), '\0');
    char *p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, std::uint32_t(total));
    put32(p + 10, fileHeaderSize + infoHeaderSize);
    char *info = p + fileHeaderSize;
    put32(info + 0, infoHeaderSize);
    put32(info + 4, std::uint32_t(width));
    put32(info + 8, std::uint32_t(height)); // positive: bottom-up
    put16(info + 12, 1);                    // planes
    put16(info + 14, 24);                   // bits per pixel
    put32(info + 16, 0);                    // BI_RGB, no compression
    put32(info + 20, std::uint32_t(pixelBytes));
    // Resolution and colour counts stay 0: no physical size is known and
    // a 24-bit file has no colour table.

    char *pixels = p + fileHeaderSize + infoHeaderSize;
    for (std::int64_t y = 0; y < height; ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(int(height - 1 - y)));
        auto *out = reinterpret_cast<unsigned char *>(pixels + y * stride);
        for (std::int64_t x = 0; x < width; ++x) {
            out[3 * x + 0] = std::uint8_t(qBlue(in[x]));
            out[3 * x + 1] = std::uint8_t(qGreen(in[x]));
            out[3 * x + 2] = std::uint8_t(qRed(in[x]));
        }
        // The padding bytes are already zero.
    }
    return bytes;
}

bool saveBmp24(const QImage &image, const QString &fileName, QString *errorText)
{
    const QByteArray bytes = encodeBmp24(image);
    if (bytes.isEmpty()) {
        if (errorText)
            *errorText = cannotWriteText(fileName, QStringLiteral("The picture is empty or too large for a bitmap file"));
        return false;
    }
    FileBatch batch;
    batch.add(fileName, bytes);
    const QString error = batch.commit();
    if (errorText)
        *errorText = error;
    return error.isEmpty();
}
