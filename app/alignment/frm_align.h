#pragma once

#include "ZUL_Tools_VB.h"
#include "align_geometry.h"
#include "platform/card_image.h"
#include "platform/single_window.h"

#include <QWidget>
#include <array>
#include <cstdint>

class PictureBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class UpDown;
class Workstation;
struct AppState;

// The alignment window, captioned "Align": six images side by side, a red
// square to choose the area around a marker, zoomed views in which the
// operator puts a cross on the same marker in every image, and OK, which
// turns the crosses into crop origins and composes.
class frmAlign : public QWidget {
    Q_OBJECT
public:
    // Builds the controls and runs the load step.
    explicit frmAlign(Workstation &workstation, QWidget *parent = nullptr);
    ~frmAlign() override;

    // Key codes and the key-state mask as the handlers take them.
    enum KeyCode { KeyReturn = 13, KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40 };
    enum ShiftMask { ShiftKey = 1, CtrlKey = 2, AltKey = 4 };

    std::array<PictureBox *, 7> Picture1{}; // 1..6
    std::array<QLineEdit *, 7> Text1{};
    std::array<QLineEdit *, 7> Text2{};
    std::array<UpDown *, 7> UpDown1{};
    std::array<UpDown *, 7> UpDown2{};
    QPushButton *cmdGrab = nullptr;
    QPushButton *cmdRead = nullptr;
    QPushButton *cmdZO = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *cmdOpen = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdOK = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Shape1 = nullptr;
    QTimer *Timer1 = nullptr;
    PictureBox *Picture2 = nullptr;

    void Form_Load();
    void Form_Activate();
    void Form_Unload();

    void cmdGrab_Click();
    void cmdRead_Click();
    void cmdZO_Click();
    void Command1_Click();
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdOK_Click();
    void Picture1_MouseDown(int index, int button, int shift, int x, int y);
    void Picture1_DblClick(int index);
    void Picture1_KeyDown(int index, int keyCode, int shift);
    void UpDown_Change(int index);
    void Timer1_Timer();

    int16_t pickMode() const { return pickMode_; }
    int16_t areaLeft() const { return areaLeft_; }
    int16_t areaTop() const { return areaTop_; }
    int16_t blinkCount() const { return blinkCount_; }
    const align::PreviewFit &fit() const { return fit_; }
    bool unloaded() const { return unloaded_; }
    // The number of the set of working images the views were drawn from
    // (AppState::imageSet), or -1 before any.
    int shownSet() const { return shownSet_; }

    // The colour of a view where no image is drawn.
    static constexpr QRgb viewBackground = 0xff000000u;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectView(int index);
    void setInstructions(const QString &text);
    void fitImageSet();

    // Drawing; every call refreshes the view it drew into.
    void clearView(int index);
    void drawWhole(int index);
    void drawImage(int index, const QImage &image, QSize size, const align::PreviewFit &fit);
    void drawSquare();
    void drawZoom(int index);
    void drawCross(int index, int x, int y);
    // Clear, zoom and the cross at the boxes' position (none when a box
    // holds no number).
    void redrawMarkerView(int index);
    void redrawAreaView();
    void zoomAll();
    void restartBlinking();
    void setDefaultPalette();
    void showSet();
    bool haveImages() const;
    // Sets the crop origins from the marker boxes, or tells the operator
    // which box holds no number and changes nothing.
    bool takeOriginsFromMarkers();
    // Replaces a box's number by itself plus `delta`; a box without a number
    // is left alone.
    void stepBox(QLineEdit *box, int delta);

    Workstation &workstation_;
    AppState &state_;
    int16_t pickMode_ = 0;
    int16_t areaLeft_ = 0;
    int16_t areaTop_ = 0;
    int16_t blinkCount_ = 0;
    int16_t lastResult_ = 0;
    align::PreviewFit fit_;
    ZulConfig alignConfig_{};
    CardImage captureImage_;
    int shownSet_ = -1;
    bool unloaded_ = false;
};

// "Align Images": shows the alignment window, loading it when none is open.
// An open window keeps its work (its markers, its zoom), unless a sequence
// has handed over a set it does not show yet: that set needs a fresh load.
frmAlign &showAlignWindow(Workstation &workstation, SingleWindow<frmAlign> &window, QWidget *parent);
