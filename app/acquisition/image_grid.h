#pragma once

#include <QImage>
#include <QString>

class FrmImg;
class Workstation;

// Where the capture commands show their images: the image windows in three
// columns and two rows over the main window's picture area, each image
// fitted, centred, into a square a column wide.
class ImageGrid {
public:
    explicit ImageGrid(const Workstation &workstation);

    // Places image window `index` (1..6) in its cell, captions and shows it.
    void place(FrmImg *form, int index, const QString &caption) const;
    // Shows a working image fitted into its window; `maxSide` is the larger
    // side of the set's images.
    void drawFitted(FrmImg *form, const QImage &working, int maxSide) const;

private:
    int gridWidth_ = 0;  // twips
    int gridHeight_ = 0; // twips
};
