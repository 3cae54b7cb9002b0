// Reading a ".six", the alignment file, and OK.
#include "frm_align.h"

#include "acquisition/compose_working_images.h"
#include "alignment_file.h"
#include "frm_align_shared.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "six_file_reader.h"
#include "workbench/app_state.h"
#include "workbench/file_naming.h"
#include "workbench/workstation.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

using namespace align_window;

namespace {

// A name typed without an extension still names a file of the dialog's kind.
FileDialogRecord dialogRecord(const QString &filterName, const QString &extension)
{
    FileDialogRecord record = fileDialogRecord(filterName, extension);
    record.overwritePrompt = true;
    return record;
}

} // namespace

void frmAlign::cmdRead_Click()
{
    QCoreApplication::processEvents();
    const auto chosen = workstation_.op().chooseOpenFile(
        dialogRecord(QStringLiteral("SIX files"), QStringLiteral("six")));
    if (!chosen)
        return;
    const QString fileName = chosen->trimmed();
    std::optional<BusyCursor> busy(std::in_place);
    const SixSplit split = readSixFile(fileName);
    if (!split.ok()) {
        busy.reset();
        workstation_.op().tell(split.error, title, Operator::Icon::Exclamation);
        return;
    }
    workstation_.naming().markFresh();
    state_.imageWidth = state_.cropWidth = split.cell.width();
    state_.imageHeight = state_.cropHeight = split.cell.height();
    fitImageSet();
    std::array<QImage, 6> working;
    for (int i = 0; i < 6; ++i)
        working[i] = workingImageFromCell(split.images[i]);
    state_.takeImageSet(working);
    showSet();
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
    setInstructions(moveSquare);
    // The views show whole images again, so clicks choose the area.
    pickMode_ = 0;
    cmdZO->setEnabled(false);
    state_.alignState = 2;
    Picture1[1]->setFocus();
}

bool frmAlign::takeOriginsFromMarkers()
{
    std::array<QString, 7> xs, ys;
    for (int i = 1; i <= 6; ++i) {
        xs[i] = Text1[i]->text();
        ys[i] = Text2[i]->text();
    }
    const align::MarkerOrigins origins = align::originsFromMarkerTexts(xs, ys);
    if (!origins.ok()) {
        workstation_.op().tell(origins.error, title, Operator::Icon::Exclamation);
        return false;
    }
    state_.alignX = origins.x;
    state_.alignY = origins.y;
    return true;
}

void frmAlign::cmdSave_Click()
{
    if (!takeOriginsFromMarkers())
        return;
    const auto chosen = workstation_.op().chooseSaveFile(
        dialogRecord(QStringLiteral("SAL files"), QStringLiteral("sal")));
    if (!chosen) {
        workstation_.setStatusPanel(StatusPanel::AlignmentSource, QString());
        return;
    }
    AlignmentOrigins file;
    file.x = state_.alignX;
    file.y = state_.alignY;
    if (const FileResult written = writeAlignmentFile(*chosen, file); !written.ok()) {
        workstation_.op().tell(written.error, title, Operator::Icon::Exclamation);
        return;
    }
    workstation_.setStatusPanel(StatusPanel::AlignmentSource, *chosen);
}

void frmAlign::cmdOpen_Click()
{
    const auto chosen = workstation_.op().chooseOpenFile(
        dialogRecord(QStringLiteral("SAL files"), QStringLiteral("sal")));
    if (!chosen)
        return;
    const AlignmentRead read = readAlignmentFile(*chosen);
    if (!read.ok()) {
        workstation_.op().tell(read.error, title, Operator::Icon::Exclamation);
        return;
    }
    workstation_.naming().markFresh();
    workstation_.setStatusPanel(StatusPanel::AlignmentSource, *chosen);
    for (int i = 1; i <= 6; ++i) {
        state_.alignX[i] = read.origins.x[i];
        state_.alignY[i] = read.origins.y[i];
        Text1[i]->setText(QString::number(2 * read.origins.x[i]));
        Text2[i]->setText(QString::number(2 * read.origins.y[i]));
    }
}

void frmAlign::cmdOK_Click()
{
    if (!takeOriginsFromMarkers())
        return;
    pickMode_ = 0;
    Operator &op = workstation_.op();
    if (!haveImages()) {
        op.tell(QStringLiteral("There are no images to compose.  Grab images or read a .SIX file first."), title,
                Operator::Icon::Information);
        return;
    }

    // A cancelled dialog writes nothing: composing under the old name would
    // overwrite a file the operator has just declined to name. A chosen name
    // is the output name from now on, numbered captures included.
    auto chooseSixName = [&] {
        const auto chosen = op.chooseSaveFile(dialogRecord(QStringLiteral("SIX files"), QStringLiteral("six")));
        if (!chosen)
            return false;
        workstation_.naming().adopt(*chosen);
        return true;
    };

    switch (state_.alignState) {
    case 1:
        if (!composeWorkingImages(workstation_, SixLayout::Reflection))
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
        if (answer == Operator::Answer::No && !chooseSixName())
            return;
        if (!composeWorkingImages(workstation_, SixLayout::Reflection))
            return;
        // The composition has released the images; the views follow.
        state_.alignState = 0;
        pickMode_ = 0;
        for (int i = 1; i <= 6; ++i)
            clearView(i);
        return;
    }
    default: {
        const auto answer = op.ask(QStringLiteral("Do you wish to save the .six data?"), QStringLiteral("Save?"),
                                   Operator::Buttons::YesNo, Operator::Icon::None);
        if (answer != Operator::Answer::Yes) {
            close();
            return;
        }
        if (!chooseSixName() || !composeWorkingImages(workstation_, SixLayout::Reflection))
            return;
        pickMode_ = 0;
        close();
        return;
    }
    }
}
