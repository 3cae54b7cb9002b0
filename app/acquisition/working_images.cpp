#include "working_images.h"

#include "platform/raster.h"

namespace {

QString sizeText(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

} // namespace

QImage makeWorkingImage(const QImage &picture, SixLayout layout, QSize imageSize)
{
    QImage working(imageSize, QImage::Format_RGB32);
    working.fill(0xff000000u);
    if (layout == SixLayout::Reflection)
        raster::bitBlt(working, 10, 10, imageSize.width() - 20, imageSize.height() - 20, picture, 0, 0,
                       raster::Rop::SrcCopy);
    else
        raster::bitBlt(working, 0, 0, imageSize.width(), imageSize.height(), picture, 0, 0, raster::Rop::SrcCopy);
    return working;
}

QString WorkingImages::take(int number, const QString &fileName)
{
    const PictureRead read = readPicture(fileName);
    if (!read.ok())
        return read.error;
    return takePicture(number, read.image, fileName);
}

QString WorkingImages::takePicture(int number, const QImage &picture, const QString &fileName)
{
    if (number < 1 || number > 6)
        return QStringLiteral("There is no image %1 in a six-step set.").arg(number);
    const QSize size = picture.size();
    if (size.width() < smallestPictureSide || size.height() < smallestPictureSide)
        return QStringLiteral("The picture file %1 is %2 pixels.  An image must be at least %3 x %3 pixels.")
            .arg(fileName, sizeText(size))
            .arg(smallestPictureSide);
    if (number > 1) {
        if (!imageSize_.isValid())
            return QStringLiteral("Image 1 must be read before image %1.").arg(number);
        if (size != imageSize_)
            return QStringLiteral("The picture file %1 is %2 pixels, but image 1 is %3 pixels.  "
                                  "All six images must have the same size.")
                .arg(fileName, sizeText(size), sizeText(imageSize_));
    } else {
        // A new image 1 starts a new set; images of an earlier size must not
        // linger beside it.
        if (size != imageSize_)
            images_ = {};
        imageSize_ = size;
    }
    images_[number - 1] = makeWorkingImage(picture, layout_, imageSize_);
    return {};
}

bool WorkingImages::complete() const
{
    for (const QImage &image : images_) {
        if (image.isNull())
            return false;
    }
    return true;
}

CompositeRequest WorkingImages::request() const
{
    CompositeRequest request;
    request.layout = layout_;
    request.images = images_;
    request.imageWidth = imageWidth();
    request.imageHeight = imageHeight();
    request.cropWidth = cropWidth();
    request.cropHeight = cropHeight();
    return request;
}
