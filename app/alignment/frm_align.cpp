#include "frm_align.h"

#include "acquisition/six_step_sequence.h"
#include "alignment_file.h"
#include "platform/card_library.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/up_down.h"
#include "platform/vb_conversions.h"
#include "platform/zul_surface.h"
#include "shell/mdi_form1.h"
#include "shell/zul_errors.h"
#include "six_file_reader.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Align");
const QString kGrabOrRead = QStringLiteral("Grab images to align or read in SIX file.");
const QString kMoveSquare = QStringLiteral(
    "Move red square over the area of interest using the arrow keys and press ENTER.  Or, double click on the point of interest.");
const QString kMoveSquareAfterGrab = QStringLiteral(
    "Move red square over the area of interest using the arrow keys and press ENTER. Or, double click on the point of interest.");
const QString kPickMarkers = QStringLiteral(
    "Click to select marker point on each image, then click OK.  You may save the data for later use before clicking OK if you wish.");
const QString kReposition = QStringLiteral(
    "Reposition the red square over the area of interest using the arrow keys and press ENTER.  Or, double click on the point of interest.");

constexpr QRgb red = 0xffff0000u;
constexpr int blinkInterval = 300; // ms
constexpr int markerRange = align::viewSide;

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

FileDialogRecord dialogRecord(const QString &filterName, const QString &extension)
{
    FileDialogRecord record;
    record.filters = {{filterName, QStringLiteral("*.") + extension}};
    record.title = QStringLiteral("Choose file name");
    record.initialFolder = QDir::currentPath();
    // The dialog's own extension, not the shared record's "bas": a name
    // typed without one must still be a file of this kind.
    record.defaultExtension = extension;
    record.overwritePrompt = true;
    return record;
}

QPushButton *makeButton(const QString &name, const QString &caption, const QString &tooltip, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setAccessibleName(caption);
    button->setAccessibleDescription(tooltip);
    return button;
}

int shiftMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= frmAlign::ShiftKey;
    if (modifiers & Qt::ControlModifier)
        mask |= frmAlign::CtrlKey;
    if (modifiers & Qt::AltModifier)
        mask |= frmAlign::AltKey;
    return mask;
}

int keyCodeOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return frmAlign::KeyReturn;
    case Qt::Key_Left:
        return frmAlign::KeyLeft;
    case Qt::Key_Up:
        return frmAlign::KeyUp;
    case Qt::Key_Right:
        return frmAlign::KeyRight;
    case Qt::Key_Down:
        return frmAlign::KeyDown;
    default:
        return qtKey;
    }
}

} // namespace

frmAlign::frmAlign(MDIForm1 &main, QWidget *parent) : QWidget(parent), main_(main), state_(main.state())
{
    setObjectName(QStringLiteral("frmAlign"));
    setWindowFlag(Qt::Window);
    setWindowTitle(kTitle);
    setAccessibleName(kTitle);
    buildControls();
    Form_Load();
}

frmAlign::~frmAlign()
{
    if (captureImage_)
        main_.card().globalFree(captureImage_);
}

