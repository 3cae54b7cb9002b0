#pragma once

#include "ZUL_Tools_VB.h"

#include <QPoint>
#include <QWidget>
#include <array>

class MDIForm1;
class PictureBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

// "Select Area": a snapshot of the whole video frame with the two grab
// areas outlined; OK makes the chosen one the capture window and the
// working geometry.
class frmSet : public QWidget {
    Q_OBJECT
public:
    explicit frmSet(MDIForm1 &main, QWidget *parent = nullptr);
    ~frmSet() override;

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
    ZulHandle frameSnapshot() const { return frameSnapshot_; }

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

    MDIForm1 &main_;
    ZulConfig areaConfig_{};
    ZulHandle frameSnapshot_ = nullptr;
    int lastResult_ = 0;
    bool snapshotDrawable_ = false; // the card steps ran without a failure
    FlexiRect flexiRect_;
    bool flexiToggle_ = false;
};
