#include "frm_prev.h"

#include "exposure_panel.h"
#include "intensity_stats.h"
#include "live_preview.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/raster.h"
#include "platform/twips.h"
#include "platform/up_down.h"
#include "platform/vb_conversions.h"
#include "workbench/app_state.h"
#include "workbench/workstation.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

namespace {
const QString kLiveCaption = QStringLiteral("Intensity Check");
} // namespace

FrmPrev::FrmPrev(Workstation &workstation, std::function<void(const QString &)> setPrevCaption, QWidget *parent)
    : QWidget(parent, Qt::Window), workstation_(workstation), setPrevCaption_(std::move(setPrevCaption))
{
    setObjectName(QStringLiteral("FrmPrev"));
    setWindowTitle(QStringLiteral("Preview"));
    describe(this, QStringLiteral("Preview"));

    // The left column follows the design's order and heights, but a layout
    // sizes it: at the design's widths the captions did not fit the fonts of
    // this platform.
    auto *column = new QVBoxLayout;
    column->setSpacing(0);
    auto add = [column](QWidget *widget, const char *name, int gapTwips, int heightTwips) {
        widget->setObjectName(QLatin1String(name));
        widget->setMinimumHeight(pixelsFromTwips(heightTwips));
        column->addSpacing(pixelsFromTwips(gapTwips));
        column->addWidget(widget);
    };
    auto label = [this, &add](const char *name, const QString &caption, int gapTwips, int heightTwips,
                              const QString &role) {
        auto *l = new QLabel(caption, this);
        add(l, name, gapTwips, heightTwips);
        describe(l, role.isEmpty() ? caption : role);
        return l;
    };

    Option1 = new QRadioButton(QStringLiteral("Total Area"), this);
    add(Option1, "Option1", 120, 255);
    describe(Option1, Option1->text());
    Option1->setChecked(true);
    Option2 = new QRadioButton(QStringLiteral("Selected Area"), this);
    add(Option2, "Option2", 0, 375);
    describe(Option2, Option2->text());
    connect(Option1, &QRadioButton::clicked, this, &FrmPrev::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &FrmPrev::Option2_Click);

    cmdIntensity = makeButton(QStringLiteral("cmdIntensity"), QStringLiteral("Intensity  Check"),
                              QStringLiteral("Show intensity values for image"), this);
    add(cmdIntensity, "cmdIntensity", 225, 615);
    connect(cmdIntensity, &QPushButton::clicked, this, &FrmPrev::cmdIntensity_Click);

    label("Label4", QStringLiteral("Max Intensity"), 105, 255, {});
    Label1 = label("Label1", QString(), 0, 375, QStringLiteral("maximum intensity"));
    label("Label5", QStringLiteral("Min Intensity"), 225, 255, {});
    Label2 = label("Label2", QString(), 0, 375, QStringLiteral("minimum intensity"));
    label("Label6", QStringLiteral("Average Intensity"), 225, 255, {});
    Label3 = label("Label3", QString(), 0, 375, QStringLiteral("average intensity"));

    Text1 = new QLineEdit(QStringLiteral("240"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFixedSize(pixelsFromTwips(615, 375));
    describe(Text1, QStringLiteral("threshold"), QStringLiteral("Pixels brighter than this turn red in the check"));
    UpDown1 = new UpDown(Text1, 0, 255, this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setFixedSize(pixelsFromTwips(240, 375));
    describe(UpDown1, QStringLiteral("threshold up-down"), QStringLiteral("Change the threshold"));
    UpDown1->setValue(240);
    auto *threshold = new QHBoxLayout;
    threshold->setSpacing(0);
    threshold->addWidget(Text1);
    threshold->addWidget(UpDown1);
    threshold->addStretch();
    column->addSpacing(pixelsFromTwips(345));
    column->addLayout(threshold);
    column->addStretch();

    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(pixelsFromTwips(8055, 8055));
    describe(Picture1, QStringLiteral("live picture"));

    exposure = new ExposurePanel(this);

    auto *window = new QHBoxLayout(this);
    window->setContentsMargins(pixelsFromTwips(120), pixelsFromTwips(120), 8, 8);
    window->setSpacing(8);
    window->addLayout(column);
    window->addWidget(Picture1, 0, Qt::AlignTop);
    window->addWidget(exposure, 1);

    Form_Load();
}

void FrmPrev::Form_Load()
{
    intensityMode_ = 0;
    Picture1->clear();
}

void FrmPrev::Form_Activate()
{
    // Shown again after a check, the window is live: its button must say so
    // too, or the next press would freeze a picture the button offered to
    // bring back.
    if (intensityMode_ == 1)
        cmdIntensity->setText(kLiveCaption);
    intensityMode_ = 0;
    Picture1->clear();
    exposure->restartRate();
}

void FrmPrev::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Activate();
}

void FrmPrev::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void FrmPrev::Form_Unload()
{
    AppState &state = workstation_.state();
    state.previewOn = 0;
    workstation_.liveTimer().stop();
    setPrevCaption_(QStringLiteral("Preview"));
    if (state.noCard)
        return;
    try {
        reapplyLiveSettings(workstation_);
    } catch (const std::exception &failure) {
        workstation_.op().tell(QString::fromLocal8Bit(failure.what()), QStringLiteral("Isostep"),
                               Operator::Icon::Exclamation);
    }
}

int16_t FrmPrev::thresholdShown() const
{
    return vb::toInt16(Text1->text()).value_or(intensityThreshold_);
}

void FrmPrev::cmdIntensity_Click()
{
    AppState &state = workstation_.state();
    if (intensityMode_ == 1) {
        if (!state.noCard)
            workstation_.liveTimer().start();
        cmdIntensity->setText(kLiveCaption);
        exposure->restartRate();
    } else {
        cmdIntensity->setText(QStringLiteral("Preview"));
        const BusyCursor busy;
        intensityThreshold_ = thresholdShown();
        workstation_.liveTimer().stop();
        QImage bitmap(state.imageWidth, state.imageHeight, QImage::Format_RGB32);
        if (!bitmap.isNull()) {
            bitmap.fill(Qt::black);
            raster::bitBlt(bitmap, 0, 0, bitmap.width(), bitmap.height(), Picture1->image(), 0, 0,
                           raster::Rop::SrcCopy);
        }
        IntensityStats(bitmap, state.imageWidth, state.imageHeight);
    }
    intensityMode_ = static_cast<int16_t>(1 - intensityMode_);
}

void FrmPrev::IntensityStats(const QImage &bitmap, int width, int height)
{
    QImage &picture = Picture1->imageForDrawing();
    const intensity::Reading reading =
        intensity::measure(bitmap, width, height, intensityThreshold_, picture.isNull() ? nullptr : &picture);
    Picture1->update();
    // The red marks show before the figures; a click meanwhile waits, so
    // the check cannot start again inside itself.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Label1->setText(QString::number(reading.max));
    Label2->setText(QString::number(reading.min));
    Label3->setText(QString::number(intensity::mean(reading, width, height)));
}

void FrmPrev::Option1_Click()
{
    update();
    areaOption_ = 0;
}

void FrmPrev::Option2_Click()
{
    areaOption_ = 1;
}

void FrmPrev::liveFrameDrawn(const QRect &drawn)
{
    GreenHistogram histogram;
    QImage &picture = Picture1->imageForDrawing();
    countGreen(picture, drawn, histogram);
    exposure->showFrame(histogram, thresholdShown());
    const AppState &state = workstation_.state();
    drawCropFrame(picture, QSize(state.cropWidth, state.cropHeight));
    Picture1->update();
}
