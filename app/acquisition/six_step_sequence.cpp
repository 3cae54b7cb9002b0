#include "six_step_sequence.h"

#include "butterworth_filter.h"
#include "platform/card_library.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/zul_surface.h"
#include "shell/frm_img.h"
#include "shell/mdi_form1.h"
#include "shell/zul_errors.h"
#include "working_images.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <algorithm>
#include <optional>
#include <cmath>

namespace {
constexpr int kTwipsPerPixel = 15;

// The hourglass for as long as a step runs, restored however it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

void letEventsRun()
{
    QCoreApplication::processEvents();
}
} // namespace

SixStepSequence::SixStepSequence(MDIForm1 &window, SixLayout layout)
    : window_(window), layout_(layout), reflection_(layout == SixLayout::Reflection), images_(layout)
{
}

void SixStepSequence::run()
{
    try {
        runSteps();
    } catch (const std::exception &failure) {
        // A failure ends this run, never the program; what was gathered stays.
        window_.op().tell(QString::fromLocal8Bit(failure.what()), QStringLiteral("Isostep"),
                          Operator::Icon::Exclamation);
    }
}

void SixStepSequence::runSteps()
{
    AppState &state = window_.state();
    if (!reflection_ && state.previewOn == 1)
        window_.cmdPrev_Click();
    if (!state.noCard)
        window_.card().readIniFile(state.captureIniPath, QStringLiteral("DEFAULT"), &state.liveConfig);
    if (!window_.naming().namingStep(reflection_ ? FileNaming::Wording::Reflection : FileNaming::Wording::Transmission,
                                     window_.checkValue(3) == 1))
        return;

    gridWidth_ = window_.mdiArea()->width() * kTwipsPerPixel - 270;
    gridHeight_ = window_.mdiArea()->height() * kTwipsPerPixel - 750;
    if (gridHeight_ / 2 > gridWidth_ / 3)
        gridHeight_ = gridWidth_ * 2 / 3;
    gridHeight_ = std::min(gridHeight_, 7680);
    gridWidth_ = std::min(gridWidth_, 11520);

    for (int index = 1; index <= 6; ++index)
        if (!gather(index))
            return;

    if (reflection_) {
        askAlignment();
    } else {
        composeWorkingImages(window_, SixLayout::Transmission);
    }
}

bool SixStepSequence::gather(int index)
{
    AppState &state = window_.state();
    FrmImg *form = window_.imageForm(index);
    const int cellWidth = gridWidth_ / 3 + 90;
    const int cellHeight = gridHeight_ / 2 + 375;
    const int left = cellWidth * (index <= 3 ? index - 1 : index - 4);
    const int top = index <= 3 ? 0 : cellHeight;
    form->setGeometry(left / kTwipsPerPixel, top / kTwipsPerPixel, cellWidth / kTwipsPerPixel,
                      cellHeight / kTwipsPerPixel);
    form->setWindowTitle((reflection_ ? QStringLiteral("Refl. Image ") : QStringLiteral("Trans. Image "))
                         + QString::number(index));
    form->show();

    if (reflection_)
        window_.setStatusPanel(4, QStringLiteral("Waiting"));
    window_.setStatusPanel(4, reflection_ ? QStringLiteral("Capturing Image") : QStringLiteral("Capturing Images"));
    letEventsRun();

    if (!chooseFile(index))
        return false;

    // Image 1 sets the geometry; the other five must match it.
    WorkingImages &images = images_;
    std::optional<BusyCursor> busy(std::in_place);
    const QString problem = images.take(index, fileName_);
    if (!problem.isEmpty()) {
        busy.reset(); // no hourglass over the message
        window_.op().tell(problem, QStringLiteral("Isostep"), Operator::Icon::Exclamation);
        return false;
    }
    state.imageWidth = images.imageWidth();
    state.imageHeight = images.imageHeight();
    state.imageMaxSide = images.imageMaxSide();
    state.cropWidth = images.cropWidth();
    state.cropHeight = images.cropHeight();
    window_.sizeWorkPictures();
    letEventsRun();

    QImage &working = images.image(index);
    if (!reflection_ && !state.noCard) {
        if (!state.liveImage) {
            busy.reset();
            recoverCard();
            return false;
        }
        drawLiveImage(working);
    }
    if (window_.checkValue(1) == 1) {
        window_.setStatusPanel(4, QStringLiteral("Filtering"));
        ButterworthFilter(working, state.cutOffRatio);
    }
    state.imageDCs[index] = working;
    drawFitted(index);
    return true;
}

bool SixStepSequence::chooseFile(int index)
{
    if (index > 1 && autoRead_) {
        fileName_ = autoReadStem_ + QString::number(index) + QStringLiteral(".bmp");
        return true;
    }
    FileDialogRecord record;
    record.filters = {{QStringLiteral("BMP files"), QStringLiteral("*.bmp")}};
    record.title = QStringLiteral("Choose file for image ") + QString::number(index);
    record.initialFolder = reflection_ ? QDir::homePath() : QDir::currentPath();
    record.defaultExtension = QStringLiteral("bas");
    record.overwritePrompt = true;
    record.multiSelect = !reflection_;
    const auto chosen = window_.op().chooseOpenFile(record);
    if (!chosen) {
        // A cancelled dialog keeps the previous image's file; image 1 has
        // none, and an empty picture is no start for a set.
        return index > 1;
    }
    fileName_ = chosen->trimmed();
    if (index == 1)
        probeSiblings();
    return true;
}

