// Start-up and shutdown of the main window.
#include "mdi_form1.h"

#include "fresh_capture_settings.h"
#include "platform/card_library.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "platform/vb_conversions.h"
#include "platform/zul_surface.h"
#include "workbench/app_state.h"
#include "workbench/zul_errors.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <exception>
#include <stdexcept>

namespace {
const QString kOptions = QStringLiteral("options");
const QString kView = QStringLiteral("view");
const QString kSoftware = QStringLiteral("software");
} // namespace

void MDIForm1::Form_Load(bool startWithCard)
{
    try {
        state_.noCard = true;
        liveImage_.reset();
        state_.averageCount = 1;

        const QString directory = currentDirectoryOption();
        if (!QDir::setCurrent(directory)) {
            // A stored folder can vanish (a removed disc, a renamed share);
            // that is no reason to give up the rest of the start-up.
            const QString home = QDir::homePath();
            op_.tell(QStringLiteral("The working folder \"%1\" cannot be opened.  Isostep is working in %2 instead.")
                         .arg(QDir::toNativeSeparators(directory), QDir::toNativeSeparators(home)),
                     QStringLiteral("Isostep"), Operator::Icon::Exclamation);
            QDir::setCurrent(home);
        }

        state_.ondaraPath = settings_.text(kSoftware, QStringLiteral("ondara"));
        state_.sabelnPath = settings_.text(kSoftware, QStringLiteral("sabeln"));
        state_.moireProgPath = settings_.text(kSoftware, QStringLiteral("moireprog"));

        restoreOptions();

        // A stored count that does not convert is absent, like every other
        // option: the box must not start with a text it would refuse.
        const QString average = settings_.text(kOptions, QStringLiteral("average"));
        text1_->setText(vb::toInt16(average) ? average : QStringLiteral("1"));

        state_.imageSizeOption = settings_.integer(kOptions, QStringLiteral("areaind"), 0);
        state_.cutOffRatio = settings_.number(kOptions, QStringLiteral("cor"), 0.25);
        // A stored ratio outside 0..1 is no low-pass filter; the default is.
        if (!(state_.cutOffRatio > 0.0 && state_.cutOffRatio < 1.0))
            state_.cutOffRatio = 0.25;

        mnuTop_->setChecked(settings_.boolean(kView, QStringLiteral("top"), true));
        mnuShowLeft_->setChecked(settings_.boolean(kView, QStringLiteral("left"), true));
        mnuLabels_->setChecked(settings_.boolean(kView, QStringLiteral("labels"), true));
        showToolbarsAsMarked();

        if (!mnuLabels_->isChecked()) {
            setButtonCaptions(false);
            placeAverageControls({6400, 0}, {5680, 40}, {6760, 0});
        }

        setStatusPanel(StatusPanel::FileName, QStringLiteral("CHOOSE FILE NAME"));
        setStatusPanel(StatusPanel::AlignmentSource, QStringLiteral("Default"));

        const ProgramFiles files = ProgramFiles::ofThisProgram();
        state_.capTotalIniPath = files.captureSettingsFile(QStringLiteral("captotal.ini"));
        state_.captureIniPath = files.captureSettingsFile(QStringLiteral("capture.ini"));
        state_.dumpIniPath = files.captureSettingsFile(QStringLiteral("dump.ini"));

        state_.applyGeometry();
        sizeWorkPictures(*this);
        state_.setAllOrigins(10);

        if (startWithCard)
            state_.noCard = false;
        if (!state_.noCard)
            InitZUL();
    } catch (const std::exception &) {
        op_.beep();
        op_.tell(QStringLiteral("There is a problem with the ZUL card.  Close down Isostep, reinstall the ZUL card and try again."),
                 QStringLiteral("Error"), Operator::Icon::Exclamation);
        state_.noCard = true;
    }
}

QString MDIForm1::currentDirectoryOption() const
{
    return settings_.text(kOptions, QStringLiteral("directory"), QDir::homePath());
}

