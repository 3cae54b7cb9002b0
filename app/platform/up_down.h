#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrow buttons that steps the number in a buddy text box, kept
// apart from the box because the box has change rules of its own.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit *buddy, int minimum, int maximum, QWidget *parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);
    void stepBy(int steps);
    // For boxes whose range follows the image size; the value is clamped.
    void setRange(int minimum, int maximum);
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    QToolButton *upButton() const { return up_; }
    QToolButton *downButton() const { return down_; }

signals:
    void changed(int value);

private:
    QLineEdit *buddy_;
    QToolButton *up_;
    QToolButton *down_;
    int minimum_;
    int maximum_;
    int value_;
};
