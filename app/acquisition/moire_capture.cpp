#include "moire_capture.h"

#include "image_grid.h"
#include "live_preview.h"
#include "platform/bmp_file.h"
#include "platform/card_image.h"
#include "platform/card_library.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "workbench/app_state.h"
#include "workbench/file_naming.h"
#include "workbench/frame_capture.h"
#include "workbench/frm_img.h"
#include "workbench/workstation.h"
#include "working_images.h"

#include <QCoreApplication>
#include <algorithm>
#include <exception>
#include <optional>

namespace {

const QString kTitle = QStringLiteral("Isostep");
constexpr QRgb kBlack = 0xff000000u;
constexpr QRgb kRed = 0xffff0000u;
constexpr QRgb kGreen = 0xff00ff00u;

struct ImageStep {
    const char *caption;
    const char *prompt;
    QRgb channel; // where the image goes in the ".moi"
};
const ImageStep kSteps[2] = {
    {"Reference", "Do you wish to capture cone for reference grating?", kRed},
    {"Object", "Collect object image?", kGreen},
};

QImage blackImage(QSize size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(kBlack);
    return image;
}

// Both moire dialogs offer the next numbered name of the six-step output.
FileDialogRecord moireDialog(const FileNaming &naming)
{
    FileDialogRecord record;
    record.filters = {{QStringLiteral("MOI files"), QStringLiteral("*.moi")}};
    record.defaultExtension = QStringLiteral("moi");
    record.overwritePrompt = true;
    if (!naming.baseName().isEmpty())
        record.initialFileName = naming.baseName() + QString::number(naming.fileCounter()) + QStringLiteral(".moi");
    return record;
}

} // namespace

MoireCapture::MoireCapture(Workstation &workstation, bool &haveReference)
    : workstation_(workstation), haveReference_(haveReference)
{
}

void MoireCapture::run()
{
    try {
        runSteps();
    } catch (const std::exception &failure) {
        // A card library that cannot be bound ends this run, not the program.
        workstation_.op().tell(QString::fromLocal8Bit(failure.what()), kTitle, Operator::Icon::Exclamation);
    }
}

void MoireCapture::runSteps()
{
    AppState &state = workstation_.state();
    for (int index = 1; index <= 6; ++index)
        workstation_.imageForm(index)->hide();
    workstation_.workPicture(WorkPicture::Loaded).resize(state.cropWidth + 4, state.cropHeight + 4);
    if (!state.noCard)
        reapplyLiveSettings(workstation_);
    if (state.previewOn == 1)
        workstation_.cmdPrev_Click();

    // Without a name there is nowhere to write; the reference stays as it is.
    const auto chosen = workstation_.op().chooseSaveFile(moireDialog(workstation_.naming()));
    if (!chosen)
        return;
    fileName_ = chosen->trimmed();

    const ImageGrid grid(workstation_);
    for (int index = 1; index <= 2; ++index)
        if (!takeImage(grid, index))
            return;
    compose();
}

bool MoireCapture::takeImage(const ImageGrid &grid, int index)
{
    AppState &state = workstation_.state();
    Operator &op = workstation_.op();
    const ImageStep &step = kSteps[index - 1];
    FrmImg *form = workstation_.imageForm(index);
    grid.place(form, index, QLatin1String(step.caption));
    workstation_.setStatusPanel(StatusPanel::Status, QStringLiteral("Waiting"));
    const bool take = op.ask(QLatin1String(step.prompt), kTitle, Operator::Buttons::YesNo, Operator::Icon::None)
        == Operator::Answer::Yes;
    QImage &working = images_[static_cast<std::size_t>(index - 1)];
    skipped_[static_cast<std::size_t>(index - 1)] = !take;
    if (take) {
        const BusyCursor busy;
        workstation_.setStatusPanel(StatusPanel::Status, QStringLiteral("Capturing Image"));
        QCoreApplication::processEvents();
        working = capture();
        QCoreApplication::processEvents();
    } else {
        // A reference captured a moment ago is reference data too: only a
        // run with none at all needs one from a file.
        const bool referenceTaken = index == 2 && !skipped_[0];
        if (!haveReference_ && !referenceTaken) {
            if (op.ask(QStringLiteral("You do not have any reference data yet.  Do you want to use data from a "
                                      "previously saved file?"),
                       kTitle, Operator::Buttons::YesNo, Operator::Icon::None)
                != Operator::Answer::Yes)
                return false;
            if (!readSavedReference())
                return false;
        }
        working = blackImage(QSize(state.imageWidth, state.imageHeight));
    }
    grid.drawFitted(form, working, std::max(working.width(), working.height()));
    return true;
}

