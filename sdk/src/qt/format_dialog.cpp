#include "format_dialog.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

namespace {

constexpr int kLimit = 127;
constexpr int kPageMove = 10;

// Dialog units of the original layout, turned into pixels with the dialog
// font the way the original's dialog manager did.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics &metrics)
        : baseX_(std::max(1, metrics.horizontalAdvance(
                                 QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                                 52)),
          baseY_(std::max(1, metrics.height()))
    {
    }
    QRect rect(int x, int y, int width, int height) const
    {
        return {x * baseX_ / 4, y * baseY_ / 8, width * baseX_ / 4, height * baseY_ / 8};
    }

private:
    int baseX_;
    int baseY_;
};

struct SliderSpec {
    const char *name;
    int32_t ZulConfig::*value;
    int x;
    const char *moreIcon;
    const char *lessIcon;
};

// Left to right as the controls 1000 to 1003 stood.
const SliderSpec kSliders[] = {
    {"Brightness", &ZulConfig::Brightness, 4, "brightness_more", "brightness_less"},
    {"Contrast", &ZulConfig::Contrast, 21, "contrast_more", "contrast_less"},
    {"Hue", &ZulConfig::Hue, 38, "hue_more", "hue_less"},
    {"Saturation", &ZulConfig::Saturation, 55, "saturation_more", "saturation_less"},
};

QPushButton *button(QWidget *parent, const QString &caption, const QString &tip)
{
    auto *b = new QPushButton(caption, parent);
    b->setAccessibleName(caption);
    b->setToolTip(tip);
    b->setAccessibleDescription(tip);
    return b;
}

QLabel *icon(QWidget *parent, const char *name, const QString &description, QRect box)
{
    auto *label = new QLabel(parent);
    const int side = std::min(box.width(), box.height());
    label->setPixmap(QIcon(QStringLiteral(":/zul_tools_vb/%1.svg").arg(QLatin1String(name))).pixmap(side, side));
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(box);
    label->setAccessibleName(description);
    label->setToolTip(description);
    label->setAccessibleDescription(description);
    return label;
}

} // namespace

FormatDialog::FormatDialog(QWidget *owner, ZulConfig *config, const zul::CoreCalls &core)
    : QDialog(owner, Qt::Tool), config_(config), core_(core)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Image Format"));
    setAccessibleName(windowTitle());
    placeControls();
    setUpSliders();
}

void FormatDialog::placeControls()
{
    const DialogUnits du(fontMetrics());
    setFixedSize(du.rect(0, 0, 79, 183).size());

    auto *crop = button(this, QStringLiteral("AutoCrop Image"), QStringLiteral("Fit the capture window to the picture"));
    crop->setGeometry(du.rect(9, 2, 59, 14));
    connect(crop, &QPushButton::clicked, this, &FormatDialog::autoCrop);

    for (size_t i = 0; i < std::size(kSliders); ++i) {
        const SliderSpec &entry = kSliders[i];
        const QString name = QLatin1String(entry.name);
        auto *slider = new QSlider(Qt::Vertical, this);
        slider->setObjectName(QStringLiteral("Slider1"));
        slider->setRange(-kLimit, kLimit);
        slider->setPageStep(12);
        slider->setSingleStep(1);
        slider->setTickInterval(10);
        slider->setTickPosition(QSlider::TicksBothSides);
        slider->setGeometry(du.rect(entry.x, 31, 13, 101));
        slider->setAccessibleName(name);
        slider->setToolTip(name + QStringLiteral(": up for more"));
        slider->setAccessibleDescription(slider->toolTip());
        controls_[i] = {slider, entry.value};
        connect(slider, &QSlider::actionTriggered, this, [this, i](int action) { scrolled(controls_[i], action); });

        const QString lower = name.toLower();
        icon(this, entry.moreIcon, QStringLiteral("more ") + lower, du.rect(entry.x - 4, 16, 21, 14));
        icon(this, entry.lessIcon, QStringLiteral("less ") + lower, du.rect(entry.x - 4, 132, 21, 14));
    }

    auto *reset = button(this, QStringLiteral("Reset"), QStringLiteral("Set all four controls back to 0"));
    reset->setGeometry(du.rect(9, 146, 59, 14));
    connect(reset, &QPushButton::clicked, this, &FormatDialog::reset);

    auto *close = button(this, QStringLiteral("Close"), QStringLiteral("Close this dialog"));
    close->setGeometry(du.rect(9, 165, 59, 14));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this] { done(1); });
}

void FormatDialog::setUpSliders()
{
    for (const Control &control : controls_)
        control.slider->setValue(std::clamp<int>(config_->*control.value, -kLimit, kLimit));
    // Grey pictures have no colour to turn or saturate.
    const bool grey = config_->OutputFormat == 1 || config_->OutputFormat == 2;
    controls_[2].slider->setVisible(!grey);
    controls_[3].slider->setVisible(!grey);
}

// The slider shows the control's value so that up means more. A step moves
// it by one and stops at the ends; a page moves it by ten, or to the end
// when fewer than eleven are left; a drag takes the thumb's place. Jumps to
// either end are not steps of this dialog and leave it where it was.
void FormatDialog::scrolled(const Control &control, int action)
{
    const int was = control.slider->value();
    int now = was;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        now = was == kLimit ? was : was + 1;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        now = was == -kLimit ? was : was - 1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        now = was > kLimit - 11 ? kLimit : was + kPageMove;
        break;
    case QAbstractSlider::SliderPageStepSub:
        now = was < 11 - kLimit ? -kLimit : was - kPageMove;
        break;
    case QAbstractSlider::SliderMove:
        now = control.slider->sliderPosition();
        break;
    default:
        control.slider->setSliderPosition(was);
        return;
    }
    control.slider->setSliderPosition(now);
    config_->*control.value = now;
    apply();
}

void FormatDialog::apply()
{
    // A failing card is not this dialog's to report; the next snap will.
    core_.prepare(config_, 0);
}

void FormatDialog::autoCrop()
{
    ZulVideoWindow &window = config_->videoStandard == 1 ? config_->palWindow : config_->ntscWindow;
    core_.autoCrop(&window);
    core_.prepareSnap(&window);
}

void FormatDialog::reset()
{
    for (const Control &control : controls_)
        config_->*control.value = 0;
    setUpSliders();
    apply();
}
