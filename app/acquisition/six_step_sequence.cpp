#include "six_step_sequence.h"

#include "butterworth_filter.h"
#include "compose_working_images.h"
#include "live_preview.h"
#include "platform/card_image.h"
#include "platform/card_library.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "workbench/app_state.h"
#include "workbench/file_naming.h"
#include "workbench/frame_capture.h"
#include "workbench/frm_img.h"
#include "workbench/workstation.h"
#include "workbench/zul_errors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace {
void letEventsRun()
{
    QCoreApplication::processEvents();
}
} // namespace

SixStepSequence::SixStepSequence(Workstation &workstation, SixLayout layout)
    : workstation_(workstation), reflection_(layout == SixLayout::Reflection), images_(layout)
{
}

void SixStepSequence::run()
{
    try {
        runSteps();
    } catch (const std::exception &failure) {
        // A failure ends this run, never the program; what was gathered stays
        // in the image windows.
        workstation_.op().tell(QString::fromLocal8Bit(failure.what()), QStringLiteral("Isostep"),
                               Operator::Icon::Exclamation);
    }
    if (named_ && !published_)
        giveUpWaitingSet();
}

void SixStepSequence::runSteps()
{
    AppState &state = workstation_.state();
    if (!reflection_ && state.previewOn == 1)
        workstation_.cmdPrev_Click();
    // The settings just read name the capture window; a transmission run
    // captures, so the card takes them before the first picture.
    if (!state.noCard) {
        if (reflection_)
            workstation_.card().readIniFile(state.captureIniPath, QStringLiteral("DEFAULT"), &workstation_.liveConfig());
        else
            reapplyLiveSettings(workstation_);
    }
    if (!workstation_.naming().namingStep(reflection_ ? FileNaming::Wording::Reflection
                                                      : FileNaming::Wording::Transmission,
                                          workstation_.optionSet(OptionBox::AutoInc)))
        return;
    named_ = true;

    grid_.emplace(workstation_);
    for (int index = 1; index <= 6; ++index)
        if (!gather(index))
            return;
    publishImages();

    if (reflection_) {
        askAlignment();
    } else {
        composeWorkingImages(workstation_, SixLayout::Transmission);
    }
}

bool SixStepSequence::gather(int index)
{
    FrmImg *form = workstation_.imageForm(index);
    grid_->place(form, index,
                 (reflection_ ? QStringLiteral("Refl. Image ") : QStringLiteral("Trans. Image "))
                     + QString::number(index));

    if (reflection_)
        workstation_.setStatusPanel(StatusPanel::Status, QStringLiteral("Waiting"));
    workstation_.setStatusPanel(StatusPanel::Status,
                                reflection_ ? QStringLiteral("Capturing Image") : QStringLiteral("Capturing Images"));
    letEventsRun();

    if (!reflection_ && !workstation_.state().noCard) {
        if (!captureImage(index))
            return false;
    } else {
        if (!chooseFile(index))
            return false;
        // Image 1 sets the geometry; the other five must match it.
        std::optional<BusyCursor> busy(std::in_place);
        const QString problem = images_.take(index, fileName_);
        if (!problem.isEmpty()) {
            busy.reset(); // no hourglass over the message
            workstation_.op().tell(problem, QStringLiteral("Isostep"), Operator::Icon::Exclamation);
            return false;
        }
        letEventsRun();
    }

    QImage &working = images_.image(index);
    if (workstation_.optionSet(OptionBox::Filter)) {
        workstation_.setStatusPanel(StatusPanel::Status, QStringLiteral("Filtering"));
        ButterworthFilter(working, workstation_.state().cutOffRatio);
    }
    grid_->drawFitted(form, working, images_.imageMaxSide());
    return true;
}

