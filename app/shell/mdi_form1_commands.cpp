// The commands of the main window: one handler each, shared by the toolbar,
// the left panel and the menus.
#include "mdi_form1.h"

#include "acquisition/live_preview.h"
#include "acquisition/moire_capture.h"
#include "acquisition/six_step_sequence.h"
#include "alignment/frm_align.h"
#include "frm_about.h"
#include "frm_new.h"
#include "frm_set.h"
#include "frm_settings.h"
#include "masking/frm_back.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "platform/twips.h"
#include "workbench/app_state.h"
#include "workbench/frm_img.h"

#include <QCoreApplication>
#include <QHash>
#include <QMdiArea>
#include <QToolBar>

void MDIForm1::Toolbar3_ButtonClick(const QString &key)
{
    static const QHash<QString, void (MDIForm1::*)()> kCommands = {
        {QStringLiteral("file"), &MDIForm1::cmdFile_Click},
        {QStringLiteral("area"), &MDIForm1::cmdArea_Click},
        {QStringLiteral("Camera"), &MDIForm1::cmdPrev_Click},
        {QStringLiteral("refl"), &MDIForm1::cmdRef_Click},
        {QStringLiteral("trans"), &MDIForm1::cmdTrans_Click},
        {QStringLiteral("moire"), &MDIForm1::cmdMoire_Click},
        {QStringLiteral("align"), &MDIForm1::cmdAlign_Click},
        {QStringLiteral("mask"), &MDIForm1::cmdBack_Click},
        {QStringLiteral("clear"), &MDIForm1::cmdClear_Click},
        {QStringLiteral("od"), &MDIForm1::cmdOndara_Click},
        {QStringLiteral("sb"), &MDIForm1::cmdSabeln_Click},
        {QStringLiteral("MoireProg"), &MDIForm1::cmdMoireProg_Click},
    };
    static const QHash<QString, OptionBox> kBoxes = {{QStringLiteral("filter"), OptionBox::Filter},
                                                     {QStringLiteral("x46"), OptionBox::SaveI46},
                                                     {QStringLiteral("auto"), OptionBox::AutoInc}};

    if (const auto command = kCommands.find(key); command != kCommands.end()) {
        (this->*command.value())();
    } else if (const auto box = kBoxes.find(key); box != kBoxes.end()) {
        setCheckValue(box.value(), 1 - checkValue(box.value()));
    }
}

void MDIForm1::cmdFile_Click()
{
    naming_.setFilename();
    update();
}

void MDIForm1::cmdArea_Click()
{
    if (state_.previewOn == 1)
        cmdPrev_Click();
    // Bringing the card up for the full-frame snapshot takes a moment.
    const BusyCursor busy;
    areaWindow_.show([this] { return new frmSet(*this, this); });
}

void MDIForm1::cmdPrev_Click()
{
    livePreview_->cmdPrev_Click();
}

void MDIForm1::Timer1_Timer()
{
    livePreview_->Timer1_Timer();
}

void MDIForm1::cmdRef_Click()
{
    SixStepSequence(*this, SixLayout::Reflection).run();
}

void MDIForm1::cmdTrans_Click()
{
    SixStepSequence(*this, SixLayout::Transmission).run();
}

void MDIForm1::cmdMoire_Click()
{
    MoireCapture(*this, haveReference_).run();
}

void MDIForm1::cmdAlign_Click()
{
    showAlignWindow(*this, alignWindow_, this);
}

void MDIForm1::cmdBack_Click()
{
    // The editor stays open beside the main window.
    maskWindow_.show([this] {
        auto *window = new frmBack(*this, this);
        window->resize(pixelsFromTwips(12000, 9000));
        return window;
    });
}

void MDIForm1::mnuSettings_Click()
{
    settingsWindow_.show([this] { return new frmSettings(*this, settings_, this); });
}

void MDIForm1::mnuWhatsNew_Click()
{
    whatsNewWindow_.show([this] { return new frmNew(ProgramFiles::ofThisProgram().releaseNotesFolder(), this); });
}

void MDIForm1::mnuAbout_Click()
{
    aboutWindow_.show([this] { return new frmAbout(op_, launcher_, this); });
}

FrmImg *MDIForm1::imageForm(int index)
{
    if (!imageForms_.at(index)) {
        auto *form = new FrmImg;
        mdiArea_->addSubWindow(form);
        form->hide();
        imageForms_[index] = form;
    }
    return imageForms_[index];
}

void MDIForm1::cmdClear_Click()
{
    for (int index = 1; index <= 6; ++index)
        imageForm(index)->hide();
}

void MDIForm1::mnuDefault_Click()
{
    state_.setAllOrigins(12);
    setStatusPanel(StatusPanel::AlignmentSource, QStringLiteral("Default"));
}

void MDIForm1::mnuExit_Click()
{
    close();
    QCoreApplication::quit();
}

void MDIForm1::mnuTop_Click()
{
    mnuTop_->setChecked(!mnuTop_->isChecked());
    showToolbarsAsMarked();
}

void MDIForm1::mnuShowLeft_Click()
{
    mnuShowLeft_->setChecked(!mnuShowLeft_->isChecked());
    showToolbarsAsMarked();
}

void MDIForm1::mnuLabels_Click()
{
    if (mnuLabels_->isChecked()) {
        setButtonCaptions(false);
        mnuLabels_->setChecked(false);
        placeAverageControls({6740, 0}, {6020, 40}, {7100, 0});
    } else {
        setButtonCaptions(true);
        mnuLabels_->setChecked(true);
        placeAverageControls({9480, 120}, {8760, 160}, {9840, 120});
    }
}

void MDIForm1::mnuSaveExit_Click()
{
    mnuSaveExit_->setChecked(!mnuSaveExit_->isChecked());
}

void MDIForm1::cmdOndara_Click()
{
    startProgram(state_.ondaraPath, QStringLiteral("Ondara"));
}

void MDIForm1::cmdSabeln_Click()
{
    startProgram(state_.sabelnPath, QStringLiteral("Sabeln"));
}

void MDIForm1::cmdMoireProg_Click()
{
    startProgram(state_.moireProgPath, QStringLiteral("the moire program"));
}

void MDIForm1::startProgram(const QString &commandLine, const QString &programName)
{
    if (commandLine.trimmed().isEmpty()) {
        op_.tell(QStringLiteral("No command line is set for %1.  Set it under Options, Settings...").arg(programName),
                 QStringLiteral("Isostep"), Operator::Icon::Exclamation);
        return;
    }
    QString error;
    if (!launcher_.start(commandLine, &error))
        op_.tell(QStringLiteral("%1 could not be started from \"%2\": %3").arg(programName, commandLine, error),
                 QStringLiteral("Isostep"), Operator::Icon::Exclamation);
}