void MDIForm1::restoreOptions()
{
    // Setting a box runs its click behaviour, which brings its toolbar button
    // and menu mark into step.
    setCheckValue(OptionBox::AutoInc, settings_.integer(kOptions, QStringLiteral("autoinc"), 0));
    setCheckValue(OptionBox::SaveI46, settings_.integer(kOptions, QStringLiteral("i4i6"), 0));
    setCheckValue(OptionBox::SaveI4, settings_.integer(kOptions, QStringLiteral("i4"), 0));
    setCheckValue(OptionBox::SaveI6, settings_.integer(kOptions, QStringLiteral("i6"), 0));
    setCheckValue(OptionBox::Filter, settings_.integer(kOptions, QStringLiteral("filter"), 0));
}

void MDIForm1::InitZUL()
{
    liveImage_.reset();
    int16_t code = static_cast<int16_t>(card_.init());
    // A card that cannot be opened is no reason to end the workstation: as
    // with a library that cannot be loaded, the operator is told and works
    // from files. Nothing is open yet that would need closing down.
    if (code != 0)
        throw std::runtime_error(ZulErrorText(code).toStdString());
    writeMissingCaptureSettings(state_, card_, op_);
    card_.defaultConfig(&liveConfig_);
    card_.readIniFile(state_.captureIniPath, QStringLiteral("DEFAULT"), &liveConfig_);
    code = static_cast<int16_t>(card_.testSignal(&liveConfig_));
    CheckZulError(code, card_, op_);
    currentWindow_ = liveConfig_.videoStandard == 1 ? liveConfig_.palWindow : liveConfig_.ntscWindow;
    code = static_cast<int16_t>(card_.prepare(&liveConfig_, 1));
    CheckZulError(code, card_, op_);
    setDefaultPalette(card_, workPicture(WorkPicture::Loaded), liveConfig_);
    card_.snap(&liveConfig_);
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void MDIForm1::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;

    state_.moireImage = QImage();
    state_.maskImage = QImage();

    settings_.setText(kOptions, QStringLiteral("areaind"), QString::number(state_.imageSizeOption));
    if (mnuSaveExit_->isChecked()) {
        settings_.setText(kSoftware, QStringLiteral("ondara"), state_.ondaraPath);
        settings_.setText(kSoftware, QStringLiteral("sabeln"), state_.sabelnPath);
        settings_.setText(kSoftware, QStringLiteral("moireprog"), state_.moireProgPath);
        settings_.setText(kOptions, QStringLiteral("autoinc"), QString::number(checkValue(OptionBox::AutoInc)));
        settings_.setText(kOptions, QStringLiteral("i4i6"), QString::number(checkValue(OptionBox::SaveI46)));
        settings_.setText(kOptions, QStringLiteral("i4"), QString::number(checkValue(OptionBox::SaveI4)));
        settings_.setText(kOptions, QStringLiteral("i6"), QString::number(checkValue(OptionBox::SaveI6)));
        settings_.setText(kOptions, QStringLiteral("filter"), QString::number(checkValue(OptionBox::Filter)));
        // A half-typed count left in the box is not the count in use, and
        // the next start would drop it for 1.
        settings_.setText(kOptions, QStringLiteral("average"),
                          vb::toInt16(text1_->text()) ? text1_->text() : QString::number(state_.averageCount));
        settings_.setText(kOptions, QStringLiteral("directory"), QDir::currentPath());
        settings_.setText(kOptions, QStringLiteral("areaind"), QString::number(state_.imageSizeOption));
        settings_.setText(kView, QStringLiteral("top"), vb::fromBool(mnuTop_->isChecked()));
        settings_.setText(kView, QStringLiteral("left"), vb::fromBool(mnuShowLeft_->isChecked()));
        settings_.setText(kView, QStringLiteral("labels"), vb::fromBool(mnuLabels_->isChecked()));
    }
    settings_.sync();

    // No refresh may snap a card that is closing down.
    timer1_->stop();
    liveImage_.reset();

    if (!state_.noCard) {
        int16_t code = static_cast<int16_t>(
            card_.saveIniFile(state_.dumpIniPath, QStringLiteral("DEFAULT"), &liveConfig_));
        CheckZulError(code, card_, op_);
        card_.releasePalette();
        code = static_cast<int16_t>(card_.closedown(1));
        CheckZulError(code, card_, op_);
    }
}
