#include "app_state.h"

void AppState::takeImageSet(const std::array<QImage, 6> &images)
{
    for (int i = 1; i <= 6; ++i)
        imageDCs[i] = images[i - 1];
    ++imageSet;
}

void AppState::releaseImageSet()
{
    for (int i = 1; i <= 6; ++i)
        imageDCs[i] = QImage();
}

void AppState::applyGeometry()
{
    if (imageSizeOption == 0) {
        imageWidth = imageHeight = imageMaxSide = 276;
        cropWidth = cropHeight = 256;
    } else if (imageSizeOption == 1) {
        imageWidth = imageHeight = imageMaxSide = 532;
        cropWidth = cropHeight = 512;
    }
}

void AppState::setAllOrigins(int16_t origin)
{
    for (int i = 6; i >= 1; --i) {
        alignX[i] = origin;
        alignY[i] = origin;
    }
}
