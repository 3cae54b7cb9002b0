#include "frm_set.h"

#include "area_selection.h"
#include "platform/card_library.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/program_files.h"
#include "platform/raster.h"
#include "platform/twips.h"
#include "platform/zul_surface.h"
#include "workbench/app_state.h"
#include "workbench/workstation.h"
#include "workbench/zul_errors.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

namespace {
constexpr QSize kSnapshot(512, 380);
const QString kTitle = QStringLiteral("Select Area");

int toPixels(int units)
{
    return static_cast<int>(std::lround(units * frmSet::kPixelsPerUnit));
}
} // namespace

QPoint frmSet::toUnits(QPoint pixel)
{
    return {static_cast<int>(std::lround(pixel.x() / kPixelsPerUnit)),
            static_cast<int>(std::lround(pixel.y() / kPixelsPerUnit))};
}

frmSet::frmSet(Workstation &workstation, QWidget *parent) : QWidget(parent, Qt::Window), workstation_(workstation)
{
    setObjectName(QStringLiteral("frmSet"));
    setWindowTitle(kTitle);
    setAccessibleName(kTitle);
    resize(pixelsFromTwips(9465, 6540));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("video frame"));
    Picture1->setFixedSize(pixelsFromTwips(7740, 5760));
    Picture1->setImage(QImage(Picture1->size(), QImage::Format_RGB32));
    clearPicture();
    layout->addWidget(Picture1, 0, Qt::AlignTop);

    auto *side = new QVBoxLayout;
    Frame1 = new QGroupBox(kTitle, this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setAccessibleName(kTitle);
    auto *options = new QVBoxLayout(Frame1);
    const char *captions[3] = {"Flexi", "256", "512"};
    for (int index = 0; index < 3; ++index) {
        Option1[index] = new QRadioButton(QLatin1String(captions[index]), Frame1);
        Option1[index]->setObjectName(QStringLiteral("Option1_%1").arg(index));
        Option1[index]->setAccessibleName(QLatin1String(captions[index]));
        options->addWidget(Option1[index]);
    }
    Option1[2]->setChecked(true);
    for (int index = 0; index < 3; ++index)
        connect(Option1[index], &QRadioButton::toggled, this, [this, index](bool on) {
            if (on)
                Option1_Click(index);
        });
    side->addWidget(Frame1);
    cmdFlexi = new QPushButton(QStringLiteral("Flexi"), this);
    cmdFlexi->setObjectName(QStringLiteral("cmdFlexi"));
    cmdFlexi->setAccessibleName(QStringLiteral("Flexi"));
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("OK"));
    side->addWidget(cmdFlexi);
    side->addStretch();
    side->addWidget(Command1);
    layout->addLayout(side);

    cmdFlexi->installEventFilter(this);
    connect(cmdFlexi, &QPushButton::clicked, this, &frmSet::cmdFlexi_Click);
    connect(Command1, &QPushButton::clicked, this, &frmSet::Command1_Click);
    connect(Picture1, &PictureBox::mousePressed, this, [this](QPoint p) { pictureMousePressed(p); });
    connect(Picture1, &PictureBox::mouseMoved, this,
            [this](QPoint p, Qt::MouseButtons buttons) { pictureMouseMoved(p, buttons); });
    connect(Picture1, &PictureBox::mouseReleased, this, [this](QPoint p) { pictureMouseReleased(p); });

    Form_Load();
}

void frmSet::clearPicture()
{
    Picture1->imageForDrawing().fill(Qt::white);
    if (!workstation_.state().noCard && snapshotDrawable_) {
        ZulSurface surface = zulSurfaceFor(Picture1->imageForDrawing(), Picture1->size());
        lastResult_ = workstation_.card().drawDIB(&surface, frameSnapshot_.get(), 0, 0, kSnapshot.width(),
                                                  kSnapshot.height());
    }
}

