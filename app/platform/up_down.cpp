#include "up_down.h"

#include "vb_conversions.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

UpDown::UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent)
    : QWidget(parent), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)),
      minimum_(minimum), maximum_(maximum), value_(minimum)
{
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton *button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFixedSize(16, 11);
    }
    up_->setAccessibleName(QStringLiteral("up"));
    down_->setAccessibleName(QStringLiteral("down"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setValue(int value)
{
    value_ = std::clamp(value, minimum_, maximum_);
}

void UpDown::setRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void UpDown::stepBy(int steps)
{
    // Step from what the box shows now, so typing and clicking agree.
    if (const auto shown = vb::toInt16(buddy_->text()))
        value_ = std::clamp<int>(*shown, minimum_, maximum_);
    value_ = std::clamp(value_ + steps, minimum_, maximum_);
    buddy_->setText(QString::number(value_));
    emit changed(value_);
}