void frmAlign::buildControls()
{
    auto *views = new QGridLayout;
    for (int i = 1; i <= 6; ++i) {
        auto *view = new PictureBox(this);
        view->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        view->setAccessibleName(QStringLiteral("image %1").arg(i));
        view->setAccessibleDescription(view->toolTip());
        view->setFixedSize(align::viewSide, align::viewSide);
        QImage blank(align::viewSide, align::viewSide, QImage::Format_RGB32);
        blank.fill(viewBackground);
        view->setImage(blank);
        Picture1[i] = view;

        auto *boxes = new QHBoxLayout;
        const std::array<std::pair<QLineEdit **, UpDown **>, 2> pairs{{{&Text1[i], &UpDown1[i]}, {&Text2[i], &UpDown2[i]}}};
        for (int axis = 0; axis < 2; ++axis) {
            const QString axisName = axis == 0 ? QStringLiteral("x") : QStringLiteral("y");
            auto *caption = new QLabel(axisName + QLatin1Char(':'), this);
            caption->setAccessibleName(axisName);
            auto *text = new QLineEdit(this);
            text->setObjectName(QStringLiteral("Text%1_%2").arg(axis + 1).arg(i));
            text->setAccessibleName(QStringLiteral("marker %1, image %2").arg(axisName).arg(i));
            text->setAccessibleDescription(text->toolTip());
            text->setMaximumWidth(48);
            caption->setBuddy(text);
            auto *upDown = new UpDown(text, 0, markerRange, this);
            upDown->setObjectName(QStringLiteral("UpDown%1_%2").arg(axis + 1).arg(i));
            upDown->setAccessibleName(QStringLiteral("step marker %1, image %2").arg(axisName).arg(i));
            upDown->setAccessibleDescription(upDown->toolTip());
            connect(upDown, &UpDown::changed, this, [this, i] { UpDown_Change(i); });
            *pairs[axis].first = text;
            *pairs[axis].second = upDown;
            boxes->addWidget(caption);
            boxes->addWidget(text);
            boxes->addWidget(upDown);
        }
        boxes->addStretch();
        auto *cell = new QVBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(view);
        cell->addLayout(boxes);
        views->addLayout(cell, (i - 1) / 3, (i - 1) % 3);
        connectView(i);
    }

    cmdGrab = makeButton(QStringLiteral("cmdGrab"), QStringLiteral("Grab Images"), QStringLiteral("Grab 6 images"), this);
    cmdRead = makeButton(QStringLiteral("cmdRead"), QStringLiteral("Read .SIX"), QStringLiteral("Read in .SIX file to align"), this);
    cmdZO = makeButton(QStringLiteral("cmdZO"), QStringLiteral("Zoom Out"), QStringLiteral("Reselect enlarged area"), this);
    Command1 = makeButton(QStringLiteral("Command1"), QStringLiteral("Default"), QStringLiteral("Use default settings"), this);
    cmdOpen = makeButton(QStringLiteral("cmdOpen"), QStringLiteral("Open .ALI"),
                         QStringLiteral("Load in previously saved alignment file"), this);
    cmdSave = makeButton(QStringLiteral("cmdSave"), QStringLiteral("Save .ALI"), QStringLiteral("Save current alignment settings"), this);
    cmdOK = makeButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), QString(), this);
    connect(cmdGrab, &QPushButton::clicked, this, &frmAlign::cmdGrab_Click);
    connect(cmdRead, &QPushButton::clicked, this, &frmAlign::cmdRead_Click);
    connect(cmdZO, &QPushButton::clicked, this, &frmAlign::cmdZO_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAlign::Command1_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmAlign::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAlign::cmdSave_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmAlign::cmdOK_Click);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {cmdGrab, cmdRead, cmdZO, Command1, cmdOpen, cmdSave})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    // The highlight sits beside the instructions and keeps its place while
    // it blinks, so the text does not jump.
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAccessibleName(QStringLiteral("highlight"));
    Shape1->setAccessibleDescription(Shape1->toolTip());
    Shape1->setFixedWidth(8);
    Shape1->setAutoFillBackground(true);
    QPalette shapePalette = Shape1->palette();
    shapePalette.setColor(QPalette::Window, QColor(255, 255, 0));
    Shape1->setPalette(shapePalette);
    QSizePolicy keepPlace = Shape1->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Shape1->setSizePolicy(keepPlace);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAccessibleDescription(Label1->toolTip());

    Picture2 = new PictureBox(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setAccessibleName(QStringLiteral("whole .SIX file"));
    Picture2->setAccessibleDescription(Picture2->toolTip());
    Picture2->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(blinkInterval);
    connect(Timer1, &QTimer::timeout, this, &frmAlign::Timer1_Timer);
    Timer1->start();

    auto *instructions = new QHBoxLayout;
    instructions->addWidget(Shape1);
    instructions->addWidget(Label1, 1);
    auto *left = new QVBoxLayout;
    left->addLayout(views);
    left->addLayout(instructions);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

void frmAlign::connectView(int index)
{
    PictureBox *view = Picture1[index];
    connect(view, &PictureBox::mousePressed, this,
            [this, index](QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                Picture1_MouseDown(index, int(button), shiftMask(modifiers), at.x(), at.y());
            });
    connect(view, &PictureBox::doubleClicked, this, [this, index](QPoint) { Picture1_DblClick(index); });
    connect(view, &PictureBox::keyPressed, this, [this, index](int key, Qt::KeyboardModifiers modifiers) {
        Picture1_KeyDown(index, keyCodeOf(key), shiftMask(modifiers));
    });
}

void frmAlign::setInstructions(const QString &text)
{
    Label1->setText(text);
    Label1->setAccessibleName(text);
}

void frmAlign::fitImageSet()
{
    fit_ = align::fitImageSet(state_.imageWidth, state_.imageHeight);
    state_.imageMaxSide = fit_.imageMaxSide;
}

bool frmAlign::haveImages() const
{
    for (int i = 1; i <= 6; ++i)
        if (state_.imageDCs[i].isNull())
            return false;
    return fit_.valid();
}

// ---------------------------------------------------------------- drawing

void frmAlign::clearView(int index)
{
    Picture1[index]->imageForDrawing().fill(viewBackground);
    Picture1[index]->update();
}

void frmAlign::drawWhole(int index)
{
    raster::stretchBlt(Picture1[index]->imageForDrawing(), fit_.previewLeft, fit_.previewTop, fit_.previewWidth,
                       fit_.previewHeight, state_.imageDCs[index], 0, 0, state_.imageWidth, state_.imageHeight);
    Picture1[index]->update();
}

void frmAlign::drawSquare()
{
    if (!fit_.valid())
        return;
    const int side = align::squareSidePixels(fit_);
    raster::drawBox(Picture1[1]->imageForDrawing(), QRect(areaLeft_, areaTop_, side, side), red);
    Picture1[1]->update();
}

void frmAlign::drawZoom(int index)
{
    const QPoint origin = align::zoomSourceOrigin(areaLeft_, areaTop_, fit_);
    raster::stretchBlt(Picture1[index]->imageForDrawing(), 0, 0, align::viewSide, align::viewSide, state_.imageDCs[index],
                       origin.x(), origin.y(), align::areaSide, align::areaSide);
    Picture1[index]->update();
}

void frmAlign::drawCross(int index, int x, int y)
{
    QImage &view = Picture1[index]->imageForDrawing();
    raster::drawLine(view, QPoint(x - 10, y), QPoint(x + 10, y), red);
    raster::drawLine(view, QPoint(x, y - 10), QPoint(x, y + 10), red);
    Picture1[index]->update();
}

void frmAlign::redrawMarkerView(int index)
{
    clearView(index);
    drawZoom(index);
    const auto x = vb::toInt16(Text1[index]->text());
    const auto y = vb::toInt16(Text2[index]->text());
    if (x && y)
        drawCross(index, *x, *y);
}

void frmAlign::redrawAreaView()
{
    align::clampArea(areaLeft_, areaTop_, fit_);
    clearView(1);
    drawWhole(1);
    drawSquare();
}

void frmAlign::zoomAll()
{
    for (int i = 1; i <= 6; ++i)
        drawZoom(i);
    blinkCount_ = 0;
    pickMode_ = 1;
    Timer1->start();
    cmdZO->setEnabled(true);
    setInstructions(kPickMarkers);
}

void frmAlign::restartBlinking()
{
    Timer1->start();
    blinkCount_ = 0;
}

void frmAlign::setDefaultPalette()
{
    PictureBox *hidden = main_.picture(2);
    ZulSurface surface = zulSurfaceFor(hidden->imageForDrawing(), hidden->size());
    const int format = alignConfig_.OutputFormat;
    main_.card().defaultPalette(&surface, format == 1 || format == 2 ? 1 : 0);
}

void frmAlign::stepBox(QLineEdit *box, int delta)
{
    if (const auto value = vb::toDouble(box->text()))
        box->setText(vb::fromDouble(*value + delta));
}

// -------------------------------------------------------------- lifecycle

void frmAlign::Form_Load()
{
    blinkCount_ = 0;
    cmdZO->setEnabled(false);
    if (state_.alignState == 1) {
        fitImageSet();
        cmdGrab->setEnabled(false);
        for (int i = 1; i <= 6; ++i)
            drawWhole(i);
        areaLeft_ = areaTop_ = 50;
        drawSquare();
        setInstructions(kMoveSquare);
        return;
    }
    CardLibrary &card = main_.card();
    if (captureImage_) {
        card.globalFree(captureImage_);
        captureImage_ = nullptr;
    }
    if (!state_.noCard) {
        lastResult_ = static_cast<int16_t>(card.readIniFile(state_.captureIniPath, QStringLiteral("DEFAULT"), &alignConfig_));
        int16_t code = static_cast<int16_t>(card.prepare(&alignConfig_, 1));
        CheckZulError(code, card, main_.op());
        setDefaultPalette();
    }
    setInstructions(kGrabOrRead);
}

void frmAlign::Form_Activate()
{
    Picture1[1]->setFocus();
}

void frmAlign::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Activate();
}

