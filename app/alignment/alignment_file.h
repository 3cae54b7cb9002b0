#pragma once

#include "platform/file_result.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

// The alignment file: six lines "x,y" with CR LF, the crop origins of
// images 1..6 in that order. Dialogs offer it as "*.sal".
struct AlignmentOrigins {
    std::array<int16_t, 7> x{}; // index 1..6
    std::array<int16_t, 7> y{};
};

struct AlignmentRead {
    AlignmentOrigins origins;
    QString error; // the operator's text naming the file, or empty
    bool ok() const { return error.isEmpty(); }
};

QByteArray formatAlignmentFile(const AlignmentOrigins &origins);

// Takes the first six lines and ignores anything after them. A file that
// cannot be read, has fewer than six lines, or has a line that is not two
// 16-bit integers separated by a comma gives an error and no origins.
AlignmentRead parseAlignmentFile(const QByteArray &contents, const QString &fileName);
AlignmentRead readAlignmentFile(const QString &fileName);

// Writes all six lines or, on failure, leaves any earlier file as it was.
FileResult writeAlignmentFile(const QString &fileName, const AlignmentOrigins &origins);
