// The commands of the main window: one handler each, shared by the toolbar,
// the left panel and the menus.
#include "mdi_form1.h"

#include "acquisition/six_step_sequence.h"
#include "alignment/frm_align.h"
#include "frm_about.h"
#include "frm_img.h"
#include "frm_new.h"
#include "frm_set.h"
#include "frm_settings.h"
#include "masking/frm_back.h"
#include "platform/operator.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "toolbar_buttons.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScopeGuard>
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
    static const QHash<QString, int> kBoxes = {
        {QStringLiteral("filter"), 1}, {QStringLiteral("x46"), 2}, {QStringLiteral("auto"), 3}};

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
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    auto *window = new frmSet(*this, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void MDIForm1::cmdPrev_Click() {}
void MDIForm1::cmdRef_Click()
{
    SixStepSequence(*this, SixLayout::Reflection).run();
}

void MDIForm1::cmdTrans_Click()
{
    SixStepSequence(*this, SixLayout::Transmission).run();
}
void MDIForm1::cmdMoire_Click() {}
void MDIForm1::cmdAlign_Click()
{
    constexpr int widthTwips = 11776;
    constexpr int heightTwips = 7600;
    constexpr int twipsPerPixel = 15;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A window already open keeps its work, unless a sequence has just
    // handed over a new set: that set needs a fresh load to be drawn.
    if (alignWindow_ && !alignWindow_->unloaded() && state_.alignState == 1)
        delete alignWindow_.data();
    if (!alignWindow_ || alignWindow_->unloaded()) {
        alignWindow_ = new frmAlign(*this, this);
        alignWindow_->setAttribute(Qt::WA_DeleteOnClose);
        alignWindow_->resize((widthTwips + twipsPerPixel / 2) / twipsPerPixel,
                             (heightTwips + twipsPerPixel / 2) / twipsPerPixel);
    }
    alignWindow_->show();
    alignWindow_->raise();
    alignWindow_->activateWindow();
    QApplication::restoreOverrideCursor();
}

frmAlign *MDIForm1::alignWindow() const
{
    return alignWindow_.data();
}
void MDIForm1::cmdBack_Click()
{
    // 12000 x 9000 twips; the editor stays open beside the main window.
    auto *window = new frmBack(state_, op_, [this](const QString &name) { setStatusPanel(7, name); }, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(12000 / 15, 9000 / 15);
    window->show();
}
void MDIForm1::mnuSettings_Click()
{
    // One settings window at a time; asking again brings it forward.
    if (auto *open = findChild<frmSettings *>()) {
        open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    auto *window = new frmSettings(*this, settings_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}
void MDIForm1::mnuWhatsNew_Click()
{
    auto *window = new frmNew(ProgramFiles::ofThisProgram().releaseNotesFolder(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void MDIForm1::mnuAbout_Click()
{
    auto *window = new frmAbout(op_, launcher_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
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
    setStatusPanel(7, QStringLiteral("Default"));
}

void MDIForm1::mnuExit_Click()
{
    close();
    QCoreApplication::quit();
}

void MDIForm1::mnuTop_Click()
{
    QAction *item = findChild<QAction *>(QStringLiteral("mnuTop"));
    toolbar3_->setVisible(!item->isChecked());
    item->setChecked(!item->isChecked());
}

void MDIForm1::mnuShowLeft_Click()
{
    QAction *item = findChild<QAction *>(QStringLiteral("mnuShowLeft"));
    toolbar1_->setVisible(!item->isChecked());
    item->setChecked(!item->isChecked());
}

void MDIForm1::mnuLabels_Click()
{
    QAction *item = findChild<QAction *>(QStringLiteral("mnuLabels"));
    if (item->isChecked()) {
        setButtonCaptions(false);
        item->setChecked(false);
        placeAverageControls({6740, 0}, {6020, 40}, {7100, 0});
    } else {
        setButtonCaptions(true);
        item->setChecked(true);
        placeAverageControls({9480, 120}, {8760, 160}, {9840, 120});
    }
}

void MDIForm1::mnuSaveExit_Click()
{
    QAction *item = findChild<QAction *>(QStringLiteral("mnuSaveExit"));
    item->setChecked(!item->isChecked());
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
