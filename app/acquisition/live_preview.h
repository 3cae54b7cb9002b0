#pragma once

#include "ZUL_Tools_VB.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>

class CardImage;
class CardLibrary;
class FrmPrev;
class QWidget;
class Workstation;

// The preview command and the main window's live refresh, with the one
// preview window they drive.
class LivePreview {
public:
    LivePreview(Workstation &workstation, std::function<void(const QString &)> setPrevCaption, QWidget *windowParent);
    ~LivePreview();
    LivePreview(const LivePreview &) = delete;
    LivePreview &operator=(const LivePreview &) = delete;

    void cmdPrev_Click();
    void Timer1_Timer();

    // The preview window, made hidden on first use.
    FrmPrev &window();

private:
    void refresh();

    Workstation &workstation_;
    std::function<void(const QString &)> setPrevCaption_;
    QWidget *windowParent_;
    QPointer<FrmPrev> window_;
};

// The settings file read again, the card prepared with force and the
// default palette realised into the main window's Picture2: what the
// preview does when it starts, stops or its window closes, undoing any
// change made to the live configuration meanwhile, and what the moire and
// transmission captures do before their first picture.
void reapplyLiveSettings(Workstation &workstation);

// A snap of the live configuration, read out into `image` (the former one
// freed first). The results are the card's to keep; a failing card leaves
// the last picture.
void snapLiveImage(CardLibrary &card, ZulConfig &config, CardImage &image);

// Draws `image` unscaled at the top left of `picture` (made `pictureSize`,
// true colour, when it is not) and returns the part of the picture it
// covers.
QRect drawLiveImage(CardLibrary &card, const ZulConfig &config, const CardImage &image, QImage &picture,
                    QSize pictureSize);

// The red frame of the area the sequences keep: its top left corner at
// (10, 10), the crop wide and high.
void drawCropFrame(QImage &picture, QSize crop);
