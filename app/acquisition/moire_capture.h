#pragma once

#include <QImage>
#include <QString>
#include <array>

class ImageGrid;
class Workstation;

// "Grab Moiré Images": a reference grating image and an object image from
// the camera, written as one ".moi" for the moire analysis program, the
// reference in the red channel and the object in the green. The reference
// stays in the store (AppState::moireImage) between runs, so that later runs
// can take new objects against it; it can also come from an earlier ".moi".
class MoireCapture {
public:
    // `haveReference` is the main window's: true once the store holds a
    // reference.
    MoireCapture(Workstation &workstation, bool &haveReference);
    void run();

private:
    void runSteps();
    // False ends the run with nothing written.
    bool takeImage(const ImageGrid &grid, int index);
    bool readSavedReference();
    QImage capture();
    void compose();

    Workstation &workstation_;
    bool &haveReference_;
    QString fileName_;
    std::array<QImage, 2> images_; // reference and object, imageWidth x imageHeight
    std::array<bool, 2> skipped_{};
};
