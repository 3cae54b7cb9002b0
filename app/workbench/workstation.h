#pragma once

#include "ZUL_Tools_VB.h"

#include <QSize>
#include <QString>

struct AppState;
class CardImage;
class CardLibrary;
class FileNaming;
class FrmImg;
class Operator;
class PictureBox;
class QTimer;

// The status bar panels the commands write to.
enum class StatusPanel {
    FileName = 2,        // the current file name
    Status = 4,          // what the running command is doing
    AlignmentSource = 7, // where the current alignment came from
};

// The option boxes of the left panel, Check1 to Check5.
enum class OptionBox {
    Filter = 1,  // apply the Butterworth filter
    SaveI46 = 2, // save the dark- and light-field images together
    AutoInc = 3, // number each capture's file name
    SaveI4 = 4,  // save the dark-field image
    SaveI6 = 5,  // save the light-field image
};

// The main window's hidden work pictures, Picture1 to Picture3.
enum class WorkPicture {
    Loaded = 1,    // receives each loaded picture; the live palette is realised here
    Composite = 2, // the composite; the capture windows realise their palette here
    Single = 3,    // one image of the composite
};

// What the sequences and windows of the features see of the main window:
// the shared state and the output name, the person at the bench, the card,
// the option boxes, the status panels, the image windows and work pictures,
// and the two commands they start. The main window implements it; tests
// put a light fake in its place.
class Workstation {
public:
    virtual ~Workstation() = default;

    virtual AppState &state() = 0;
    virtual FileNaming &naming() = 0;
    virtual Operator &op() = 0;

    // The capture library, and the live view's configuration, capture
    // window, last image and timer (Timer1).
    virtual CardLibrary &card() = 0;
    virtual ZulConfig &liveConfig() = 0;
    virtual ZulVideoWindow &currentWindow() = 0;
    virtual CardImage &liveImage() = 0;
    virtual QTimer &liveTimer() = 0;

    virtual bool optionSet(OptionBox box) const = 0;
    virtual void setStatusPanel(StatusPanel panel, const QString &text) = 0;

    // Image window 1..6, created hidden on first use; never null.
    virtual FrmImg *imageForm(int index) = 0;
    virtual PictureBox &workPicture(WorkPicture picture) = 0;
    // The inner size of the area the image windows share, in pixels.
    virtual QSize pictureAreaSize() const = 0;

    virtual void cmdPrev_Click() = 0;
    virtual void cmdAlign_Click() = 0;
};

// Sizes the work pictures to the current crop: Picture1 and Picture3 to one
// crop, Picture2 to two side by side, each with a 2-pixel border.
void sizeWorkPictures(Workstation &workstation);
