#include "status_bar_panel.h"

#include <QPainter>
#include <algorithm>

namespace {
constexpr int kTextMargin = 3; // each side, inside the frame
constexpr int kElidedCharacters = 8; // the least an elided panel shows
} // namespace

StatusBarPanel::StatusBarPanel(int number, int designWidth, Fit fit, QWidget *parent)
    : QFrame(parent), number_(number), designWidth_(designWidth), fit_(fit)
{
    setFrameShape(QFrame::StyledPanel);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setText(QString());
}

void StatusBarPanel::setText(const QString &text)
{
    text_ = text;
    setAccessibleName(text.isEmpty() ? QStringLiteral("status panel %1").arg(number_) : text);
    if (fit_ == Fit::ElideMiddle) {
        setToolTip(text);
        setAccessibleDescription(text);
    }
    updateGeometry();
    update();
}

int StatusBarPanel::chrome() const
{
    return 2 * frameWidth() + 2 * kTextMargin;
}

int StatusBarPanel::textRoom() const
{
    return std::max(0, width() - chrome());
}

QString StatusBarPanel::shownText() const
{
    if (fit_ == Fit::WholeText)
        return text_;
    return fontMetrics().elidedText(text_, Qt::ElideMiddle, textRoom());
}

QSize StatusBarPanel::sizeHint() const
{
    return {std::max(designWidth_, minimumSizeHint().width()), minimumSizeHint().height()};
}

QSize StatusBarPanel::minimumSizeHint() const
{
    const int height = fontMetrics().height() + 2 * frameWidth() + 2;
    if (fit_ == Fit::ElideMiddle)
        return {fontMetrics().averageCharWidth() * kElidedCharacters + chrome(), height};
    return {fontMetrics().horizontalAdvance(text_) + chrome(), height};
}

void StatusBarPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect room = contentsRect().adjusted(kTextMargin, 0, -kTextMargin, 0);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, shownText());
}
