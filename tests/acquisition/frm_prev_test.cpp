// The preview window's intensity check, run offscreen on the picture it
// shows, without a card.
#include "acquisition/exposure_panel.h"
#include "acquisition/frm_prev.h"
#include "fake_workstation.h"
#include "platform/twips.h"
#include "platform/up_down.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
class PreviewWindowTest : public ::testing::Test {
protected:
    PreviewWindowTest() : workstation(state, op, card), window(workstation, [this](const QString &c) { caption = c; })
    {
        state.imageSizeOption = 1;
        state.applyGeometry(); // 532 x 532 images, 512 crops
    }

    // The live picture as the card would have left it, 537 pixels square.
    void showPicture(QRgb colour)
    {
        QImage picture(537, 537, QImage::Format_RGB32);
        picture.fill(colour);
        window.Picture1->setImage(picture);
    }

    AppState state;
    ScriptedOperator op;
    FakeCardLibrary card;
    FakeWorkstation workstation;
    QString caption;
    FrmPrev window;
};
} // namespace

TEST_F(PreviewWindowTest, UniformGreenHundredReadsHundredWithAMeanJustBelowAndNoMarks)
{
    showPicture(qRgb(30, 100, 200));
    workstation.timer.start(10);
    window.cmdIntensity_Click();

    EXPECT_EQ(window.cmdIntensity->text(), "Preview");
    EXPECT_EQ(window.intensityMode(), 1);
    EXPECT_FALSE(workstation.timer.isActive());
    EXPECT_EQ(window.Label1->text(), "100");
    EXPECT_EQ(window.Label2->text(), "100");
    // 100 x 529 x 529 / 532 / 532 = 98.87
    EXPECT_EQ(window.Label3->text(), "99");
    const QImage &shown = window.Picture1->image();
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_EQ(shown.pixel(x, y), qRgb(30, 100, 200)) << x << "," << y;

    // Without a card the second press goes live again but starts no timer.
    state.noCard = true;
    window.cmdIntensity_Click();
    EXPECT_EQ(window.cmdIntensity->text(), "Intensity Check");
    EXPECT_EQ(window.intensityMode(), 0);
    EXPECT_FALSE(workstation.timer.isActive());
    state.noCard = false;
    window.cmdIntensity_Click();
    window.cmdIntensity_Click();
    EXPECT_TRUE(workstation.timer.isActive());
    EXPECT_TRUE(card.calls.isEmpty());
}

TEST_F(PreviewWindowTest, ThresholdZeroPaintsEveryMeasuredPixelAboveZeroAndNothingElse)
{
    QImage picture(537, 537, QImage::Format_RGB32);
    for (int y = 0; y < 537; ++y)
        for (int x = 0; x < 537; ++x)
            picture.setPixel(x, y, qRgb(0, (x + y) % 3 == 0 ? 0 : 1, 0));
    window.Picture1->setImage(picture);
    window.Text1->setText("0");
    window.cmdIntensity_Click();

    EXPECT_EQ(window.intensityThreshold(), 0);
    const QImage &shown = window.Picture1->image();
    for (int y = 0; y < 537; ++y)
        for (int x = 0; x < 537; ++x) {
            const bool measured = x >= 2 && x <= 530 && y >= 2 && y <= 530;
            const QRgb expected = measured && (x + y) % 3 != 0 ? qRgb(255, 0, 0) : picture.pixel(x, y);
            ASSERT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(window.Label1->text(), "1");
    EXPECT_EQ(window.Label2->text(), "0");
}

TEST_F(PreviewWindowTest, AThresholdThatIsNoNumberKeepsTheLastAndTheUpDownStaysInTheByteRange)
{
    showPicture(qRgb(0, 250, 0));
    const struct {
        const char *text;
        int threshold;
    } cases[] = {{"12", 12}, {"lots", 12}, {"", 12}, {"250", 250}, {"99999", 250}, {"7.5", 8}};
    for (const auto &c : cases) {
        window.Text1->setText(c.text);
        window.cmdIntensity_Click(); // freeze and measure
        window.cmdIntensity_Click(); // live again
        EXPECT_EQ(window.intensityThreshold(), c.threshold) << c.text;
    }
    window.Text1->setText("254");
    window.UpDown1->stepBy(5);
    EXPECT_EQ(window.Text1->text(), "255");
    window.Text1->setText("3");
    window.UpDown1->stepBy(-5);
    EXPECT_EQ(window.Text1->text(), "0");
}

TEST_F(PreviewWindowTest, ClosingEndsThePreviewAndReappliesTheSettingsWithTheCard)
{
    state.previewOn = 1;
    workstation.timer.start(10);
    window.show();
    window.close();
    EXPECT_EQ(state.previewOn, 0);
    EXPECT_FALSE(workstation.timer.isActive());
    EXPECT_EQ(caption, "Preview");
    EXPECT_TRUE(card.calls.isEmpty()); // no card

    state.noCard = false;
    state.previewOn = 1;
    window.show();
    window.close();
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "defaultPalette(0)"}));
    EXPECT_FALSE(workstation.timer.isActive());
}

TEST_F(PreviewWindowTest, ShownAgainAfterACheckTheWindowIsLiveAndSaysSo)
{
    showPicture(qRgb(0, 100, 0));
    window.show();
    window.cmdIntensity_Click();
    window.hide();
    window.show();
    EXPECT_EQ(window.intensityMode(), 0);
    EXPECT_EQ(window.cmdIntensity->text(), "Intensity Check");
    EXPECT_TRUE(window.Picture1->image().isNull());
}

