#include "frm_back.h"

#include "mask_point_file.h"
#include "mask_render.h"
#include "mask_zoom.h"
#include "platform/bmp_file.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/picture_file.h"
#include "platform/raster.h"
#include "platform/up_down.h"
#include "platform/vb_conversions.h"
#include "workbench/app_state.h"
#include "workbench/file_naming.h"
#include "workbench/workstation.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHash>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// The picture boxes are 4 pixels larger than the cell for their border.
constexpr int pictureBorder = 4;

QLineEdit *makeText(const QString &name, const QString &accessibleName, QWidget *parent)
{
    auto *text = new QLineEdit(parent);
    text->setObjectName(name);
    text->setAccessibleName(accessibleName);
    text->setAccessibleDescription(text->toolTip());
    text->setMaximumWidth(60);
    return text;
}

void nameSpinner(UpDown *upDown, const QString &name, const QString &accessibleName)
{
    upDown->setObjectName(name);
    upDown->setAccessibleName(accessibleName);
    upDown->setAccessibleDescription(upDown->toolTip());
}

// Click positions are 16-bit, like the cursor that starts at them.
int16_t roundHalfEven(double value)
{
    return int16_t(std::clamp(std::nearbyint(value), -32768.0, 32767.0));
}

void setPixel(QImage &image, QPoint p, QRgb colour)
{
    if (image.rect().contains(p))
        image.setPixel(p, colour);
}

} // namespace

frmBack::frmBack(Workstation &workstation, QWidget *parent)
    : QWidget(parent, Qt::Window), workstation_(workstation), state_(workstation.state()), op_(workstation.op())
{
    setObjectName(QStringLiteral("frmBack"));
    setWindowTitle(QStringLiteral("Background"));
    setAccessibleName(windowTitle());
    buildControls();
    Form_Load();
}

frmBack::~frmBack()
{
    Form_Unload();
}

