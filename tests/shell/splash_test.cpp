#include "platform/application_end.h"
#include "shell/frm_splash.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
struct SplashRun {
    int loads = 0;
    int shows = 0;
    QPointer<frmSplash> splash;

    explicit SplashRun(int depth)
    {
        splash = new frmSplash([this] { ++loads; }, [this] { ++shows; });
        splash->Form_Load(depth);
    }
    ~SplashRun() { delete splash.data(); }
    QWidget *child(const char *name) const { return splash->findChild<QWidget *>(QLatin1String(name)); }
};
} // namespace

TEST(Splash, TrueColourScreenContinues)
{
    SplashRun run(24);
    EXPECT_EQ(run.loads, 1);
    EXPECT_EQ(run.shows, 0);
    EXPECT_TRUE(run.child("lblWarning")->isHidden());
    EXPECT_TRUE(run.child("Label1")->isHidden());
    EXPECT_TRUE(run.child("Command1")->isHidden());
    EXPECT_TRUE(run.splash->timer()->isActive());
    EXPECT_EQ(run.splash->timer()->interval(), 6500);
    EXPECT_EQ(run.splash->findChild<QLabel *>("lblVersion")->text(),
              QStringLiteral("Version %1.%2.%3").arg(ISOSTEP_VERSION_MAJOR).arg(ISOSTEP_VERSION_MINOR).arg(ISOSTEP_VERSION_PATCH));
    EXPECT_EQ(run.splash->findChild<QLabel *>("lblProductName")->text(), "Isostep");

    QTest::keyClick(run.splash, Qt::Key_Space);
    EXPECT_EQ(run.shows, 1);
    EXPECT_FALSE(run.splash->isVisible());
}

TEST(Splash, ClickOnTheFrameOrTheTimerContinues)
{
    SplashRun clicked(32);
    QTest::mouseClick(clicked.child("Frame1"), Qt::LeftButton);
    EXPECT_EQ(clicked.shows, 1);

    SplashRun waited(24);
    waited.splash->Timer1_Timer();
    EXPECT_EQ(waited.shows, 1);
}

TEST(Splash, ShallowScreenStopsEverythingButClose)
{
    SplashRun run(16);
    EXPECT_EQ(run.loads, 1);
    EXPECT_FALSE(run.child("Label1")->isHidden());
    EXPECT_EQ(run.splash->findChild<QLabel *>("Label1")->text(), "STOP!");
    EXPECT_FALSE(run.child("lblWarning")->isHidden());
    EXPECT_EQ(run.splash->findChild<QLabel *>("lblWarning")->text(),
              "Change Windows settings to 24bit True Colour and restart!");
    EXPECT_FALSE(run.child("Command1")->isHidden());
    EXPECT_TRUE(run.child("Label2")->isHidden());
    EXPECT_FALSE(run.splash->timer()->isActive());

    QTest::keyClick(run.splash, Qt::Key_Return);
    QTest::mouseClick(run.child("Frame1"), Qt::LeftButton);
    EXPECT_EQ(run.shows, 0);

    int ended = -1;
    const auto previous = setApplicationEndHandler([&](int code) { ended = code; });
    qobject_cast<QPushButton *>(run.child("Command1"))->click();
    setApplicationEndHandler(previous);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(run.shows, 0);
}
