#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

// The variables every window shares: the card switch, the working-image
// geometry and images, the crop origins, the options the commands read and
// the settings files. Arrays are indexed 1..6 by image number; element 0 is
// unused. The output name has an owner of its own (FileNaming); the live
// view's card records belong to the main window.
struct AppState {
    bool noCard = true;
    int16_t imageSizeOption = 0;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t cropWidth = 0;
    int32_t cropHeight = 0;
    int32_t imageMaxSide = 0;

    // The six working images. Who holds them follows from alignState: 0
    // nobody waits for them, 1 a sequence's set waits for the alignment
    // window's OK, 2 the alignment window read them from a ".six".
    std::array<QImage, 7> imageDCs;
    int16_t alignState = 0;
    // Counts the sets put into imageDCs, so that a window can tell the set
    // it shows from a newer one.
    int imageSet = 0;
    std::array<int16_t, 7> alignX{};
    std::array<int16_t, 7> alignY{};

    int16_t averageCount = 1;
    double cutOffRatio = 0.25;
    int16_t previewOn = 0;

    QString ondaraPath;
    QString sabelnPath;
    QString moireProgPath;
    QString captureIniPath;
    QString capTotalIniPath;
    QString dumpIniPath;

    QImage maskImage;  // maskImageDC / maskImageBitmap
    QImage moireImage; // moireDC / moireBitmap

    // True while a set of working images waits for the alignment window.
    bool setWaitsForAlignment() const { return alignState != 0; }
    // Puts six new working images in place as one set.
    void takeImageSet(const std::array<QImage, 6> &images);
    // Drops the working images.
    void releaseImageSet();

    // Sets the five geometry variables from the size option; any other
    // option leaves them as they are.
    void applyGeometry();
    void setAllOrigins(int16_t origin);
};
