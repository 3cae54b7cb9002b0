#pragma once

#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;

// The start-up window. It loads the main window first, then refuses to go
// on when the screen shows fewer than 24 bits of colour, since the six
// images share one true-colour composite.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    // loadMain runs the main window's start-up; showMain shows it.
    frmSplash(std::function<void()> loadMain, std::function<void()> showMain, QWidget *parent = nullptr);

    // screenBits: the colour depth of this window's screen.
    void Form_Load(int screenBits);
    void Timer1_Timer();
    void Command1_Click();
    // A key on the splash or a click on its frame.
    void continueIfTrueColour();

    QTimer *timer() const { return timer1_; }
    int screenBits() const { return screenBits_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMainAndClose();

    std::function<void()> loadMain_;
    std::function<void()> showMain_;
    QFrame *frame1_;
    QLabel *label1_;
    QLabel *lblWarning_;
    QLabel *lblVersion_;
    QLabel *lblProductName_;
    QLabel *label2_;
    QLabel *lblCompanyProduct_;
    QLabel *imgLogo_;
    QPushButton *command1_;
    QTimer *timer1_;
    int screenBits_ = 0;
};