void frmSet::Form_Load()
{
    AppState &state = workstation_.state();
    CardLibrary &card = workstation_.card();
    frameSnapshot_.reset();
    if (!state.noCard) {
        try {
            // The whole frame, not the grab window, so both areas can be seen.
            lastResult_ = card.readIniFile(state.capTotalIniPath, QStringLiteral("DEFAULT"), &areaConfig_);
            int16_t code = static_cast<int16_t>(card.prepare(&areaConfig_, 1));
            CheckZulError(code, card, workstation_.op());
            lastResult_ = setDefaultPalette(card, workstation_.workPicture(WorkPicture::Composite), areaConfig_);
            lastResult_ = card.snap(&areaConfig_);
            lastResult_ = card.readoutDIB(&areaConfig_, frameSnapshot_.receive(card));
            snapshotDrawable_ = true;
            clearPicture();
        } catch (const std::exception &failure) {
            // Without the library the window still works on the outlines.
            workstation_.op().tell(
                QStringLiteral("The video frame cannot be shown: %1").arg(QString::fromLocal8Bit(failure.what())),
                kTitle, Operator::Icon::Exclamation);
        }
    }
    if (state.imageSizeOption == 0 || state.imageSizeOption == 1)
        Option1[state.imageSizeOption + 1]->setChecked(true);
    area::drawOutline(Picture1->imageForDrawing(), area::Outline::Area256, area::kLegend256, kPixelsPerUnit);
    area::drawOutline(Picture1->imageForDrawing(), area::Outline::Area512, area::kLegend512, kPixelsPerUnit);
    Picture1->update();
}

void frmSet::Option1_Click(int index)
{
    clearPicture();
    if (index == 1)
        area::drawOutline(Picture1->imageForDrawing(), area::Outline::Area256, area::kSelected, kPixelsPerUnit);
    else if (index == 2)
        area::drawOutline(Picture1->imageForDrawing(), area::Outline::Area512, area::kSelected, kPixelsPerUnit);
    Picture1->update();
}

int frmSet::selectedOption() const
{
    for (int index = 0; index < 3; ++index)
        if (Option1[index]->isChecked())
            return index;
    return -1;
}

void frmSet::pictureMousePressed(QPoint pixel)
{
    flexiRect_.start = toUnits(pixel);
}

void frmSet::pictureMouseMoved(QPoint pixel, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton) || selectedOption() != 0)
        return;
    drawRubberBand(pixel);
}

void frmSet::drawRubberBand(QPoint pixel)
{
    clearPicture();
    const QPoint start(toPixels(flexiRect_.start.x()), toPixels(flexiRect_.start.y()));
    raster::drawBox(Picture1->imageForDrawing(), QRect(start, pixel).normalized(), area::kSelected);
    Picture1->update();
}

void frmSet::pictureMouseReleased(QPoint pixel)
{
    if (selectedOption() == 0)
        flexiRect_.end = toUnits(pixel);
}

bool frmSet::eventFilter(QObject *watched, QEvent *event)
{
    // A drag that leaves the picture over the "Flexi" button still pulls the
    // rectangle, to where the pointer is over the picture's own pixels.
    if (watched == cmdFlexi && event->type() == QEvent::MouseMove) {
        const auto *move = static_cast<QMouseEvent *>(event);
        if ((move->buttons() & Qt::LeftButton) && selectedOption() == 0)
            drawRubberBand(Picture1->mapFrom(this, cmdFlexi->mapTo(this, move->position().toPoint())));
    }
    return QWidget::eventFilter(watched, event);
}

void frmSet::cmdFlexi_Click()
{
    flexiToggle_ = !flexiToggle_;
    Picture1->setCursor(Qt::CrossCursor);
}

void frmSet::Command1_Click()
{
    const int option = selectedOption();
    if (option != 1 && option != 2) {
        // A drawn rectangle is no capture window the card has been set up
        // for, so nothing is changed until one of the two areas is chosen.
        workstation_.op().tell(QStringLiteral("Choose the \"256\" or the \"512\" area before pressing OK.  "
                                              "A Flexi rectangle cannot be used as the capture area."),
                               kTitle, Operator::Icon::Exclamation);
        return;
    }
    AppState &state = workstation_.state();
    auto showStep = [this](const QString &digit) { workstation_.setStatusPanel(StatusPanel::Status, digit); };
    showStep(QStringLiteral("1"));
    state.captureIniPath = ProgramFiles::ofThisProgram().captureSettingsFile(QStringLiteral("capture.ini"));
    const FileResult written = area::applySizeOption(workstation_, static_cast<int16_t>(option - 1), showStep);
    if (!written.ok()) {
        workstation_.op().tell(written.error, kTitle, Operator::Icon::Exclamation);
        return;
    }
    showStep(QStringLiteral("6"));
    QCoreApplication::processEvents();
    close();
}
