// The picture reader and the ".six" split. An accepted picture has every
// pixel from the file: decoded onto a canvas of zeros and onto one of ones
// it comes out the same (a compressed BMP may skip pixels, which are then
// colour 0 by definition). A split gives six grey images, each one channel
// of one half of the file.
#include "alignment/six_file_reader.h"
#include "fuzz_check.h"
#include "fuzz_qt.h"
#include "platform/bmp_layout.h"
#include "platform/picture_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ensureQtApplication();
    const QByteArray bytes = inputBytes(data, size);
    const PictureRead zeros = decodePicture(bytes, QStringLiteral("fuzz"), 0x00);
    const PictureRead ones = decodePicture(bytes, QStringLiteral("fuzz"), 0xff);
    FUZZ_CHECK(zeros.ok() == ones.ok());
    if (!zeros.ok()) {
        FUZZ_CHECK(zeros.error.startsWith(QLatin1String("Cannot read the picture file fuzz.  ")));
        FUZZ_CHECK(zeros.error.endsWith(QLatin1Char('.')) && !zeros.error.endsWith(QLatin1String("..")));
        return 0;
    }
    const QImage &image = zeros.image;
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    const bool mayShowCanvas = bytes.startsWith("BM") && checkBmpLayout(bytes).runLength;
    if (!mayShowCanvas)
        FUZZ_CHECK(image == ones.image);

    const SixSplit split = splitSixImage(image, QStringLiteral("fuzz.six"));
    if (!split.ok())
        return 0;
    const int half = image.width() / 2;
    for (const QImage &part : split.images)
        FUZZ_CHECK(part.size() == QSize(half, image.height()));
    // Image 6 is the red of the left half, image 1 the green of the right.
    // Scan lines, not pixel(): a few bytes of RLE can stand for tens of
    // millions of pixels, and a per-pixel call made such inputs time out.
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const auto *six = reinterpret_cast<const QRgb *>(split.images[5].constScanLine(y));
        const auto *one = reinterpret_cast<const QRgb *>(split.images[0].constScanLine(y));
        for (int x = 0; x < half; ++x) {
            FUZZ_CHECK(qRed(six[x]) == qRed(row[x]) && qGreen(six[x]) == qRed(six[x]) && qBlue(six[x]) == qRed(six[x]));
            FUZZ_CHECK(qGreen(one[x]) == qGreen(row[half + x]) && qRed(one[x]) == qGreen(one[x]));
        }
    }
    return 0;
}