void frmAlign::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmAlign::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1->stop();
    if (state_.imageSizeOption == 0) {
        state_.imageWidth = state_.imageHeight = 276;
    } else if (state_.imageSizeOption == 1) {
        state_.imageWidth = state_.imageHeight = 532;
    }
    state_.imageMaxSide = state_.imageWidth;
    state_.cropWidth = state_.imageWidth - 20;
    state_.cropHeight = state_.imageHeight - 20;
    QCoreApplication::processEvents();
    for (int i = 1; i <= 6; ++i)
        state_.imageDCs[i] = QImage();
    // The captured images are gone with the window: nothing is waiting for
    // an alignment any more, and a later opening must not draw a set that
    // does not exist.
    if (state_.alignState == 1)
        state_.alignState = 0;
    main_.sizeWorkPictures();
}

// ---------------------------------------------------------------- commands

void frmAlign::cmdGrab_Click()
{
    if (state_.noCard) {
        // Preparing a card that was never brought up fails, and that failure
        // would end the whole program.
        main_.op().tell(QStringLiteral("No capture card is available, so no images can be grabbed.  "
                                       "Use Read .SIX to align the images of a .SIX file."),
                        kTitle, Operator::Icon::Exclamation);
        return;
    }
    CardLibrary &card = main_.card();
    int16_t code = static_cast<int16_t>(card.prepare(&alignConfig_, 1));
    CheckZulError(code, card, main_.op());
    setDefaultPalette();
    lastResult_ = code;
    for (int i = 1; i <= 6; ++i) {
        {
            BusyCursor busy;
            QCoreApplication::processEvents();
        }
        QImage image(state_.imageWidth, state_.imageHeight, QImage::Format_RGB32);
        image.fill(0xff000000u);
        if (captureImage_) {
            ZulSurface surface = zulSurfaceFor(image, image.size());
            lastResult_ = static_cast<int16_t>(card.drawDIB(&surface, captureImage_, 0, 0, image.width(), image.height()));
        }
        state_.imageDCs[i] = image;
    }
    // The views need the fit of the grabbed set before anything is drawn.
    fitImageSet();
    for (int i = 1; i <= 6; ++i) {
        clearView(i);
        drawWhole(i);
    }
    areaLeft_ = areaTop_ = 50;
    drawSquare();
    setInstructions(kMoveSquareAfterGrab);
    restartBlinking();
}

