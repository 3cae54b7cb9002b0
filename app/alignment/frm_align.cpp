#include "frm_align.h"

#include "frm_align_shared.h"
#include "platform/card_library.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "platform/up_down.h"
#include "platform/zul_surface.h"
#include "workbench/app_state.h"
#include "workbench/frame_capture.h"
#include "workbench/workstation.h"
#include "workbench/zul_errors.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace align_window;

namespace {

constexpr int blinkInterval = 300; // ms
constexpr int markerRange = align::viewSide;

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

frmAlign::frmAlign(Workstation &workstation, QWidget *parent)
    : QWidget(parent), workstation_(workstation), state_(workstation.state())
{
    setObjectName(QStringLiteral("frmAlign"));
    setWindowFlag(Qt::Window);
    setWindowTitle(title);
    setAccessibleName(title);
    buildControls();
    Form_Load();
}

frmAlign::~frmAlign() = default;

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
                Picture1_MouseDown(index, int(button), keyStateMask(modifiers), at.x(), at.y());
            });
    connect(view, &PictureBox::doubleClicked, this, [this, index](QPoint) { Picture1_DblClick(index); });
    connect(view, &PictureBox::keyPressed, this, [this, index](int key, Qt::KeyboardModifiers modifiers) {
        Picture1_KeyDown(index, keyCodeOf(key), keyStateMask(modifiers));
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

void frmAlign::setDefaultPalette()
{
    ::setDefaultPalette(workstation_.card(), workstation_.workPicture(WorkPicture::Composite), alignConfig_);
}

void frmAlign::showSet()
{
    shownSet_ = state_.imageSet;
}

void frmAlign::Form_Load()
{
    blinkCount_ = 0;
    cmdZO->setEnabled(false);
    if (state_.alignState == 1) {
        fitImageSet();
        cmdGrab->setEnabled(false);
        for (int i = 1; i <= 6; ++i)
            drawWhole(i);
        showSet();
        areaLeft_ = areaTop_ = 50;
        drawSquare();
        setInstructions(moveSquare);
        return;
    }
    CardLibrary &card = workstation_.card();
    captureImage_.reset();
    if (!state_.noCard) {
        lastResult_ = static_cast<int16_t>(card.readIniFile(state_.captureIniPath, QStringLiteral("DEFAULT"), &alignConfig_));
        int16_t code = static_cast<int16_t>(card.prepare(&alignConfig_, 1));
        CheckZulError(code, card, workstation_.op());
        setDefaultPalette();
    }
    setInstructions(grabOrRead);
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
    // The images are gone with the window: nothing waits for an alignment
    // any more, and a later opening must not draw a set that does not exist.
    state_.releaseImageSet();
    state_.alignState = 0;
    sizeWorkPictures(workstation_);
}

void frmAlign::cmdGrab_Click()
{
    Operator &op = workstation_.op();
    if (state_.noCard) {
        // Preparing a card that was never brought up fails, and that failure
        // would end the whole program.
        op.tell(QStringLiteral("No capture card is available, so no images can be grabbed.  "
                               "Use Read .SIX to align the images of a .SIX file."),
                title, Operator::Icon::Exclamation);
        return;
    }
    CardLibrary &card = workstation_.card();
    int16_t code = static_cast<int16_t>(card.prepare(&alignConfig_, 1));
    CheckZulError(code, card, op);
    setDefaultPalette();
    lastResult_ = code;

    // The views show each image as it comes; a grab that stops half way
    // puts back what they showed, and the set of the window stays as it was.
    std::array<QImage, 7> shown;
    for (int i = 1; i <= 6; ++i)
        shown[i] = Picture1[i]->image();
    auto putBack = [&] {
        for (int i = 1; i <= 6; ++i)
            Picture1[i]->setImage(shown[i]);
    };
    const QSize size(state_.imageWidth, state_.imageHeight);
    const align::PreviewFit fit = align::fitImageSet(size.width(), size.height());
    std::array<QImage, 6> grabbed;
    for (int i = 1; i <= 6; ++i) {
        if (op.ask(grabPrompts[static_cast<std::size_t>(i - 1)], title, Operator::Buttons::OkCancel,
                   Operator::Icon::None)
            != Operator::Answer::Ok) {
            putBack();
            return;
        }
        CapturedFrame frame;
        {
            const BusyCursor busy;
            QCoreApplication::processEvents();
            frame = captureFrame(card, alignConfig_, state_.averageCount, captureImage_, size);
        }
        lastResult_ = static_cast<int16_t>(frame.result);
        if (!frame.ok()) {
            putBack();
            op.tell(QStringLiteral("Image %1 could not be grabbed (%2).  The window keeps the images it had.")
                        .arg(i)
                        .arg(ZulErrorText(lastResult_)),
                    title, Operator::Icon::Exclamation);
            return;
        }
        grabbed[static_cast<std::size_t>(i - 1)] = frame.image;
        clearView(i);
        drawImage(i, frame.image, size, fit);
    }
    state_.takeImageSet(grabbed);
    showSet();
    // The grabbed set is no ".six" read in: OK asks where to save it.
    state_.alignState = 0;
    fitImageSet();
    for (int i = 1; i <= 6; ++i) {
        clearView(i);
        drawWhole(i);
    }
    // The views show whole images again, so clicks choose the area.
    pickMode_ = 0;
    cmdZO->setEnabled(false);
    areaLeft_ = areaTop_ = 50;
    drawSquare();
    setInstructions(moveSquareAfterGrab);
    restartBlinking();
}

frmAlign &showAlignWindow(Workstation &workstation, SingleWindow<frmAlign> &window, QWidget *parent)
{
    const BusyCursor busy;
    if (frmAlign *open = window.get();
        open && workstation.state().alignState == 1 && open->shownSet() != workstation.state().imageSet)
        window.discard();
    return window.show([&] {
        auto *align = new frmAlign(workstation, parent);
        align->resize(pixelsFromTwips(11776, 7600));
        return align;
    });
}
