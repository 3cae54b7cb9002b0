#pragma once

#include "ZUL_Tools_VB.h"
#include "platform/card_image.h"

#include <QPoint>
#include <QWidget>
#include <array>

class PictureBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class Workstation;

// "Select Area": a snapshot of the whole video frame with the two grab
// areas outlined; OK makes the chosen one the capture window and the
// working geometry.
class frmSet : public QWidget {
    Q_OBJECT
public:
    explicit frmSet(Workstation &workstation, QWidget *parent = nullptr);

    void Form_Load();
    void Option1_Click(int index);
    void cmdFlexi_Click();
    void Command1_Click();

    // Picture units (768 across the frame) per snapshot pixel, and back.
    static constexpr double kPixelsPerUnit = 512.0 / 768.0;
    static QPoint toUnits(QPoint pixel);

    struct FlexiRect {
        QPoint start, end; // picture units
    };
    FlexiRect flexiRect() const { return flexiRect_; }
    bool flexiToggle() const { return flexiToggle_; }
    ZulHandle frameSnapshot() const { return frameSnapshot_.get(); }

    PictureBox *Picture1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    std::array<QRadioButton *, 3> Option1{};
    QPushButton *cmdFlexi = nullptr;
    QPushButton *Command1 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearPicture();
    void drawRubberBand(QPoint pixel);
    void pictureMousePressed(QPoint pixel);
    void pictureMouseMoved(QPoint pixel, Qt::MouseButtons buttons);
    void pictureMouseReleased(QPoint pixel);
    int selectedOption() const;

    Workstation &workstation_;
    ZulConfig areaConfig_{};
    CardImage frameSnapshot_;
    int lastResult_ = 0;
    bool snapshotDrawable_ = false; // the card steps ran without a failure
    FlexiRect flexiRect_;
    bool flexiToggle_ = false;
};
