#include "composite_writer.h"

#include "acquisition/channel_packing.h"
#include "platform/bmp_file.h"
#include "platform/operator.h"
#include "platform/raster.h"

#include <algorithm>

namespace {

constexpr QRgb black = 0xff000000u;
constexpr QRgb redChannel = 0x00ff0000u;
constexpr QRgb greenChannel = 0x0000ff00u;
constexpr QRgb blueChannel = 0x000000ffu;
const QPoint centredOrigin(10, 10);

struct ChannelSource {
    int image; // 1..6
    QRgb channel;
};

// Red, green and blue of the left tile, then of the right tile.
struct Layout {
    std::array<ChannelSource, 3> left;
    std::array<ChannelSource, 3> right;
};

const Layout &layoutTable(SixLayout layout)
{
    static const Layout reflection{{{{6, redChannel}, {4, greenChannel}, {2, blueChannel}}},
                                   {{{5, redChannel}, {1, greenChannel}, {3, blueChannel}}}};
    static const Layout transmission{{{{1, redChannel}, {2, greenChannel}, {3, blueChannel}}},
                                     {{{4, redChannel}, {5, greenChannel}, {6, blueChannel}}}};
    return layout == SixLayout::Reflection ? reflection : transmission;
}

// The transmission sequence always cuts its images at (10, 10): its files
// are unshifted, whatever an earlier reflection run left in the origins.
std::array<QPoint, 6> effectiveOrigins(const CompositeRequest &request)
{
    if (request.layout == SixLayout::Reflection)
        return request.origins;
    std::array<QPoint, 6> origins;
    origins.fill(centredOrigin);
    return origins;
}

QImage rgb32(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

// One channel of one image as it lands in a tile row: where it starts in
// the source and which tile columns it covers.
struct ChannelRow {
    const QRgb *source = nullptr; // pixel for tile column 0, or null for a black row
    int firstX = 0;
    int endX = 0;
    QRgb channel = 0;
};

// A source's pixels, read row by row without a call into the image each
// time: a composite takes three thousand rows.
struct SourcePixels {
    const uchar *bits = nullptr;
    qsizetype bytesPerLine = 0;
    int width = 0;
    int height = 0;
};

SourcePixels pixelsOf(const QImage &image)
{
    return {image.constBits(), image.bytesPerLine(), image.width(), image.height()};
}

ChannelRow channelRow(const SourcePixels &image, QPoint origin, QRgb channel, int y, int cropWidth)
{
    ChannelRow row;
    row.channel = channel;
    const int sourceY = y + origin.y();
    if (sourceY < 0 || sourceY >= image.height)
        return row;
    row.firstX = std::max(0, -origin.x());
    row.endX = std::min(cropWidth, image.width - origin.x());
    if (row.firstX >= row.endX)
        return row;
    row.source = reinterpret_cast<const QRgb *>(image.bits + sourceY * image.bytesPerLine) + origin.x();
    return row;
}

// Fills one tile row from its three channels, red, green and blue in that
// order. This is what MERGECOPY into a black channel surface followed by
// SRCPAINT into a black composite gives, done in one pass over the row.
void packTileRow(QRgb *out, int cropWidth, const std::array<ChannelRow, 3> &rows, VectorUnit unit)
{
    const bool whole = std::all_of(rows.begin(), rows.end(), [cropWidth](const ChannelRow &r) {
        return r.source && r.firstX == 0 && r.endX == cropWidth;
    });
    if (whole) {
        packChannelRow(out, rows[0].source, rows[1].source, rows[2].source, cropWidth, unit);
        return;
    }
    // Shifted past the source: what is not covered stays black.
    std::fill(out, out + cropWidth, black);
    for (const ChannelRow &row : rows) {
        if (!row.source)
            continue;
        for (int x = row.firstX; x < row.endX; ++x)
            out[x] |= row.source[x] & row.channel;
    }
}

QImage blackImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(black);
    return image;
}

// A companion tile is a plain copy of one image at its origin, on black.
void copyTile(QImage &target, int tileX, QSize crop, const QImage &source, QPoint origin)
{
    raster::bitBlt(target, tileX, 0, crop.width(), crop.height(), source, origin.x(), origin.y(), raster::Rop::SrcCopy);
}

} // namespace

QImage packSix(SixLayout layout, const std::array<QImage, 6> &images, QSize crop,
               const std::array<QPoint, 6> &origins)
{
    if (crop.width() <= 0 || crop.height() <= 0)
        return {};
    QImage composite(2 * crop.width(), crop.height(), QImage::Format_RGB32);
    if (composite.isNull())
        return {};
    const Layout &table = layoutTable(layout);
    std::array<QImage, 6> sources;
    std::array<SourcePixels, 6> pixels;
    for (int i = 0; i < 6; ++i) {
        sources[i] = rgb32(images[i]);
        pixels[i] = pixelsOf(sources[i]);
    }
    auto rowsOf = [&](const std::array<ChannelSource, 3> &tile, int y) {
        std::array<ChannelRow, 3> rows;
        for (int c = 0; c < 3; ++c)
            rows[c] = channelRow(pixels[tile[c].image - 1], origins[tile[c].image - 1], tile[c].channel, y, crop.width());
        return rows;
    };
    uchar *bits = composite.bits();
    const VectorUnit unit = widestVectorUnit();
    for (int y = 0; y < crop.height(); ++y) {
        auto *out = reinterpret_cast<QRgb *>(bits + y * composite.bytesPerLine());
        packTileRow(out, crop.width(), rowsOf(table.left, y), unit);
        packTileRow(out + crop.width(), crop.width(), rowsOf(table.right, y), unit);
    }
    return composite;
}