void SixStepSequence::probeSiblings()
{
    autoRead_ = false;
    // "run1.bmp" gives the stem "run": the siblings are run2.bmp .. run6.bmp.
    autoReadStem_ = fileName_.left(std::max<qsizetype>(0, fileName_.size() - 5));
    for (int k = 2; k <= 6; ++k)
        if (!QFileInfo::exists(autoReadStem_ + QString::number(k) + QStringLiteral(".bmp")))
            return;
    autoRead_ = window_.op().ask(QStringLiteral("Isograb has found similar files numbered 2 to 6.  Automatically read in?"),
                                 QStringLiteral("AutoRead"), Operator::Buttons::YesNo, Operator::Icon::None)
        == Operator::Answer::Yes;
}

void SixStepSequence::drawFitted(int index)
{
    const AppState &state = window_.state();
    const QImage &working = state.imageDCs[index];
    const int side = std::max(1, gridWidth_ / 3 / kTwipsPerPixel);
    const double scale = static_cast<double>(side) / state.imageMaxSide;
    const int x = static_cast<int>(std::nearbyint((state.imageMaxSide - state.imageWidth) / 2.0 * scale));
    const int y = static_cast<int>(std::nearbyint((state.imageMaxSide - state.imageHeight) / 2.0 * scale));
    QImage view(side, side, QImage::Format_RGB32);
    view.fill(Qt::black);
    raster::stretchBlt(view, x, y, static_cast<int>(std::nearbyint(state.imageWidth * scale)),
                       static_cast<int>(std::nearbyint(state.imageHeight * scale)), working, 0, 0, state.imageWidth,
                       state.imageHeight);
    window_.imageForm(index)->picture()->setImage(view);
}

void SixStepSequence::drawLiveImage(QImage &working)
{
    AppState &state = window_.state();
    ZulSurface surface = zulSurfaceFor(working, QSize(state.imageWidth, state.imageHeight));
    window_.card().drawDIB(&surface, state.liveImage, 0, 0, 0, 0);
}

void SixStepSequence::recoverCard()
{
    // No picture has come from the camera: bring the card down and up again
    // so the next run starts from a clean card.
    AppState &state = window_.state();
    CardLibrary &card = window_.card();
    Operator &op = window_.op();
    op.tell(QStringLiteral("Error. Check that camera is connected, then click OK."), QStringLiteral("Error"),
            Operator::Icon::Exclamation);
    if (state.liveImage) {
        card.globalFree(state.liveImage);
        state.liveImage = nullptr;
    }
    int16_t code = static_cast<int16_t>(card.saveIniFile(state.dumpIniPath, QStringLiteral("DEFAULT"), &state.liveConfig));
    CheckZulError(code, card, op);
    card.releasePalette();
    code = static_cast<int16_t>(card.closedown(1));
    CheckZulError(code, card, op);
    code = static_cast<int16_t>(card.init());
    CheckZulError(code, card, op);
    card.readIniFile(state.captureIniPath, QStringLiteral("DEFAULT"), &state.liveConfig);
    code = static_cast<int16_t>(card.prepare(&state.liveConfig, 1));
    CheckZulError(code, card, op);
    ZulSurface surface = zulSurfaceFor(window_.picture(2)->imageForDrawing(), window_.picture(2)->size());
    const int format = state.liveConfig.OutputFormat;
    card.defaultPalette(&surface, format == 1 || format == 2 ? 1 : 0);
}

void SixStepSequence::askAlignment()
{
    AppState &state = window_.state();
    state.alignState = 0;
    const auto answer = window_.op().ask(
        QStringLiteral("Set new alignment?  Choose 'Yes' to set alignment now, or 'No' to use current alignment settings, or 'Cancel' to use default."),
        QStringLiteral("Align?"), Operator::Buttons::YesNoCancel, Operator::Icon::None);
    if (answer == Operator::Answer::Yes) {
        state.alignState = 1;
        window_.cmdAlign_Click();
        return;
    }
    if (answer != Operator::Answer::No)
        state.setAllOrigins(10);
    composeWorkingImages(window_, SixLayout::Reflection);
}

bool composeWorkingImages(MDIForm1 &window, SixLayout layout)
{
    AppState &state = window.state();
    CompositeRequest request;
    request.layout = layout;
    for (int i = 1; i <= 6; ++i) {
        request.images[i - 1] = state.imageDCs[i];
        request.origins[i - 1] = QPoint(state.alignX[i], state.alignY[i]);
    }
    request.imageWidth = state.imageWidth;
    request.imageHeight = state.imageHeight;
    request.cropWidth = state.cropWidth;
    request.cropHeight = state.cropHeight;
    request.fileName = state.currentFileName;
    request.saveI46 = window.checkValue(2) == 1;
    request.saveI4 = window.checkValue(4) == 1;
    request.saveI6 = window.checkValue(5) == 1;

    window.setStatusPanel(4, QStringLiteral("Saving Image"));
    letEventsRun();
    // No hourglass here: the writer's messages follow straight on, and the
    // composition itself takes a blink.
    const CompositeResult result = ComposeSix(request, window.op());
    if (!result.written)
        return false;
    state.maskImage = result.maskImage;
    for (int i = 1; i <= 6; ++i)
        state.imageDCs[i] = QImage();
    window.setStatusPanel(4, result.finalStatus);
    state.fileNameFresh = false;
    return true;
}