TEST(ExposurePanel, CountsClippedPixelsOfTheAreaOnly)
{
    QImage picture(10, 4, QImage::Format_RGB32);
    picture.fill(qRgb(255, 128, 255));
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 255, 0));
    picture.setPixel(9, 3, qRgb(0, 0, 0)); // outside the area
    GreenHistogram histogram;
    countGreen(picture, QRect(0, 0, 8, 4), histogram);
    EXPECT_EQ(histogram.total, 32);
    EXPECT_EQ(histogram.atBlack(), 1);
    EXPECT_EQ(histogram.atWhite(), 1);
    EXPECT_EQ(histogram.counts[128], 30);
    countGreen(picture, QRect(5, 2, 20, 20), histogram); // clipped to the picture
    EXPECT_EQ(histogram.total, 10);
    EXPECT_EQ(histogram.atBlack(), 1);

    ExposurePanel panel;
    panel.showFrame(histogram, 240);
    EXPECT_EQ(panel.blackText(), "At 0: 1 (10.0 %)");
    EXPECT_EQ(panel.whiteText(), "At 255: 0 (0.0 %)");
    EXPECT_EQ(panel.markedThreshold(), 240);
    EXPECT_EQ(panel.rateText(), "Frames per second: -");
}

namespace {
// Every button and label of `window` with a text shows it whole, inside the
// window; returns how many were looked at.
int expectCaptionsFit(QWidget &window)
{
    const QRect inside = window.rect();
    int checked = 0;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        QString text;
        int room = 0;
        int height = control->height();
        int needed = control->sizeHint().height();
        if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            text = button->text();
            // The indicator or the bevel takes the rest of the hint.
            room = button->width() - (button->sizeHint().width() - button->fontMetrics().horizontalAdvance(text));
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            text = label->text();
            room = label->contentsRect().width();
            height = label->contentsRect().height();
            needed = label->fontMetrics().height();
        } else {
            continue;
        }
        if (text.isEmpty())
            continue; // the up-down's arrows, the figures before a check
        ++checked;
        EXPECT_GE(height, needed) << text.toStdString();
        EXPECT_LE(control->fontMetrics().horizontalAdvance(text), room) << text.toStdString();
        EXPECT_TRUE(inside.contains(QRect(control->mapTo(&window, QPoint(0, 0)), control->size())))
            << text.toStdString();
    }
    return checked;
}
} // namespace

TEST_F(PreviewWindowTest, EveryCaptionFitsItsControlAtTheWindowsSize)
{
    window.resize(pixelsFromTwips(13550, 8950));
    window.show();
    ASSERT_EQ(window.size(), pixelsFromTwips(13550, 8950)) << "the layout needs a larger window";
    {
        SCOPED_TRACE("as designed");
        EXPECT_EQ(window.cmdIntensity->text(), "Intensity  Check");
        EXPECT_GE(expectCaptionsFit(window), 10);
    }
    {
        SCOPED_TRACE("checked, with the widest figures");
        showPicture(qRgb(0, 255, 0));
        window.cmdIntensity_Click();
        GreenHistogram histogram;
        histogram.total = 288369;
        histogram.counts[0] = 288369;
        histogram.counts[255] = 288369;
        window.exposure->showFrame(histogram, 240);
        EXPECT_EQ(window.cmdIntensity->text(), "Preview");
        EXPECT_EQ(window.Label1->text(), "255");
        EXPECT_GE(expectCaptionsFit(window), 13);
    }
    {
        SCOPED_TRACE("live again");
        window.cmdIntensity_Click();
        EXPECT_EQ(window.cmdIntensity->text(), "Intensity Check");
        EXPECT_GE(expectCaptionsFit(window), 13);
    }
}

TEST(ExposurePanel, DrawsTheHistogramInGreenWithTheThresholdInRed)
{
    GreenHistogram histogram;
    for (int value = 0; value < 256; ++value)
        histogram.counts[static_cast<std::size_t>(value)] = value;
    histogram.total = 255 * 128;
    ExposurePanel panel;
    panel.resize(248, 300);
    panel.showFrame(histogram, 128);
    panel.show();
    auto *view = panel.findChild<QWidget *>(QStringLiteral("greenHistogram"));
    ASSERT_NE(view, nullptr);
    const QImage drawn = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int green = 0;
    int red = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            green += pixel == qRgb(0, 255, 0);
            red += pixel == qRgb(255, 0, 0);
            ASSERT_TRUE(pixel == qRgb(0, 0, 0) || pixel == qRgb(0, 255, 0) || pixel == qRgb(255, 0, 0))
                << x << "," << y << " " << std::hex << pixel;
        }
    EXPECT_EQ(red, drawn.height());
    // The counts rise to the right: the bar of the highest values reaches
    // the top of the view, that of the lowest is empty.
    EXPECT_EQ(drawn.pixel(drawn.width() - 2, 1), qRgb(0, 255, 0));
    EXPECT_EQ(drawn.pixel(1, drawn.height() - 2), qRgb(0, 0, 0));
    EXPECT_GT(green, 0);
}

TEST_F(PreviewWindowTest, EveryControlHasANameAndItsTooltipAsDescription)
{
    int checked = 0;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (qobject_cast<QToolButton *>(widget) || widget->objectName().startsWith("qt_"))
            continue; // the up-down's own arrows
        ++checked;
        EXPECT_FALSE(widget->accessibleName().isEmpty())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
        EXPECT_EQ(widget->accessibleDescription(), widget->toolTip()) << widget->objectName().toStdString();
    }
    EXPECT_EQ(checked, 18);
}
