// The "Image Format" dialog as a client sees it: the shared library on the
// virtual card, its Qt part loaded from beside it on the first call.
#include "ZUL_Tools_VB.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

class FormatDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ZUL_init(), ZUL_OK);
        ZULX_defaultConfig(&config);
        ASSERT_EQ(ZULX_prepare(&config, 1), ZUL_OK);
    }

    void TearDown() override
    {
        qDeleteAll(owner.findChildren<QDialog *>());
        ZUL_closedown(1);
    }

    QDialog *open(ZulConfig &record)
    {
        EXPECT_EQ(ZULX_formatDialogBox(&owner, &record), 0);
        const auto dialogs = owner.findChildren<QDialog *>();
        return dialogs.isEmpty() ? nullptr : dialogs.back();
    }

    // Controls are found as a screen reader finds them, by accessible name.
    template <typename Widget>
    static Widget *named(QDialog *dialog, const char *name)
    {
        for (Widget *w : dialog->findChildren<Widget *>())
            if (w->accessibleName() == QLatin1String(name))
                return w;
        ADD_FAILURE() << "no control " << name;
        return nullptr;
    }
    static QSlider *slider(QDialog *dialog, const char *name) { return named<QSlider>(dialog, name); }
    static QPushButton *button(QDialog *dialog, const char *caption) { return named<QPushButton>(dialog, caption); }

    static int cardBrightness()
    {
        uint8_t value = 0;
        EXPECT_EQ(ZUL_getBrightness(&value), ZUL_OK);
        return static_cast<int8_t>(value);
    }

    ZulConfig config{};
    QWidget owner;
};

TEST_F(FormatDialogTest, SliderStepsChangeTheRecordAndTheCardAtOnce)
{
    QDialog *dialog = open(config);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Image Format");
    const auto icons = dialog->findChildren<QLabel *>();
    EXPECT_EQ(icons.size(), 8);
    for (const QLabel *icon : icons) {
        // Drawn, not an empty square: the pictures are in the library.
        const QImage picture = icon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        int painted = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                painted += qAlpha(picture.pixel(x, y)) != 0;
        EXPECT_GT(painted, picture.width()) << icon->accessibleName().toStdString();
    }
    QSlider *brightness = slider(dialog, "Brightness");
    ASSERT_NE(brightness, nullptr);

    struct Step {
        int from;
        Qt::Key key;
        int to;
    };
    // Up is more. Pages move by ten, or to the end with fewer than eleven
    // left; steps stop at the ends; Home and End do not move it.
    const Step steps[] = {
        {-120, Qt::Key_PageDown, -127}, {-116, Qt::Key_PageDown, -126}, {0, Qt::Key_PageDown, -10},
        {116, Qt::Key_PageUp, 126},     {117, Qt::Key_PageUp, 127},     {0, Qt::Key_PageUp, 10},
        {5, Qt::Key_Up, 6},             {5, Qt::Key_Down, 4},           {127, Qt::Key_Up, 127},
        {-127, Qt::Key_Down, -127},     {5, Qt::Key_Home, 5},           {5, Qt::Key_End, 5},
    };
    for (const Step &step : steps) {
        config.Brightness = step.from;
        brightness->setValue(step.from);
        ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
        QTest::keyClick(brightness, step.key);
        EXPECT_EQ(brightness->value(), step.to) << step.from << " " << step.key;
        EXPECT_EQ(config.Brightness, step.to) << step.from << " " << step.key;
        EXPECT_EQ(cardBrightness(), step.to) << step.from << " " << step.key;
    }

    // A drag takes the thumb's place; the other controls answer alike.
    brightness->setSliderDown(true);
    brightness->setSliderPosition(-33);
    brightness->setSliderDown(false);
    EXPECT_EQ(config.Brightness, -33);
    EXPECT_EQ(cardBrightness(), -33);
    QTest::keyClick(slider(dialog, "Contrast"), Qt::Key_PageUp);
    QTest::keyClick(slider(dialog, "Hue"), Qt::Key_Down);
    QTest::keyClick(slider(dialog, "Saturation"), Qt::Key_Up);
    int8_t contrast = 0, saturation = 0;
    uint8_t hue = 0;
    ASSERT_EQ(ZUL_getContrast(&contrast), ZUL_OK);
    ASSERT_EQ(ZUL_getHue(&hue), ZUL_OK);
    ASSERT_EQ(ZUL_getSaturation(&saturation), ZUL_OK);
    EXPECT_EQ(config.Contrast, 10);
    EXPECT_EQ(contrast, 10);
    EXPECT_EQ(config.Hue, -1);
    EXPECT_EQ(hue, 255);
    EXPECT_EQ(config.Saturation, 1);
    EXPECT_EQ(saturation, 1);
}

