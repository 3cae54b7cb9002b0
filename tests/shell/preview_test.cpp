// The preview command and the main window's live refresh.
#include "acquisition/frm_prev.h"
#include "platform/picture_box.h"
#include "shell_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace {
QString prevCaption(MDIForm1 &w)
{
    return w.findChild<QPushButton *>("cmdPrev")->text();
}

QTimer &timer1(MDIForm1 &w)
{
    return *w.findChild<QTimer *>("Timer1");
}

// A card that takes its time over a snap and lets window events run
// meanwhile, as a library message box would.
class SlowCard : public FakeCardLibrary {
public:
    QTimer *timer = nullptr;
    int depth = 0;
    int deepest = 0;
    int snaps = 0;
    bool activeDuringSnap = false;

    int snap(ZulConfig *config) override
    {
        ++snaps;
        deepest = std::max(deepest, ++depth);
        activeDuringSnap = activeDuringSnap || (timer && timer->isActive());
        QElapsedTimer slow;
        slow.start();
        while (slow.elapsed() < 40)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        --depth;
        return FakeCardLibrary::snap(config);
    }
};
} // namespace

TEST_F(ShellTest, PreviewWithoutACardTogglesCaptionAndWindowButNeverTheTimer)
{
    MDIForm1 &w = load();
    w.cmdPrev_Click();
    EXPECT_EQ(state.previewOn, 1);
    EXPECT_EQ(prevCaption(w), "Preview Off");
    EXPECT_TRUE(w.previewWindow().isVisible());
    EXPECT_FALSE(timer1(w).isActive());
    EXPECT_EQ(timer1(w).interval(), 10);
    FrmPrev *first = &w.previewWindow();

    w.cmdPrev_Click();
    EXPECT_EQ(state.previewOn, 0);
    EXPECT_EQ(prevCaption(w), "Preview");
    EXPECT_FALSE(w.previewWindow().isVisible());
    w.cmdPrev_Click();
    EXPECT_EQ(&w.previewWindow(), first); // the one window, shown again
    w.Timer1_Timer();
    EXPECT_TRUE(card.calls.isEmpty());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ShellTest, PreviewWithTheCardRefreshesOnEachTickAndDrawsOnlyPicturesThatFit)
{
    MDIForm1 &w = load(true);
    card.calls.clear();
    w.cmdPrev_Click();
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)"}));
    EXPECT_TRUE(timer1(w).isActive());

    card.calls.clear();
    w.Timer1_Timer();
    EXPECT_EQ(card.calls, QStringList({"snap", "readoutDIB", "drawDIB"}));
    EXPECT_TRUE(timer1(w).isActive());

    state.imageMaxSide = 534;
    card.calls.clear();
    w.Timer1_Timer();
    EXPECT_EQ(card.calls, QStringList({"snap", "readoutDIB"}));

    // Stopping undoes what the format dialog may have changed meanwhile.
    card.calls.clear();
    w.cmdPrev_Click();
    EXPECT_FALSE(timer1(w).isActive());
    EXPECT_EQ(prevCaption(w), "Preview");
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)"}));
}

TEST_F(ShellTest, ASlowCardNeverHasARefreshStartInsideAnother)
{
    SlowCard slow;
    settings = std::make_unique<SettingsStore>();
    MDIForm1 w(state, op, *settings, slow, launcher);
    w.Form_Load(true);
    slow.timer = &timer1(w);
    w.cmdPrev_Click();
    QElapsedTimer running;
    running.start();
    // Three refreshes, however busy the machine; a timer left off after
    // the first would run into the limit.
    while (slow.snaps < 3 && running.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    w.cmdPrev_Click();

    EXPECT_GE(slow.snaps, 3);
    EXPECT_EQ(slow.deepest, 1);
    EXPECT_FALSE(slow.activeDuringSnap);
    EXPECT_FALSE(timer1(w).isActive());
}

TEST_F(ShellTest, FreezingDuringARefreshKeepsThePictureFrozen)
{
    // The operator presses the check while a library message holds the
    // refresh: the timer must stay off afterwards.
    class FreezingCard : public FakeCardLibrary {
    public:
        FrmPrev *window = nullptr;
        int readoutDIB(ZulConfig *config, ZulHandle *out) override
        {
            if (window && window->intensityMode() == 0)
                window->cmdIntensity_Click();
            return FakeCardLibrary::readoutDIB(config, out);
        }
    } card2;
    settings = std::make_unique<SettingsStore>();
    MDIForm1 w(state, op, *settings, card2, launcher);
    w.Form_Load(true);
    w.cmdPrev_Click();
    card2.window = &w.previewWindow();
    card2.calls.clear();
    w.Timer1_Timer();
    EXPECT_EQ(w.previewWindow().intensityMode(), 1);
    EXPECT_FALSE(timer1(w).isActive());
    EXPECT_EQ(card2.calls, QStringList({"snap", "readoutDIB"})); // the measured picture stays

}