QString companionFileName(const QString &sixFileName, const QString &suffix)
{
    return sixFileName.left(sixFileName.size() - 4) + suffix;
}

CompositeOutput buildComposite(const CompositeRequest &request)
{
    CompositeOutput output;
    const QSize crop(request.cropWidth, request.cropHeight);
    if (request.imageWidth <= 0 || request.imageHeight <= 0 || crop.width() <= 0 || crop.height() <= 0) {
        output.error = QStringLiteral("Cannot compose %1: the images are %2 x %3 pixels and the crop %4 x %5.")
                           .arg(request.fileName)
                           .arg(request.imageWidth)
                           .arg(request.imageHeight)
                           .arg(request.cropWidth)
                           .arg(request.cropHeight);
        return output;
    }
    for (int i = 0; i < 6; ++i) {
        const QImage &image = request.images[i];
        if (image.width() != request.imageWidth || image.height() != request.imageHeight) {
            output.error = QStringLiteral("Cannot compose %1: image %2 is %3 x %4 pixels, not %5 x %6.")
                               .arg(request.fileName)
                               .arg(i + 1)
                               .arg(image.width())
                               .arg(image.height())
                               .arg(request.imageWidth)
                               .arg(request.imageHeight);
            return output;
        }
    }
    if (request.fileName.isEmpty()) {
        output.error = QStringLiteral("Cannot compose: no file name is given for the .six file.");
        return output;
    }
    const bool anyCompanion = request.saveI46 || request.saveI4 || request.saveI6;
    if (anyCompanion && request.fileName.size() < 4) {
        output.error = QStringLiteral("Cannot name the dark and light field files after %1: the name is too short.")
                           .arg(request.fileName);
        return output;
    }

    std::array<QImage, 6> images;
    for (int i = 0; i < 6; ++i)
        images[i] = rgb32(request.images[i]);
    const std::array<QPoint, 6> origins = effectiveOrigins(request);
    auto image = [&](int number) -> const QImage & { return images[number - 1]; };
    auto origin = [&](int number) { return origins[number - 1]; };

    output.files.push_back({request.fileName, packSix(request.layout, images, crop, origins)});

    // Reflection companions are the light-field image 6 and the dark-field
    // image 4. In the transmission layout images 1 and 2 sit where the
    // reflection file keeps 6 and 4 (left red, left green), and analysis
    // programs read channels by position, so image 1 stands in for the light
    // field and image 2 for the dark field.
    const bool reflection = request.layout == SixLayout::Reflection;
    const int lightField = reflection ? 6 : 1;
    const int darkField = reflection ? 4 : 2;
    const QString finished = QStringLiteral("Finished.  Written file as ") + request.fileName;

    if (request.saveI46) {
        QImage both = blackImage(2 * crop.width(), crop.height());
        copyTile(both, 0, crop, image(lightField), origin(lightField));
        copyTile(both, crop.width(), crop, image(darkField), origin(darkField));
        const QString name = companionFileName(request.fileName, QStringLiteral("_i46.bmp"));
        output.files.push_back({name, both});
        output.messages << finished + QStringLiteral(".  Dark and light field images saved as ") + name;
    }
    if (request.saveI4) {
        QImage dark = blackImage(crop.width(), crop.height());
        copyTile(dark, 0, crop, image(darkField), origin(darkField));
        const QString name = companionFileName(request.fileName, QStringLiteral("_i4.bmp"));
        output.files.push_back({name, dark});
        output.messages << finished + QStringLiteral(".  Dark field image saved as ") + name;
    }
    if (request.saveI6) {
        QImage light = blackImage(crop.width(), crop.height());
        copyTile(light, 0, crop, image(lightField), origin(lightField));
        const QString name = companionFileName(request.fileName, QStringLiteral("_i6.bmp"));
        output.files.push_back({name, light});
        output.messages << finished + QStringLiteral(".  Light field image saved as ") + name;
    }
    if (!anyCompanion)
        output.messages << finished;

    // The mask editor starts from this copy once the working images are gone.
    if (reflection) {
        output.maskImage = blackImage(request.imageWidth, request.imageHeight);
        raster::bitBlt(output.maskImage, 0, 0, request.imageWidth, request.imageHeight, image(6),
                       origin(6).x(), origin(6).y(), raster::Rop::SrcCopy);
    } else {
        output.maskImage = blackImage(crop.width(), crop.height());
        copyTile(output.maskImage, 0, crop, image(1), centredOrigin);
    }
    return output;
}

QString writeComposite(const CompositeOutput &output, QStringList *writtenFiles)
{
    FileBatch batch;
    for (const CompositeFile &file : output.files) {
        QByteArray bytes = encodeBmp24(file.image);
        if (bytes.isEmpty())
            return cannotWriteText(file.fileName, QStringLiteral("The picture is too large for a bitmap file"));
        batch.add(file.fileName, std::move(bytes));
    }
    const QString error = batch.commit();
    if (writtenFiles)
        *writtenFiles = batch.committed();
    return error;
}

CompositeResult ComposeSix(const CompositeRequest &request, Operator &op)
{
    CompositeResult result;
    result.finalStatus = request.layout == SixLayout::Reflection ? QStringLiteral("Done") : QStringLiteral("Finished");
    const CompositeOutput output = buildComposite(request);
    if (!output.ok()) {
        op.tell(output.error, compositeMessageTitle, Operator::Icon::Exclamation);
        return result;
    }
    result.maskImage = output.maskImage;
    const QString error = writeComposite(output, &result.writtenFiles);
    if (!error.isEmpty()) {
        op.tell(error, compositeMessageTitle, Operator::Icon::Exclamation);
        return result;
    }
    result.written = true;
    for (const QString &message : output.messages)
        op.tell(message, compositeMessageTitle, Operator::Icon::None);
    return result;
}