void frmBack::buildControls()
{
    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("Image to mask"));
    Picture1->setAccessibleDescription(Picture1->toolTip());
    Picture2 = new PictureBox(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setAccessibleName(QStringLiteral("Combined mask"));
    Picture2->setAccessibleDescription(Picture2->toolTip());
    Picture2->hide();
    Frame1 = new MaskZoomPanel(this);
    Frame1->hide();

    Text1 = makeText(QStringLiteral("Text1"), QStringLiteral("Point No."), this);
    Text2 = makeText(QStringLiteral("Text2"), QStringLiteral("Point x"), this);
    Text3 = makeText(QStringLiteral("Text3"), QStringLiteral("Point y"), this);
    Text4 = makeText(QStringLiteral("Text4"), QStringLiteral("Area No."), this);
    // Points are numbered 0..127, so the spinner reaches every one of them.
    UpDown1 = new UpDown(Text1, 0, MaskAreas::maskPointLimit - 1, this);
    UpDown2 = new UpDown(Text2, 0, 0, this);
    UpDown3 = new UpDown(Text3, 0, 0, this);
    UpDown4 = new UpDown(Text4, 1, MaskAreas::maxAreas, this);
    nameSpinner(UpDown1, QStringLiteral("UpDown1"), QStringLiteral("Point No. spinner"));
    nameSpinner(UpDown2, QStringLiteral("UpDown2"), QStringLiteral("Point x spinner"));
    nameSpinner(UpDown3, QStringLiteral("UpDown3"), QStringLiteral("Point y spinner"));
    nameSpinner(UpDown4, QStringLiteral("UpDown4"), QStringLiteral("Area No. spinner"));

    checkCross = new QCheckBox(QStringLiteral("Crosses"), this);
    checkCross->setObjectName(QStringLiteral("checkCross"));
    checkLines = new QCheckBox(QStringLiteral("Lines"), this);
    checkLines->setObjectName(QStringLiteral("checkLines"));
    for (QCheckBox *box : {checkCross, checkLines}) {
        box->setAccessibleName(box->text());
        box->setAccessibleDescription(box->toolTip());
    }

    CmdExecute = makeButton(QStringLiteral("CmdExecute"), QStringLiteral("Draw"),
                            QStringLiteral("Click to draw area AFTER defining area by clicking on image"), this);
    cmdUndo = makeButton(QStringLiteral("cmdUndo"), QStringLiteral("Delete Area"), QStringLiteral("Delete selected area"), this);
    cmdClear = makeButton(QStringLiteral("cmdClear"), QStringLiteral("Clear All"), QStringLiteral("Clear all masked areas"), this);
    cmdRead = makeButton(QStringLiteral("cmdRead"), QStringLiteral("Read .bgp"),
                         QStringLiteral("Read in mask points from saved file"), this);
    cmdSave = makeButton(QStringLiteral("cmdSave"), QStringLiteral("Save"), QStringLiteral("Save as .bng file"), this);
    cmdReadSix = makeButton(QStringLiteral("cmdReadSix"), QStringLiteral("Read .SIX"),
                            QStringLiteral("Read in image from .six file"), this);
    cmdZoom = makeButton(QStringLiteral("cmdZoom"), QStringLiteral("Zoom"), QStringLiteral("Zoom into the image"), this);
    cmdClose = makeButton(QStringLiteral("cmdClose"), QStringLiteral("Close Zoom"),
                          QStringLiteral("Close zoom picture - back to normal view"), this);

    Label1 = new QLabel(QStringLiteral("Click around area to be masked and click 'Draw'."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAccessibleName(Label1->text());
    Label1->setAccessibleDescription(Label1->toolTip());
    auto *pointLabel = new QLabel(QStringLiteral("Point No."), this);
    auto *areaLabel = new QLabel(QStringLiteral("Area No."), this);
    pointLabel->setBuddy(Text1);
    areaLabel->setBuddy(Text4);
    for (QLabel *label : {pointLabel, areaLabel}) {
        label->setAccessibleName(label->text());
        label->setAccessibleDescription(label->toolTip());
    }

    auto *side = new QGridLayout;
    int row = 0;
    side->addWidget(Label1, row++, 0, 1, 3);
    side->addWidget(pointLabel, row, 0);
    side->addWidget(Text1, row, 1);
    side->addWidget(UpDown1, row++, 2);
    side->addWidget(Text2, row, 1);
    side->addWidget(UpDown2, row++, 2);
    side->addWidget(Text3, row, 1);
    side->addWidget(UpDown3, row++, 2);
    side->addWidget(areaLabel, row, 0);
    side->addWidget(Text4, row, 1);
    side->addWidget(UpDown4, row++, 2);
    side->addWidget(checkCross, row++, 0, 1, 3);
    side->addWidget(checkLines, row++, 0, 1, 3);
    for (QPushButton *button : {CmdExecute, cmdUndo, cmdClear, cmdRead, cmdSave, cmdReadSix, cmdZoom, cmdClose})
        side->addWidget(button, row++, 0, 1, 3);
    side->setRowStretch(row, 1);

    auto *pictures = new QVBoxLayout;
    pictures->addWidget(Picture1);
    pictures->addWidget(Frame1);
    pictures->addWidget(Picture2);
    pictures->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(pictures, 1);
    layout->addLayout(side);

    connect(Picture1, &PictureBox::mousePressed, this,
            [this](QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                Picture1_MouseDown(button, keyStateMask(modifiers), pixel.x(), pixel.y());
            });
    connect(Picture1, &PictureBox::keyPressed, this, [this](int key, Qt::KeyboardModifiers modifiers) {
        static const QHash<int, int> codes = {{Qt::Key_Space, keySpace}, {Qt::Key_Left, keyLeft},
                                              {Qt::Key_Up, keyUp},       {Qt::Key_Right, keyRight},
                                              {Qt::Key_Down, keyDown}};
        Picture1_KeyDown(codes.value(key, 0), keyStateMask(modifiers));
    });
    connect(Frame1, &MaskZoomPanel::imageClicked, this,
            [this](QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                Picture1_MouseDown(button, keyStateMask(modifiers), pixel.x(), pixel.y());
                zoomRefresh();
            });
    connect(CmdExecute, &QPushButton::clicked, this, &frmBack::CmdExecute_Click);
    connect(cmdUndo, &QPushButton::clicked, this, &frmBack::cmdUndo_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmBack::cmdClear_Click);
    connect(cmdRead, &QPushButton::clicked, this, &frmBack::cmdRead_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmBack::cmdSave_Click);
    connect(cmdReadSix, &QPushButton::clicked, this, &frmBack::cmdReadSix_Click);
    connect(cmdZoom, &QPushButton::clicked, this, &frmBack::cmdZoom_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmBack::cmdClose_Click);
    connect(UpDown1, &UpDown::changed, this, &frmBack::UpDown1_Change);
    connect(UpDown2, &UpDown::changed, this, &frmBack::UpDown2_Change);
    connect(UpDown3, &UpDown::changed, this, &frmBack::UpDown3_Change);
    connect(UpDown4, &UpDown::changed, this, &frmBack::UpDown4_Change);
    connect(Text4, &QLineEdit::textChanged, this, &frmBack::Text4_Change);
}

QSize frmBack::cellSize() const
{
    return {std::max(state_.cropWidth, 1), std::max(state_.cropHeight, 1)};
}

void frmBack::setCellSize(QSize cell)
{
    combinedMask_ = mask_render::whiteMask(cell);
    UpDown2->setRange(0, cell.width() - 1);
    UpDown3->setRange(0, cell.height() - 1);
    const QSize picture = cell + QSize(pictureBorder, pictureBorder);
    Picture1->setFixedSize(picture);
    Picture2->setFixedSize(picture);
    Picture2->setImage(combinedMask_);
}

void frmBack::Form_Load()
{
    areas_ = MaskAreas();
    cmdUndo->setEnabled(false);
    setCellSize(cellSize());
    showImageWithMask();
}

void frmBack::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    combinedMask_ = QImage();
    // A set waiting for the alignment window's OK keeps its images and the
    // geometry they were composed for; they are not the editor's to drop.
    if (state_.setWaitsForAlignment())
        return;
    // Otherwise the working geometry goes back to the capture size, whatever
    // a ".six" read here has set.
    state_.applyGeometry();
    state_.imageDCs[1] = QImage();
}

void frmBack::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmBack::showImageWithMask()
{
    Picture1->setImage(mask_render::maskedPicture(state_.maskImage, combinedMask_,
                                                  combinedMask_.size() + QSize(pictureBorder, pictureBorder)));
    hintWhileNoImage();
}

void frmBack::hintWhileNoImage()
{
    // Without an image the picture is plain black, which looks like a fault.
    Picture1->setHint(state_.maskImage.isNull() ? QStringLiteral("Read a .SIX file or compose one first") : QString());
}

void frmBack::drawPoints(int area, int count, const std::function<QRgb(int)> &colourOf)
{
    QImage &picture = Picture1->imageForDrawing();
    if (picture.isNull())
        return;
    count = std::min<int>(count, MaskAreas::maskPointLimit);
    // Marks first, then the lines over them, as the editor always drew.
    for (int p = 0; p < count; ++p)
        drawMark(areas_.point(area, p), colourOf(p));
    if (checkLines->isChecked()) {
        for (int p = 1; p < count; ++p)
            raster::drawLine(picture, areas_.point(area, p - 1), areas_.point(area, p), colourOf(p));
    }
    Picture1->update();
}

void frmBack::drawMark(QPoint at, QRgb colour)
{
    QImage &picture = Picture1->imageForDrawing();
    setPixel(picture, at, colour);
    if (checkCross->isChecked()) {
        raster::drawLine(picture, at + QPoint(-2, 0), at + QPoint(3, 0), colour);
        raster::drawLine(picture, at + QPoint(0, -2), at + QPoint(0, 3), colour);
    }
    Picture1->update();
}

void frmBack::drawEnteredPoints()
{
    // The earlier points in red, then the newest in green with its line from
    // the point before, which starts on (and so greens) that point.
    const int area = areas_.maskCurrentArea;
    const int newest = areas_.maskPointsEntered - 1;
    if (newest < 0)
        return;
    drawPoints(area, newest, [](int) { return earlierPointColour; });
    drawMark(areas_.point(area, newest), newPointColour);
    if (checkLines->isChecked() && newest > 0)
        raster::drawLine(Picture1->imageForDrawing(), areas_.point(area, newest - 1), areas_.point(area, newest),
                         newPointColour);
    Picture1->update();
}

void frmBack::showPoint(int area, int point)
{
    const QPoint at = areas_.point(area, point);
    Text2->setText(QString::number(at.x()));
    Text3->setText(QString::number(at.y()));
    UpDown2->setValue(at.x());
    UpDown3->setValue(at.y());
}

int frmBack::selectedPoint() const
{
    const auto shown = vb::toInt16(Text1->text());
    return shown ? *shown : -1;
}

void frmBack::Picture1_MouseDown(Qt::MouseButton, int, double x, double y)
{
    if (areas_.maskPointsEntered == 0) {
        // A 33rd area would not fit the tables or the point file.
        if (!areas_.canStartArea()) {
            op_.tell(QStringLiteral("All %1 areas are in use.  Delete an area before starting a new one.")
                         .arg(MaskAreas::maxAreas),
                     QStringLiteral("Area"), Operator::Icon::Exclamation);
            return;
        }
        areas_.startArea();
        Text4->setText(QString::number(areas_.maskAreaCount));
        areas_.maskCurrentArea = areas_.maskAreaCount;
    }
    const QPoint at(roundHalfEven(x), roundHalfEven(y));
    areas_.maskCursorX = int16_t(at.x());
    areas_.maskCursorY = int16_t(at.y());
    areas_.enterPoint(at);
    op_.beep();
    Text1->setText(QString::number(areas_.maskPointsEntered - 1));
    Text2->setText(QString::number(at.x()));
    Text3->setText(QString::number(at.y()));
    drawEnteredPoints();
    areas_.maskNewArea = true;
}

void frmBack::Picture1_KeyDown(int keyCode, int shift)
{
    if (keyCode == keySpace) {
        const QPoint at(areas_.maskCursorX, areas_.maskCursorY);
        if (!MaskAreas::validArea(areas_.maskCurrentArea))
            return;
        areas_.enterPoint(at);
        Text1->setText(QString::number(areas_.maskPointsEntered - 1));
        Text2->setText(QString::number(at.x()));
        Text3->setText(QString::number(at.y()));
        drawEnteredPoints();
        return;
    }
    int dx = 0;
    int dy = 0;
    const int step = shift + 1;
    switch (keyCode) {
    case keyUp: dy = -step; break;
    case keyDown: dy = step; break;
    case keyLeft: dx = -step; break;
    case keyRight: dx = step; break;
    default: return;
    }
    const int x = areas_.maskCursorX + dx;
    const int y = areas_.maskCursorY + dy;
    const QSize cell = combinedMask_.size();
    if (x < 0 || x > cell.width() || y < 0 || y > cell.height()) {
        op_.beep();
        return;
    }
    areas_.maskCursorX = int16_t(x);
    areas_.maskCursorY = int16_t(y);
    showImageWithMask();
    QImage &picture = Picture1->imageForDrawing();
    raster::drawLine(picture, QPoint(x - 3, y), QPoint(x + 4, y), cursorColour);
    raster::drawLine(picture, QPoint(x, y - 3), QPoint(x, y + 4), cursorColour);
    drawEnteredPoints();
}

void frmBack::CmdExecute_Click()
{
    const QSize cell = combinedMask_.size();
    areas_.commitEnteredArea();
    const int newest = areas_.maskAreaCount;
    if (areas_.maskNewArea && MaskAreas::validArea(newest) && areas_.pointCount(newest) > 1) {
        const auto answer = op_.ask(QStringLiteral("Is background inside this area?"), QStringLiteral("Area"),
                                    Operator::Buttons::YesNo, Operator::Icon::Question);
        areas_.maskInside[newest] = answer == Operator::Answer::Yes;
    }
    for (int area = 1; area <= areas_.maskAreaCount; ++area) {
        if (areas_.pointCount(area) > 1)
            cmdUndo->setEnabled(true);
    }
    combinedMask_ = mask_render::combinedMask(areas_, cell);
    // The picture is rebuilt from the image, so a point moved since the
    // last "Draw" no longer leaves its old mask on show.
    showImageWithMask();
    Picture2->setImage(combinedMask_);
    areas_.finishEntering();
    Text1->clear();
    Text2->clear();
    Text3->clear();
    zoomRefresh();
}

void frmBack::cmdUndo_Click()
{
    const int area = areas_.maskCurrentArea;
    if (area < 1 || area > areas_.maskAreaCount) {
        // An area number typed past the last area names no area; deleting
        // "it" would take the last real one.
        op_.tell(QStringLiteral("There is no area %1 to delete.  The areas are numbered 1 to %2.")
                     .arg(area)
                     .arg(areas_.maskAreaCount),
                 QStringLiteral("Delete Area"), Operator::Icon::Exclamation);
        return;
    }
    const auto answer = op_.ask(QStringLiteral("Are you sure you want to DELETE AREA %1?").arg(area),
                                QStringLiteral("Delete Area"), Operator::Buttons::YesNo, Operator::Icon::Question);
    if (answer != Operator::Answer::Yes)
        return;
    areas_.deleteArea(area);
    showImageWithMask();
    CmdExecute_Click();
}

void frmBack::cmdClear_Click()
{
    const QSize cell = combinedMask_.size();
    combinedMask_ = mask_render::whiteMask(cell);
    Picture2->setImage(combinedMask_);
    showImageWithMask();
    areas_.clearAll();
    Text1->clear();
    Text2->clear();
    Text3->clear();
    zoomRefresh();
}

void frmBack::cmdRead_Click()
{
    // The point file's name is the editor's own business: it never becomes
    // the name the next ".six" is written under.
    const auto chosen = op_.chooseOpenFile(
        fileDialogRecord(QStringLiteral("Background Point files"), QStringLiteral("bgp")));
    if (!chosen)
        return;
    const mask_point_file::ReadResult read = mask_point_file::read(*chosen);
    if (!read.ok()) {
        op_.tell(read.error, QStringLiteral("Read .bgp"), Operator::Icon::Exclamation);
        return;
    }
    areas_.takeAreas(read.areas);
    // Every area read is finished; none of them is asked about again.
    areas_.finishEntering();
    CmdExecute_Click();
}

void frmBack::cmdSave_Click()
{
    FileDialogRecord record = fileDialogRecord(QStringLiteral("Mask bitmap files"), QStringLiteral("bng"));
    record.overwritePrompt = true;
    const auto chosen = op_.chooseSaveFile(record);
    if (!chosen)
        return;
    const QString maskName = *chosen;
    workstation_.setStatusPanel(StatusPanel::AlignmentSource, maskName);
    const QString pointName = mask_point_file::pointFileNameFor(maskName);
    if (QFileInfo(pointName).absoluteFilePath() == QFileInfo(maskName).absoluteFilePath()) {
        op_.tell(QStringLiteral("\"%1\" would be both the mask and its point file.  Choose a name ending in .bng.")
                     .arg(QDir::toNativeSeparators(maskName)),
                 QStringLiteral("Save"), Operator::Icon::Exclamation);
        return;
    }
    Picture2->setFixedSize(combinedMask_.size());
    Picture2->setImage(combinedMask_);
    // Both files or neither: a point file without its mask (or the other way
    // round) would be worse than the earlier pair.
    FileBatch batch;
    batch.add(maskName, encodeBmp24(combinedMask_));
    batch.add(pointName, mask_point_file::encode(areas_));
    if (const QString problem = batch.commit(); !problem.isEmpty()) {
        op_.tell(problem, QStringLiteral("Save"), Operator::Icon::Exclamation);
        return;
    }
    close();
}

void frmBack::cmdReadSix_Click()
{
    const auto chosen = op_.chooseOpenFile(fileDialogRecord(QStringLiteral("SIX files"), QStringLiteral("six")));
    if (!chosen)
        return;
    const PictureRead picture = readPicture(chosen->trimmed());
    if (!picture.ok()) {
        op_.tell(picture.error, QStringLiteral("Read .SIX"), Operator::Icon::Exclamation);
        return;
    }
    const int width = picture.image.width() / 2;
    const int height = picture.image.height();
    if (width < 1) {
        op_.tell(QStringLiteral("\"%1\" is too narrow to hold the two halves of a .six file.")
                     .arg(QDir::toNativeSeparators(chosen->trimmed())),
                 QStringLiteral("Read .SIX"), Operator::Icon::Exclamation);
        return;
    }
    // The editor works at the file's cell size. The shared geometry follows
    // only while no set waits for the alignment window, whose composition
    // needs the geometry of its own images.
    if (!state_.setWaitsForAlignment()) {
        state_.imageWidth = state_.cropWidth = state_.imageMaxSide = width;
        state_.imageHeight = state_.cropHeight = height;
    }
    setCellSize(QSize(width, height));

    // Image 6 of the six is the red byte of the left half.
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(picture.image.constScanLine(y));
        auto *target = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int red = qRed(source[x]);
            target[x] = qRgb(red, red, red);
        }
    }
    state_.maskImage = image;
    showImageWithMask();
    workstation_.naming().markFresh();
    Frame1->setRanges(width, height);
    zoomRefresh();
}

