#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <array>

// Splits a reflection ".six" back into its six grey images: each channel of
// each half is one image, by the same table the composite writer packs with.
// The alignment window and `isostepbmp split` both read files through here.
struct SixSplit {
    QImage file;                 // the whole file, RGB32
    QSize cell;                  // half the file's width by its height
    std::array<QImage, 6> images; // images 1..6, cell-sized, grey (red = green = blue)
    QString error;               // the operator's text naming the file, or empty
    bool ok() const { return error.isEmpty(); }
};

// The smallest file: each half must give a working image that holds the
// 100 x 100 area the window zooms into once the 10-pixel margin is added.
inline constexpr int smallestSixCellSide = 80;

SixSplit splitSixImage(const QImage &file, const QString &fileName);
SixSplit readSixFile(const QString &fileName);

// The working image of one split image: the image at (10, 10) of a black
// picture 20 pixels wider and higher.
QImage workingImageFromCell(const QImage &cell);
