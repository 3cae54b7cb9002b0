#include "live_preview.h"

#include "frm_prev.h"
#include "platform/card_image.h"
#include "platform/card_library.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/twips.h"
#include "platform/zul_surface.h"
#include "workbench/app_state.h"
#include "workbench/workstation.h"
#include "workbench/zul_errors.h"

#include <QTimer>
#include <algorithm>
#include <exception>

namespace {
// Pictures larger than this would not fit the preview window's picture.
constexpr int kLargestDrawnSide = 533;
} // namespace

LivePreview::LivePreview(Workstation &workstation, std::function<void(const QString &)> setPrevCaption,
                         QWidget *windowParent)
    : workstation_(workstation), setPrevCaption_(std::move(setPrevCaption)), windowParent_(windowParent)
{
}

LivePreview::~LivePreview() = default;

FrmPrev &LivePreview::window()
{
    if (!window_) {
        window_ = new FrmPrev(workstation_, setPrevCaption_, windowParent_);
        window_->hide();
    }
    return *window_;
}

void LivePreview::cmdPrev_Click()
{
    AppState &state = workstation_.state();
    QTimer &timer = workstation_.liveTimer();
    try {
        state.previewOn = static_cast<int16_t>(1 - state.previewOn);
        if (state.previewOn == 1) {
            setPrevCaption_(QStringLiteral("Preview Off"));
            FrmPrev &w = window();
            w.move(0, 0);
            w.resize(pixelsFromTwips(13550, 8950));
            w.show();
            if (!state.noCard) {
                reapplyLiveSettings(workstation_);
                timer.start();
            }
        } else {
            timer.stop();
            setPrevCaption_(QStringLiteral("Preview"));
            window().hide();
            if (!state.noCard)
                reapplyLiveSettings(workstation_);
        }
    } catch (const std::exception &failure) {
        timer.stop();
        workstation_.op().tell(QString::fromLocal8Bit(failure.what()), QStringLiteral("Isostep"),
                               Operator::Icon::Exclamation);
    }
}

void LivePreview::Timer1_Timer()
{
    AppState &state = workstation_.state();
    if (state.noCard)
        return;
    QTimer &timer = workstation_.liveTimer();
    // Off while the card works, so a slow card can never have a refresh
    // start inside another.
    timer.stop();
    try {
        refresh();
    } catch (const std::exception &failure) {
        workstation_.op().tell(QString::fromLocal8Bit(failure.what()), QStringLiteral("Isostep"),
                               Operator::Icon::Exclamation);
        return;
    }
    // A message of the library shown during the refresh lets the operator
    // stop or freeze the preview meanwhile; that decision stands.
    if (state.previewOn == 1 && window_ && window_->intensityMode() == 0)
        timer.start();
}

void LivePreview::refresh()
{
    const AppState &state = workstation_.state();
    CardLibrary &card = workstation_.card();
    ZulConfig &config = workstation_.liveConfig();
    CardImage &image = workstation_.liveImage();
    snapLiveImage(card, config, image);
    FrmPrev &w = window();
    // Frozen or stopped meanwhile (a library message lets the operator act
    // during the snap), the picture on show is no longer the live one.
    if (state.imageMaxSide > kLargestDrawnSide || state.previewOn != 1 || w.intensityMode() != 0)
        return;
    const QRect drawn =
        drawLiveImage(card, config, image, w.Picture1->imageForDrawing(), w.Picture1->size());
    w.liveFrameDrawn(drawn);
}

void reapplyLiveSettings(Workstation &workstation)
{
    const AppState &state = workstation.state();
    CardLibrary &card = workstation.card();
    ZulConfig &config = workstation.liveConfig();
    card.readIniFile(state.captureIniPath, QStringLiteral("DEFAULT"), &config);
    int16_t code = static_cast<int16_t>(card.prepare(&config, 1));
    CheckZulError(code, card, workstation.op());
    setDefaultPalette(card, workstation.workPicture(WorkPicture::Composite), config);
}

void snapLiveImage(CardLibrary &card, ZulConfig &config, CardImage &image)
{
    image.reset();
    card.snap(&config);
    card.readoutDIB(&config, image.receive(card));
}

QRect drawLiveImage(CardLibrary &card, const ZulConfig &config, const CardImage &image, QImage &picture,
                    QSize pictureSize)
{
    ZulSurface surface = zulSurfaceFor(picture, pictureSize);
    card.drawDIB(&surface, image.get(), 0, 0, 0, 0);
    const ZulVideoWindow &window = config.videoStandard == 1 ? config.palWindow : config.ntscWindow;
    return QRect(0, 0, std::min<int>(window.xPixels, picture.width()), std::min<int>(window.yPixels, picture.height()));
}

void drawCropFrame(QImage &picture, QSize crop)
{
    raster::drawBox(picture, QRect(QPoint(10, 10), QPoint(10 + crop.width(), 10 + crop.height())), 0xffff0000);
}