TEST_F(FormatDialogTest, GreyRecordHidesColourControlsAndResetZeroesAllFour)
{
    config.OutputFormat = 1;
    config.Brightness = 40;
    config.Contrast = -128;
    config.Hue = 30;
    config.Saturation = -9;
    ASSERT_EQ(ZULX_prepare(&config, 0), ZUL_OK);
    QDialog *dialog = open(config);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(slider(dialog, "Brightness")->isVisible());
    EXPECT_TRUE(slider(dialog, "Contrast")->isVisible());
    EXPECT_FALSE(slider(dialog, "Hue")->isVisible());
    EXPECT_FALSE(slider(dialog, "Saturation")->isVisible());
    EXPECT_EQ(slider(dialog, "Brightness")->value(), 40);
    EXPECT_EQ(slider(dialog, "Contrast")->value(), -127);

    QTest::mouseClick(button(dialog, "Reset"), Qt::LeftButton);
    for (const char *name : {"Brightness", "Contrast", "Hue", "Saturation"})
        EXPECT_EQ(slider(dialog, name)->value(), 0) << name;
    EXPECT_EQ(config.Brightness, 0);
    EXPECT_EQ(config.Contrast, 0);
    EXPECT_EQ(config.Hue, 0);
    EXPECT_EQ(config.Saturation, 0);
    uint8_t hue = 1;
    ASSERT_EQ(ZUL_getHue(&hue), ZUL_OK);
    EXPECT_EQ(hue, 0);
    EXPECT_EQ(cardBrightness(), 0);
}

TEST_F(FormatDialogTest, AutoCropFitsTheWindowToTheChartAndPreparesTheSnap)
{
    QDialog *dialog = open(config);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(config.videoStandard, 1);
    EXPECT_EQ(ZUL_startSnap(), ZUL_ERR_SNAP_NOT_PREPARED);
    QTest::mouseClick(button(dialog, "AutoCrop Image"), Qt::LeftButton);
    // The built-in chart's bright area on 625 lines.
    const ZulVideoWindow &w = config.palWindow;
    EXPECT_EQ(w.xOffset, 65);
    EXPECT_EQ(w.xActive, 820);
    EXPECT_EQ(w.yOffset, 48);
    EXPECT_EQ(w.yActive, 514);
    EXPECT_EQ(config.ntscWindow.xActive, 780);
    EXPECT_EQ(ZUL_startSnap(), ZUL_OK);
    EXPECT_EQ(ZUL_finishSnap(), ZUL_OK);
}

TEST_F(FormatDialogTest, CloseEndsWithOneAndARecordHasOneDialog)
{
    QDialog *dialog = open(config);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(open(config), dialog);
    ZulConfig other = config;
    QDialog *second = open(other);
    EXPECT_NE(second, dialog);
    EXPECT_EQ(owner.findChildren<QDialog *>().size(), 2);

    QSignalSpy finished(dialog, &QDialog::finished);
    QTest::mouseClick(button(dialog, "Close"), Qt::LeftButton);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.front().front().toInt(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(owner.findChildren<QDialog *>().size(), 1);

    // Refused: no record, no owner, or an owner that is no widget.
    EXPECT_EQ(ZULX_formatDialogBox(&owner, nullptr), -1);
    EXPECT_EQ(ZULX_formatDialogBox(nullptr, &config), -1);
    EXPECT_EQ(ZULX_formatDialogBox(&config, &config), -1);
    EXPECT_EQ(owner.findChildren<QDialog *>().size(), 1);
}
