#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class Operator;

// Which sequence a ".six" file comes from. The file itself carries no tag:
// readers know the layout from the sequence that wrote it.
enum class SixLayout { Reflection, Transmission };

// Everything one composition needs, with no window in it, so the sequences,
// the alignment window and the command line all go through the same code.
struct CompositeRequest {
    SixLayout layout = SixLayout::Reflection;
    std::array<QImage, 6> images;   // images 1..6, each imageWidth x imageHeight
    int imageWidth = 0;
    int imageHeight = 0;
    int cropWidth = 0;
    int cropHeight = 0;
    // Crop origins of images 1..6 (alignX/alignY). The transmission layout
    // always cuts at (10, 10) and does not read them.
    std::array<QPoint, 6> origins{QPoint(10, 10), QPoint(10, 10), QPoint(10, 10),
                                  QPoint(10, 10), QPoint(10, 10), QPoint(10, 10)};
    QString fileName;               // the ".six" file (currentFileName)
    bool saveI46 = false;           // Check2
    bool saveI4 = false;            // Check4
    bool saveI6 = false;            // Check5
};

struct CompositeFile {
    QString fileName;
    QImage image;
};

// A composition formed in memory: the files to write, in the order they
// are written, and the texts the operator is shown once they are.
struct CompositeOutput {
    QString error;                  // set when the request cannot be composed
    std::vector<CompositeFile> files; // the ".six" first, then the companions
    QStringList messages;
    QImage maskImage;
    bool ok() const { return error.isEmpty(); }
};

struct CompositeResult {
    bool written = false;           // the ".six" and every companion are on disk
    QImage maskImage;               // maskImageDC's picture, for the mask editor
    QStringList writtenFiles;
    QString finalStatus;            // status panel 4: "Done", or "Finished" for transmission
};

// The title of every message the composite writer shows.
inline const QString compositeMessageTitle = QStringLiteral("Isostep");

// Packs six images into the 2 x cropWidth by cropHeight composite of the
// layout. Tile pixel (x, y) of the channel that holds image i is pixel
// (x, y) + origin(i) of image i; pixels the origin shifts outside image i
// are black in that channel.
QImage packSix(SixLayout layout, const std::array<QImage, 6> &images, QSize crop,
               const std::array<QPoint, 6> &origins);

// currentFileName without its last four characters, followed by `suffix`.
QString companionFileName(const QString &sixFileName, const QString &suffix);

// Forms the ".six", its companions, the messages and the mask image without
// touching the disk.
CompositeOutput buildComposite(const CompositeRequest &request);

// Writes every file of `output` or none of them; returns the operator's
// text naming the file that failed, or an empty string.
QString writeComposite(const CompositeOutput &output, QStringList *writtenFiles = nullptr);

// The composite writer: forms and writes the ".six" and the companions the
// request asks for and shows "Finished.  Written file as ..." for each.
// A failure is told to the operator by name and leaves earlier files alone.
CompositeResult ComposeSix(const CompositeRequest &request, Operator &op);