void frmAlign::cmdRead_Click()
{
    QCoreApplication::processEvents();
    const auto chosen = main_.op().chooseOpenFile(dialogRecord(QStringLiteral("SIX files"), QStringLiteral("six")));
    if (!chosen)
        return;
    const QString fileName = chosen->trimmed();
    BusyCursor busy;
    const SixSplit split = readSixFile(fileName);
    if (!split.ok()) {
        main_.op().tell(split.error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    state_.fileNameFresh = true;
    state_.imageWidth = state_.cropWidth = split.cell.width();
    state_.imageHeight = state_.cropHeight = split.cell.height();
    fitImageSet();
    for (int i = 1; i <= 6; ++i)
        state_.imageDCs[i] = workingImageFromCell(split.images[i - 1]);
    state_.imageWidth = state_.cropWidth + 20;
    state_.imageHeight = state_.cropHeight + 20;
    fitImageSet();
    Picture2->setImage(split.file);
    for (int i = 1; i <= 6; ++i) {
        clearView(i);
        drawWhole(i);
    }
    areaLeft_ = areaTop_ = 50;
    drawSquare();
    setInstructions(kMoveSquare);
    // The views show whole images again, so clicks choose the area.
    pickMode_ = 0;
    cmdZO->setEnabled(false);
    state_.alignState = 2;
    Picture1[1]->setFocus();
}

void frmAlign::cmdZO_Click()
{
    for (int i = 1; i <= 6; ++i) {
        clearView(i);
        drawWhole(i);
    }
    drawSquare();
    pickMode_ = 0;
    cmdZO->setEnabled(false);
    restartBlinking();
    setInstructions(kReposition);
    Picture1[1]->setFocus();
}

void frmAlign::Command1_Click()
{
    for (int i = 6; i >= 1; --i) {
        state_.alignX[i] = state_.alignY[i] = 10;
        Text1[i]->setText(QStringLiteral("20"));
        Text2[i]->setText(QStringLiteral("20"));
        drawZoom(i);
        drawCross(i, 20, 20);
    }
    main_.setStatusPanel(7, QStringLiteral("Default"));
}

void frmAlign::Picture1_MouseDown(int index, int, int, int x, int y)
{
    if (pickMode_ == 0) {
        if (!haveImages())
            return;
        const QPoint corner = align::areaForPress(QPoint(x, y), fit_);
        areaLeft_ = static_cast<int16_t>(corner.x());
        areaTop_ = static_cast<int16_t>(corner.y());
        redrawAreaView();
        return;
    }
    state_.alignX[index] = static_cast<int16_t>(align::roundHalfEven(static_cast<float>(x) / 2.0f));
    state_.alignY[index] = static_cast<int16_t>(align::roundHalfEven(static_cast<float>(y) / 2.0f));
    clearView(index);
    Text1[index]->setText(QString::number(x));
    Text2[index]->setText(QString::number(y));
    drawZoom(index);
    drawCross(index, x, y);
    main_.setStatusPanel(7, QStringLiteral("Unsaved Settings"));
}

void frmAlign::Picture1_DblClick(int)
{
    if (pickMode_ == 1 || !haveImages())
        return;
    zoomAll();
}

void frmAlign::Picture1_KeyDown(int index, int keyCode, int shift)
{
    const int step = align::arrowStep(shift);
    if (pickMode_ == 0) {
        if (!haveImages())
            return;
        switch (keyCode) {
        case KeyUp:
            areaTop_ = static_cast<int16_t>(areaTop_ - step);
            break;
        case KeyDown:
            areaTop_ = static_cast<int16_t>(areaTop_ + step);
            break;
        case KeyLeft:
            areaLeft_ = static_cast<int16_t>(areaLeft_ - step);
            break;
        case KeyRight:
            areaLeft_ = static_cast<int16_t>(areaLeft_ + step);
            break;
        default:
            break;
        }
        redrawAreaView();
        if (keyCode == KeyReturn)
            zoomAll();
        return;
    }
    switch (keyCode) {
    case KeyUp:
        stepBox(Text2[index], -step);
        break;
    case KeyDown:
        stepBox(Text2[index], step);
        break;
    case KeyLeft:
        stepBox(Text1[index], -step);
        break;
    case KeyRight:
        stepBox(Text1[index], step);
        break;
    default:
        return;
    }
    redrawMarkerView(index);
}

void frmAlign::UpDown_Change(int index)
{
    redrawMarkerView(index);
}

void frmAlign::Timer1_Timer()
{
    Shape1->setHidden(!Shape1->isHidden());
    ++blinkCount_;
    if (blinkCount_ > 3)
        Timer1->stop();
}

// ---------------------------------------------------- alignment file and OK

void frmAlign::cmdSave_Click()
{
    std::array<QString, 7> xs, ys;
    for (int i = 1; i <= 6; ++i) {
        xs[i] = Text1[i]->text();
        ys[i] = Text2[i]->text();
    }
    const align::MarkerOrigins origins = align::originsFromMarkerTexts(xs, ys);
    if (!origins.ok()) {
        main_.op().tell(origins.error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    state_.alignX = origins.x;
    state_.alignY = origins.y;
    const auto chosen = main_.op().chooseSaveFile(dialogRecord(QStringLiteral("SAL files"), QStringLiteral("sal")));
    if (!chosen) {
        main_.setStatusPanel(7, QString());
        return;
    }
    AlignmentOrigins file;
    file.x = origins.x;
    file.y = origins.y;
    const QString error = writeAlignmentFile(*chosen, file);
    if (!error.isEmpty()) {
        main_.op().tell(error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    main_.setStatusPanel(7, *chosen);
}

void frmAlign::cmdOpen_Click()
{
    const auto chosen = main_.op().chooseOpenFile(dialogRecord(QStringLiteral("SAL files"), QStringLiteral("sal")));
    if (!chosen)
        return;
    const AlignmentRead read = readAlignmentFile(*chosen);
    if (!read.ok()) {
        main_.op().tell(read.error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    state_.fileNameFresh = true;
    main_.setStatusPanel(7, *chosen);
    for (int i = 1; i <= 6; ++i) {
        state_.alignX[i] = read.origins.x[i];
        state_.alignY[i] = read.origins.y[i];
        Text1[i]->setText(QString::number(2 * read.origins.x[i]));
        Text2[i]->setText(QString::number(2 * read.origins.y[i]));
    }
}

void frmAlign::cmdOK_Click()
{
    std::array<QString, 7> xs, ys;
    for (int i = 1; i <= 6; ++i) {
        xs[i] = Text1[i]->text();
        ys[i] = Text2[i]->text();
    }
    const align::MarkerOrigins origins = align::originsFromMarkerTexts(xs, ys);
    if (!origins.ok()) {
        main_.op().tell(origins.error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    state_.alignX = origins.x;
    state_.alignY = origins.y;
    pickMode_ = 0;
    Operator &op = main_.op();
    if (!haveImages()) {
        op.tell(QStringLiteral("There are no images to compose.  Grab images or read a .SIX file first."), kTitle,
                Operator::Icon::Information);
        return;
    }

    auto chooseSixName = [&] {
        if (const auto chosen = op.chooseSaveFile(dialogRecord(QStringLiteral("SIX files"), QStringLiteral("six"))))
            state_.currentFileName = *chosen;
        state_.fileNameFresh = true;
        main_.setStatusPanel(2, state_.currentFileName);
    };

    switch (state_.alignState) {
    case 1:
        if (!composeWorkingImages(main_, SixLayout::Reflection))
            return;
        state_.alignState = 0;
        close();
        return;
    case 2: {
        const auto answer = op.ask(QStringLiteral("Keep same file name?  Click YES to continue and overwrite old file, "
                                                  "or NO choose new file name"),
                                   QStringLiteral("File Name"), Operator::Buttons::YesNoCancel, Operator::Icon::None);
        if (answer == Operator::Answer::Cancel)
            return;
        if (answer == Operator::Answer::No)
            chooseSixName();
        if (!composeWorkingImages(main_, SixLayout::Reflection))
            return;
        state_.alignState = 0;
        pickMode_ = 0;
        for (int i = 1; i <= 6; ++i) {
            state_.imageDCs[i] = QImage();
            clearView(i);
        }
        return;
    }
    default: {
        const auto answer = op.ask(QStringLiteral("Do you wish to save the .six data?"), QStringLiteral("Save?"),
                                   Operator::Buttons::YesNo, Operator::Icon::None);
        if (answer != Operator::Answer::Yes) {
            close();
            return;
        }
        chooseSixName();
        if (!composeWorkingImages(main_, SixLayout::Reflection))
            return;
        pickMode_ = 0;
        close();
        return;
    }
    }
}
