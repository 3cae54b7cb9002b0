#pragma once

#include "composite_writer.h"
#include "platform/picture_file.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <algorithm>
#include <array>

// The smallest picture that still leaves a crop after the 10-pixel margin
// is cut from each side.
inline constexpr int smallestPictureSide = 21;

// The working image of one picture, imageSize large on black. A reflection
// picture gives its top-left imageSize - 20 pixels, placed inside the
// 10-pixel margin; a transmission picture is copied whole at (0, 0), so the
// composition's (10, 10) origin cuts the margin from the file itself.
QImage makeWorkingImage(const QImage &picture, SixLayout layout, QSize imageSize);

// The six working images of one sequence run. Image 1 fixes the geometry;
// the other five must match it, or they would be composed at a size they
// do not have.
class WorkingImages {
public:
    explicit WorkingImages(SixLayout layout) : layout_(layout) {}

    // Reads the picture for image `number` (1..6) and makes its working
    // image. Returns an empty string, or the operator's text naming the file
    // when the picture cannot be used; the set is then left as it was.
    QString take(int number, const QString &fileName);

    // Takes an already read picture (RGB32) as image `number`.
    QString takePicture(int number, const QImage &picture, const QString &fileName);

    SixLayout layout() const { return layout_; }
    int imageWidth() const { return imageSize_.width(); }
    int imageHeight() const { return imageSize_.height(); }
    int cropWidth() const { return imageSize_.width() - 20; }
    int cropHeight() const { return imageSize_.height() - 20; }
    int imageMaxSide() const { return std::max(imageSize_.width(), imageSize_.height()); }

    QImage &image(int number) { return images_[number - 1]; }
    const QImage &image(int number) const { return images_[number - 1]; }
    const std::array<QImage, 6> &images() const { return images_; }
    bool complete() const;

    // A request for the composite writer with this set's images and sizes;
    // origins, file name and companion options are the caller's.
    CompositeRequest request() const;

private:
    SixLayout layout_;
    QSize imageSize_;
    std::array<QImage, 6> images_;
};
