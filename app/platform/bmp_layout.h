#pragma once

#include <QByteArray>
#include <QString>

// What a BMP file says about itself, checked against what the file holds.
// The image decoder trusts the headers and fills a short file with whatever
// memory held, so every BMP is walked here before it is decoded.
struct BmpLayout {
    QString problem;         // why the file cannot be used; empty when it can
    bool runLength = false;  // RLE4 or RLE8: pixels the stream skips stay colour 0
    bool ok() const { return problem.isEmpty(); }
};

// `bytes` is the whole file.
BmpLayout checkBmpLayout(const QByteArray &bytes);