QImage MoireCapture::capture()
{
    AppState &state = workstation_.state();
    const QSize size(state.imageWidth, state.imageHeight);
    if (state.noCard) {
        // No card was brought up: nothing comes from the camera.
        workstation_.liveImage().reset();
        return blackImage(size);
    }
    // As with every grab of the live configuration, a failure is not looked
    // into: the image stays as the library leaves it, black at worst.
    return captureFrame(workstation_.card(), workstation_.liveConfig(), state.averageCount, workstation_.liveImage(),
                        size)
        .image;
}

bool MoireCapture::readSavedReference()
{
    Operator &op = workstation_.op();
    const auto chosen = op.chooseOpenFile(moireDialog(workstation_.naming()));
    if (!chosen)
        return false;
    const PictureRead read = readPicture(chosen->trimmed());
    if (!read.ok()) {
        op.tell(read.error, kTitle, Operator::Icon::Exclamation);
        return false;
    }
    AppState &state = workstation_.state();
    QImage store = blackImage(QSize(state.cropWidth, state.cropHeight));
    raster::bitBlt(store, 0, 0, state.cropWidth, state.cropHeight, read.image, 0, 0, raster::Rop::SrcCopy);
    state.moireImage = store;
    haveReference_ = true;
    return true;
}

void MoireCapture::compose()
{
    AppState &state = workstation_.state();
    Operator &op = workstation_.op();
    const int width = state.cropWidth;
    const int height = state.cropHeight;
    std::optional<BusyCursor> busy(std::in_place);
    workstation_.setStatusPanel(StatusPanel::Status, QStringLiteral("Saving Image"));

    QImage store = blackImage(QSize(width, height));
    if (haveReference_) {
        // A kept reference keeps its red channel and loses the others; one
        // that a new capture replaces goes altogether.
        raster::bitBlt(store, 0, 0, width, height, state.moireImage, 0, 0, raster::Rop::SrcCopy);
        QImage mask = blackImage(store.size());
        raster::fill(mask, mask.rect(), raster::Rop::PatCopy, skipped_[0] ? kRed : kBlack);
        raster::bitBlt(store, 0, 0, width, height, mask, 0, 0, raster::Rop::SrcAnd);
    }
    for (std::size_t k = 0; k < 2; ++k) {
        if (skipped_[k])
            continue;
        QImage channel = blackImage(store.size());
        raster::bitBlt(channel, 0, 0, width, height, images_[k], 10, 10, raster::Rop::MergeCopy, kSteps[k].channel);
        raster::bitBlt(store, 0, 0, width, height, channel, 0, 0, raster::Rop::SrcPaint);
    }

    // The store takes the new reference only once the file holding it is
    // written, so a failed write leaves the earlier reference in place.
    QString error;
    if (!saveBmp24(store, fileName_, &error)) {
        busy.reset();
        op.tell(error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    state.moireImage = store;
    busy.reset();
    op.tell(QStringLiteral("Finished.  Written file as ") + fileName_, kTitle, Operator::Icon::None);
    workstation_.setStatusPanel(StatusPanel::Status, QStringLiteral("Done"));
    workstation_.naming().markUsed();
    haveReference_ = true;
}
