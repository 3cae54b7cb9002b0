#pragma once

#include "composite_writer.h"
#include "working_images.h"

class MDIForm1;

// The reflection and transmission sequences: name the output, gather six
// pictures into the six image windows, filter them on request, then compose
// (the reflection first asks how to align).
class SixStepSequence {
public:
    SixStepSequence(MDIForm1 &window, SixLayout layout);
    void run();

private:
    void runSteps();
    bool gather(int index);
    bool chooseFile(int index);
    void probeSiblings();
    void drawFitted(int index);
    void drawLiveImage(QImage &working);
    void recoverCard();
    void askAlignment();

    MDIForm1 &window_;
    SixLayout layout_;
    bool reflection_;
    int gridWidth_ = 0;  // twips
    int gridHeight_ = 0; // twips
    bool autoRead_ = false;
    QString autoReadStem_;
    QString fileName_;
    WorkingImages images_;
};

// Composes the six working images of the main window at the current crop
// origins and, once written, releases them and keeps the mask image.
// Returns whether every file was written; otherwise the images stay.
bool composeWorkingImages(MDIForm1 &window, SixLayout layout);