bool SixStepSequence::captureImage(int index)
{
    // Each image is taken afresh once the operator has turned the optics to
    // its setting; the live view's last picture would give six of the same.
    const QString name = QStringLiteral("Trans. Image ") + QString::number(index);
    if (workstation_.op().ask(name + QStringLiteral(": set up the optics and press OK."), QStringLiteral("Isostep"),
                              Operator::Buttons::OkCancel, Operator::Icon::None)
        != Operator::Answer::Ok)
        return false;
    AppState &state = workstation_.state();
    ZulConfig &config = workstation_.liveConfig();
    std::optional<BusyCursor> busy(std::in_place);
    const CapturedFrame frame = captureFrame(workstation_.card(), config, state.averageCount, workstation_.liveImage(),
                                             frameSize(config));
    if (!frame.ok()) {
        busy.reset();
        recoverCard();
        return false;
    }
    const QString problem = images_.takePicture(index, frame.image, name);
    if (!problem.isEmpty()) {
        busy.reset();
        workstation_.op().tell(problem, QStringLiteral("Isostep"), Operator::Icon::Exclamation);
        return false;
    }
    letEventsRun();
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
    record.defaultExtension = QStringLiteral("bas");
    record.overwritePrompt = true;
    record.multiSelect = !reflection_;
    const auto chosen = workstation_.op().chooseOpenFile(record);
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
    autoRead_ = workstation_.op().ask(
                    QStringLiteral("Isograb has found similar files numbered 2 to 6.  Automatically read in?"),
                    QStringLiteral("AutoRead"), Operator::Buttons::YesNo, Operator::Icon::None)
        == Operator::Answer::Yes;
}

void SixStepSequence::recoverCard()
{
    // No picture has come from the camera: bring the card down and up again
    // so the next run starts from a clean card.
    AppState &state = workstation_.state();
    CardLibrary &card = workstation_.card();
    Operator &op = workstation_.op();
    ZulConfig &config = workstation_.liveConfig();
    op.tell(QStringLiteral("Error. Check that camera is connected, then click OK."), QStringLiteral("Error"),
            Operator::Icon::Exclamation);
    workstation_.liveImage().reset();
    int16_t code = static_cast<int16_t>(card.saveIniFile(state.dumpIniPath, QStringLiteral("DEFAULT"), &config));
    CheckZulError(code, card, op);
    card.releasePalette();
    code = static_cast<int16_t>(card.closedown(1));
    CheckZulError(code, card, op);
    code = static_cast<int16_t>(card.init());
    CheckZulError(code, card, op);
    reapplyLiveSettings(workstation_);
}

void SixStepSequence::publishImages()
{
    // The set takes the place of the working images only once it is whole,
    // so a run that stops half way never leaves a mix of two sets behind.
    AppState &state = workstation_.state();
    state.takeImageSet(images_.images());
    state.imageWidth = images_.imageWidth();
    state.imageHeight = images_.imageHeight();
    state.imageMaxSide = images_.imageMaxSide();
    state.cropWidth = images_.cropWidth();
    state.cropHeight = images_.cropHeight();
    sizeWorkPictures(workstation_);
    letEventsRun();
    published_ = true;
}

void SixStepSequence::giveUpWaitingSet()
{
    // The run has named its output but brought no new set. A set waiting
    // for the alignment window's OK would now be written under this run's
    // name, which is not the name it was captured for.
    AppState &state = workstation_.state();
    if (!state.setWaitsForAlignment())
        return;
    state.alignState = 0;
    workstation_.op().tell(QStringLiteral("The run stopped before all six images were read, so the set waiting in "
                                          "the Align window is no longer written as %1.  OK there now asks whether "
                                          "and where to save it.")
                               .arg(workstation_.naming().currentFileName()),
                           QStringLiteral("Isostep"), Operator::Icon::Exclamation);
}

void SixStepSequence::askAlignment()
{
    AppState &state = workstation_.state();
    state.alignState = 0;
    const auto answer = workstation_.op().ask(
        QStringLiteral(
            "Set new alignment?  Choose 'Yes' to set alignment now, or 'No' to use current alignment settings, or 'Cancel' to use default."),
        QStringLiteral("Align?"), Operator::Buttons::YesNoCancel, Operator::Icon::None);
    if (answer == Operator::Answer::Yes) {
        state.alignState = 1;
        workstation_.cmdAlign_Click();
        return;
    }
    if (answer != Operator::Answer::No)
        state.setAllOrigins(10);
    composeWorkingImages(workstation_, SixLayout::Reflection);
}
