// Start-up and shutdown of the main window.
#include "mdi_form1.h"

#include "platform/card_library.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "platform/vb_conversions.h"
#include "platform/zul_surface.h"
#include "zul_errors.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QToolBar>
#include <exception>

namespace {
const QString kOptions = QStringLiteral("options");
const QString kView = QStringLiteral("view");
const QString kSoftware = QStringLiteral("software");
} // namespace

void MDIForm1::Form_Load(bool startWithCard)
{
    try {
        state_.noCard = true;
        state_.liveImage = nullptr;
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

        text1_->setText(settings_.text(kOptions, QStringLiteral("average"), QStringLiteral("1")));

        state_.imageSizeOption = settings_.integer(kOptions, QStringLiteral("areaind"), 0);
        state_.cutOffRatio = settings_.number(kOptions, QStringLiteral("cor"), 0.25);
        // A stored ratio outside 0..1 is no low-pass filter; the default is.
        if (!(state_.cutOffRatio > 0.0 && state_.cutOffRatio < 1.0))
            state_.cutOffRatio = 0.25;

        QAction *top = findChild<QAction *>(QStringLiteral("mnuTop"));
        QAction *left = findChild<QAction *>(QStringLiteral("mnuShowLeft"));
        QAction *labels = findChild<QAction *>(QStringLiteral("mnuLabels"));
        top->setChecked(settings_.boolean(kView, QStringLiteral("top"), true));
        left->setChecked(settings_.boolean(kView, QStringLiteral("left"), true));
        labels->setChecked(settings_.boolean(kView, QStringLiteral("labels"), true));
        toolbar1_->setVisible(left->isChecked());
        toolbar3_->setVisible(top->isChecked());

        if (!labels->isChecked()) {
            setButtonCaptions(false);
            placeAverageControls({6400, 0}, {5680, 40}, {6760, 0});
        }

        setStatusPanel(2, QStringLiteral("CHOOSE FILE NAME"));
        setStatusPanel(7, QStringLiteral("Default"));

        const ProgramFiles files = ProgramFiles::ofThisProgram();
        state_.capTotalIniPath = files.captureSettingsFile(QStringLiteral("captotal.ini"));
        state_.captureIniPath = files.captureSettingsFile(QStringLiteral("capture.ini"));
        state_.dumpIniPath = files.captureSettingsFile(QStringLiteral("dump.ini"));

        state_.applyGeometry();
        sizeWorkPictures();
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
    setCheckValue(3, settings_.integer(kOptions, QStringLiteral("autoinc"), 0));
    setCheckValue(2, settings_.integer(kOptions, QStringLiteral("i4i6"), 0));
    setCheckValue(4, settings_.integer(kOptions, QStringLiteral("i4"), 0));
    setCheckValue(5, settings_.integer(kOptions, QStringLiteral("i6"), 0));
    setCheckValue(1, settings_.integer(kOptions, QStringLiteral("filter"), 0));
}

void MDIForm1::sizeWorkPictures()
{
    picture(1)->resize(state_.cropWidth + 4, state_.cropHeight + 4);
    picture(3)->resize(state_.cropWidth + 4, state_.cropHeight + 4);
    picture(2)->resize(2 * state_.cropWidth + 4, state_.cropHeight + 4);
}

void MDIForm1::InitZUL()
{
    state_.liveImage = nullptr;
    int16_t code = static_cast<int16_t>(card_.init());
    CheckZulError(code, card_, op_);
    card_.defaultConfig(&state_.liveConfig);
    card_.readIniFile(state_.captureIniPath, QStringLiteral("DEFAULT"), &state_.liveConfig);
    code = static_cast<int16_t>(card_.testSignal(&state_.liveConfig));
    CheckZulError(code, card_, op_);
    state_.currentWindow = state_.liveConfig.videoStandard == 1 ? state_.liveConfig.palWindow
                                                                 : state_.liveConfig.ntscWindow;
    code = static_cast<int16_t>(card_.prepare(&state_.liveConfig, 1));
    CheckZulError(code, card_, op_);
    ZulSurface surface = zulSurfaceFor(picture(1)->imageForDrawing(), picture(1)->size());
    const int format = state_.liveConfig.OutputFormat;
    card_.defaultPalette(&surface, format == 1 || format == 2 ? 1 : 0);
    card_.snap(&state_.liveConfig);
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
    if (findChild<QAction *>(QStringLiteral("mnuSaveExit"))->isChecked()) {
        settings_.setText(kSoftware, QStringLiteral("ondara"), state_.ondaraPath);
        settings_.setText(kSoftware, QStringLiteral("sabeln"), state_.sabelnPath);
        settings_.setText(kSoftware, QStringLiteral("moireprog"), state_.moireProgPath);
        settings_.setText(kOptions, QStringLiteral("autoinc"), QString::number(checkValue(3)));
        settings_.setText(kOptions, QStringLiteral("i4i6"), QString::number(checkValue(2)));
        settings_.setText(kOptions, QStringLiteral("i4"), QString::number(checkValue(4)));
        settings_.setText(kOptions, QStringLiteral("i6"), QString::number(checkValue(5)));
        settings_.setText(kOptions, QStringLiteral("filter"), QString::number(checkValue(1)));
        settings_.setText(kOptions, QStringLiteral("average"), text1_->text());
        settings_.setText(kOptions, QStringLiteral("directory"), QDir::currentPath());
        settings_.setText(kOptions, QStringLiteral("areaind"), QString::number(state_.imageSizeOption));
        static const std::pair<const char *, const char *> kViewItems[] = {
            {"mnuTop", "top"}, {"mnuShowLeft", "left"}, {"mnuLabels", "labels"}};
        for (const auto &[item, key] : kViewItems)
            settings_.setText(kView, QLatin1String(key),
                              vb::fromBool(findChild<QAction *>(QLatin1String(item))->isChecked()));
    }
    settings_.sync();

    if (state_.liveImage) {
        card_.globalFree(state_.liveImage);
        state_.liveImage = nullptr;
    }

    if (!state_.noCard) {
        int16_t code = static_cast<int16_t>(card_.saveIniFile(state_.dumpIniPath, QStringLiteral("DEFAULT"),
                                                              &state_.liveConfig));
        CheckZulError(code, card_, op_);
        card_.releasePalette();
        code = static_cast<int16_t>(card_.closedown(1));
        CheckZulError(code, card_, op_);
    }
}
