#pragma once

#include "composite_writer.h"
#include "image_grid.h"
#include "working_images.h"

#include <optional>

class Workstation;

// The reflection and transmission sequences: name the output, gather six
// pictures into the six image windows, filter them on request, then compose
// (the reflection first asks how to align).
class SixStepSequence {
public:
    SixStepSequence(Workstation &workstation, SixLayout layout);
    void run();

private:
    void runSteps();
    bool gather(int index);
    bool chooseFile(int index);
    void probeSiblings();
    bool captureImage(int index);
    void recoverCard();
    void publishImages();
    void giveUpWaitingSet();
    void askAlignment();

    Workstation &workstation_;
    bool reflection_;
    std::optional<ImageGrid> grid_;
    bool named_ = false;
    bool published_ = false;
    bool autoRead_ = false;
    QString autoReadStem_;
    QString fileName_;
    WorkingImages images_;
};
