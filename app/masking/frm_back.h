#pragma once

#include "mask_areas.h"

#include <QImage>
#include <QWidget>
#include <functional>

struct AppState;
class MaskZoomPanel;
class Operator;
class PictureBox;
class Workstation;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDown;

// The mask editor, captioned "Background": the operator outlines areas of
// the image with polygons, says for each whether the background lies
// inside or outside it, and saves the combined mask with its point file.
class frmBack : public QWidget {
    Q_OBJECT
public:
    // Key codes and shift bits of the keyboard handler, as the picture
    // boxes have always reported them.
    enum KeyCode { keySpace = 32, keyLeft = 37, keyUp = 38, keyRight = 39, keyDown = 40 };
    enum ShiftBit { shiftKey = 1, ctrlKey = 2, altKey = 4 };

    static constexpr QRgb earlierPointColour = 0xfffa0000; // RGB(250, 0, 0)
    static constexpr QRgb newPointColour = 0xff00ff00;     // RGB(0, 255, 0)
    static constexpr QRgb cursorColour = 0xff00e6ff;       // RGB(0, 230, 255)

    explicit frmBack(Workstation &workstation, QWidget *parent = nullptr);
    ~frmBack() override;

    PictureBox *Picture1 = nullptr;
    PictureBox *Picture2 = nullptr;
    MaskZoomPanel *Frame1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLineEdit *Text4 = nullptr;
    UpDown *UpDown1 = nullptr;
    UpDown *UpDown2 = nullptr;
    UpDown *UpDown3 = nullptr;
    UpDown *UpDown4 = nullptr;
    QCheckBox *checkCross = nullptr;
    QCheckBox *checkLines = nullptr;
    QPushButton *CmdExecute = nullptr;
    QPushButton *cmdUndo = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdRead = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdReadSix = nullptr;
    QPushButton *cmdZoom = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *Label1 = nullptr;

    MaskAreas &areas() { return areas_; }
    const MaskAreas &areas() const { return areas_; }
    const QImage &combinedMask() const { return combinedMask_; }
    QSize cellSize() const;

    void Form_Load();
    void Form_Unload();

    // X and Y in image pixels; the zoom panel calls this with mapped ones.
    void Picture1_MouseDown(Qt::MouseButton button, int shift, double x, double y);
    void Picture1_KeyDown(int keyCode, int shift);
    void CmdExecute_Click();
    void cmdUndo_Click();
    void cmdClear_Click();
    void cmdRead_Click();
    void cmdSave_Click();
    void cmdReadSix_Click();
    void cmdZoom_Click();
    void cmdClose_Click();
    void Picture3_MouseDown(Qt::MouseButton button, int shift, double x, double y);
    void UpDown1_Change();
    void UpDown2_Change();
    void UpDown3_Change();
    void UpDown4_Change();
    void Text4_Change();
    void zoomRefresh();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void showImageWithMask();
    void hintWhileNoImage();
    void setCellSize(QSize cell);
    // The points of `area`, `count` of them: lines between consecutive
    // points first, then each point with its cross, in the colour
    // `colourOf` gives its number.
    void drawPoints(int area, int count, const std::function<QRgb(int)> &colourOf);
    void drawMark(QPoint at, QRgb colour);
    void drawEnteredPoints();
    void showPoint(int area, int point);
    int selectedPoint() const;

    Workstation &workstation_;
    AppState &state_;
    Operator &op_;
    MaskAreas areas_;
    QImage combinedMask_;
    bool unloaded_ = false;
};
