#include "controls.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>

void describe(QWidget *widget, const QString &name, const QString &tooltip)
{
    widget->setAccessibleName(QString(name).remove(QLatin1Char('&')));
    if (!tooltip.isEmpty()) {
        widget->setToolTip(tooltip);
        widget->setAccessibleDescription(tooltip);
    }
}

QPushButton *makeButton(const QString &objectName, const QString &caption, const QString &tooltip, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    describe(button, caption, tooltip);
    return button;
}

int keyStateMask(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? shiftKeyBit : 0) | (modifiers & Qt::ControlModifier ? ctrlKeyBit : 0)
        | (modifiers & Qt::AltModifier ? altKeyBit : 0);
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}
