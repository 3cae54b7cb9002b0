#pragma once

#include <QString>
#include <Qt>

class QPushButton;
class QWidget;

// The few things every window does to its controls, in one place so that
// they are done the same way everywhere.

// The accessible name is the caption without its access-key marker; the
// tooltip, when there is one, is also the accessible description.
void describe(QWidget *widget, const QString &name, const QString &tooltip = QString());

// A push button with its design name, caption and tooltip.
QPushButton *makeButton(const QString &objectName, const QString &caption, const QString &tooltip, QWidget *parent);

// The key-state mask the handlers take: 1 Shift, 2 Ctrl, 4 Alt.
enum KeyStateBit { shiftKeyBit = 1, ctrlKeyBit = 2, altKeyBit = 4 };
int keyStateMask(Qt::KeyboardModifiers modifiers);

// The hourglass for as long as a step runs, restored however it ends.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