void frmBack::cmdZoom_Click()
{
    Frame1->setRanges(state_.imageWidth, state_.imageHeight);
    zoomRefresh();
    Frame1->show();
    Picture1->hide();
}

void frmBack::cmdClose_Click()
{
    Frame1->hide();
    Picture1->show();
}

void frmBack::Picture3_MouseDown(Qt::MouseButton button, int shift, double x, double y)
{
    const QPoint at = MaskZoomPanel::toImage(QPointF(x, y), Frame1->HBar->value(), Frame1->VBar->value());
    Picture1_MouseDown(button, shift, at.x(), at.y());
    zoomRefresh();
}

void frmBack::zoomRefresh()
{
    Frame1->refresh(Picture1->image());
}

void frmBack::Text4_Change()
{
    const auto area = vb::toInt16(Text4->text());
    if (!area || !MaskAreas::validArea(*area))
        return;
    areas_.maskCurrentArea = *area;
    Text1->setText(QStringLiteral("0"));
    showPoint(*area, 0);
}

void frmBack::UpDown4_Change()
{
    int area = UpDown4->value();
    if (area > areas_.maskAreaCount) {
        op_.beep();
        area = areas_.maskAreaCount;
        UpDown4->setValue(area);
    }
    Text4->setText(QString::number(area));
    drawPoints(area, areas_.shownPointCount(area), [](int) { return newPointColour; });
}

void frmBack::UpDown1_Change()
{
    const int area = areas_.maskCurrentArea;
    const int last = std::max(areas_.shownPointCount(area) - 1, 0);
    int point = UpDown1->value();
    if (point > last) {
        op_.beep();
        point = last;
        UpDown1->setValue(point);
        Text1->setText(QString::number(point));
    }
    showPoint(area, point);
    drawPoints(area, areas_.shownPointCount(area), [](int) { return earlierPointColour; });
    drawMark(areas_.point(area, point), newPointColour);
    zoomRefresh();
}

void frmBack::UpDown2_Change()
{
    const int area = areas_.maskCurrentArea;
    const int point = selectedPoint();
    areas_.setPoint(area, point, QPoint(UpDown2->value(), areas_.point(area, point).y()));
    showImageWithMask();
    drawPoints(area, areas_.shownPointCount(area), [](int) { return earlierPointColour; });
}

void frmBack::UpDown3_Change()
{
    const int area = areas_.maskCurrentArea;
    const int point = selectedPoint();
    areas_.setPoint(area, point, QPoint(areas_.point(area, point).x(), UpDown3->value()));
    showImageWithMask();
    drawPoints(area, areas_.shownPointCount(area), [](int) { return earlierPointColour; });
}
