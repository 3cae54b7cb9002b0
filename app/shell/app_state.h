#pragma once

#include "ZUL_Tools_VB.h"

#include <QImage>
#include <QString>
#include <array>
#include <cstdint>

// The variables every window shares: the card switch, the working-image
// geometry and images, the crop origins and the output name. Arrays are
// indexed 1..6 by image number; element 0 is unused.
struct AppState {
    bool noCard = true;
    int16_t imageSizeOption = 0;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t cropWidth = 0;
    int32_t cropHeight = 0;
    int32_t imageMaxSide = 0;

    std::array<QImage, 7> imageDCs;
    std::array<int16_t, 7> alignX{};
    std::array<int16_t, 7> alignY{};
    int16_t alignState = 0;

    QString currentFileName;
    bool fileNameFresh = false;

    int16_t averageCount = 1;
    double cutOffRatio = 0.25;
    int16_t previewOn = 0;
    int16_t screenBits = 0;

    QString ondaraPath;
    QString sabelnPath;
    QString moireProgPath;
    QString captureIniPath;
    QString capTotalIniPath;
    QString dumpIniPath;

    ZulConfig liveConfig{};
    ZulVideoWindow currentWindow{};
    ZulHandle liveImage = nullptr;

    QImage maskImage; // maskImageDC / maskImageBitmap
    QImage moireImage; // moireDC / moireBitmap

    // Sets the five geometry variables from the size option; any other
    // option leaves them as they are.
    void applyGeometry();
    void setAllOrigins(int16_t origin);
};
