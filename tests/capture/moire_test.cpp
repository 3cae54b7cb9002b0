// The moire capture on the virtual card, checked pixel by pixel against the
// pictures the camera gives.
#include "capture_fixture.h"

#include <QLineEdit>
#include <map>

namespace {

const QString kReference = QStringLiteral("Do you wish to capture cone for reference grating?");
const QString kObject = QStringLiteral("Collect object image?");
const QString kNoReference = QStringLiteral(
    "You do not have any reference data yet.  Do you want to use data from a previously saved file?");

constexpr auto kYes = Operator::Answer::Yes;
constexpr auto kNo = Operator::Answer::No;

// Tile pixel (x, y) of every channel against pixel (x + 10, y + 10) of the
// picture it comes from; a null picture stands for a channel of zeros.
void expectMoi(const QString &fileName, const QImage &red, const QImage &green)
{
    const QImage moi = QImage(fileName).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(moi.size(), QSize(256, 256)) << fileName.toStdString();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const QRgb pixel = moi.pixel(x, y);
            const int wantRed = red.isNull() ? 0 : qRed(red.pixel(x + 10, y + 10));
            const int wantGreen = green.isNull() ? 0 : qGreen(green.pixel(x + 10, y + 10));
            if (qRed(pixel) != wantRed || qGreen(pixel) != wantGreen || qBlue(pixel) != 0) {
                ADD_FAILURE() << fileName.toStdString() << " at " << x << "," << y << ": " << qRed(pixel) << "/"
                              << qGreen(pixel) << "/" << qBlue(pixel) << " instead of " << wantRed << "/" << wantGreen
                              << "/0";
                return;
            }
        }
}

} // namespace

TEST_F(CaptureTest, FourMoireRunsTakeKeepAndReadTheReference)
{
    MDIForm1 &w = start();
    std::array<QImage, 5> frames;
    for (int k = 0; k < 5; ++k)
        frames[static_cast<std::size_t>(k)] = grabToFile(scene(k), path(QStringLiteral("frame%1.bmp").arg(k)));
    auto showAt = [this](std::map<QString, int> pictures) {
        op.atBench = [this, pictures](const QString &text) {
            if (const auto found = pictures.find(text); found != pictures.end())
                card->setPicture(scene(found->second));
        };
    };

    // First run: reference and object captured.
    w.naming().adopt(path("run.six"));
    showAt({{kReference, 0}, {kObject, 1}});
    op.files = {path("one.moi")};
    op.answers = {kYes, kYes};
    w.cmdMoire_Click();
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.filters.value(0), qMakePair(QStringLiteral("MOI files"), QStringLiteral("*.moi")));
    EXPECT_EQ(op.dialogs[0].record.initialFileName, path("run0.moi"));
    EXPECT_TRUE(op.dialogs[0].record.overwritePrompt);
    EXPECT_EQ(op.texts(), QStringList({kReference, kObject, "Finished.  Written file as " + path("one.moi")}));
    expectMoi(path("one.moi"), frames[0], frames[1]);
    EXPECT_TRUE(w.haveReference());
    EXPECT_FALSE(w.naming().fileNameFresh());
    EXPECT_EQ(w.statusPanel(StatusPanel::Status), "Done");
    EXPECT_EQ(w.imageForm(1)->windowTitle(), "Reference");
    EXPECT_EQ(w.imageForm(2)->windowTitle(), "Object");
    EXPECT_FALSE(w.imageForm(3)->isVisible());

    // Second run: the kept reference, unchanged, with a new object.
    op.messages.clear();
    showAt({{kObject, 2}});
    op.files = {path("two.moi")};
    op.answers = {kNo, kYes};
    w.cmdMoire_Click();
    EXPECT_EQ(op.texts(), QStringList({kReference, kObject, "Finished.  Written file as " + path("two.moi")}));
    expectMoi(path("two.moi"), frames[0], frames[2]);

    // A fresh start has no reference: one is read from the first file.
    start();
    EXPECT_FALSE(window->haveReference());
    op.messages.clear();
    op.dialogs.clear();
    showAt({{kObject, 3}});
    op.files = {path("three.moi"), path("one.moi")};
    op.answers = {kNo, kYes, kYes};
    window->cmdMoire_Click();
    EXPECT_EQ(op.texts(),
              QStringList({kReference, kNoReference, kObject, "Finished.  Written file as " + path("three.moi")}));
    ASSERT_EQ(op.dialogs.size(), 2u);
    EXPECT_FALSE(op.dialogs[1].save);
    expectMoi(path("three.moi"), frames[0], frames[3]);

    // Fourth run, again from a fresh start: a reference captured in the run
    // is reference data, so No to the object asks nothing more and leaves
    // the green channel 0.
    start();
    op.messages.clear();
    showAt({{kReference, 4}});
    op.files = {path("four.moi")};
    op.answers = {kYes, kNo};
    window->cmdMoire_Click();
    EXPECT_EQ(op.texts(), QStringList({kReference, kObject, "Finished.  Written file as " + path("four.moi")}));
    expectMoi(path("four.moi"), frames[4], QImage());
    EXPECT_TRUE(window->haveReference());
    EXPECT_EQ(op.unscripted, 0);
    EXPECT_EQ(ended, -1);
}

TEST_F(CaptureTest, AMoireRunEndedEarlyWritesNothingAndKeepsTheReferenceState)
{
    struct Case {
        const char *what;
        std::deque<Operator::Answer> answers;
        std::deque<QString> files; // null: Cancel
        QStringList asked;
    };
    const QString moi = path("none.moi");
    const Case cases[] = {
        {"save dialog cancelled", {}, {QString()}, {}},
        {"no saved reference wanted", {kNo, kNo}, {moi}, {kReference, kNoReference}},
        {"open dialog cancelled", {kNo, kYes}, {moi, QString()}, {kReference, kNoReference}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        start();
        op.messages.clear();
        op.answers = c.answers;
        op.files = c.files;
        window->cmdMoire_Click();
        EXPECT_EQ(op.texts(), c.asked);
        EXPECT_FALSE(QFile::exists(moi));
        EXPECT_FALSE(window->haveReference());
        EXPECT_TRUE(state.moireImage.isNull());
    }
}

TEST_F(CaptureTest, FourFramesAveragedGiveTheirMeanAndOneFrameIsOneSnap)
{
    const zul::vcard::VideoFrame mean = scene(5);
    const auto around = aroundMean(mean);
    MDIForm1 &w = start();
    const QImage first = grabToFile(around[0], path("first.bmp"));
    const QImage second = grabToFile(around[1], path("second.bmp"));
    ASSERT_EQ(w.liveConfig().OutputFormat, 7);
    // The card shows the four frames in turn, one per snap.
    auto cycle = [this, &around] {
        const int before = card->acquisitions();
        card->onDigitize([this, &around, before](int acquisition) {
            card->setPicture(around[static_cast<std::size_t>((acquisition - before - 1) % 4)]);
        });
    };
    auto moire = [&](const QString &name, const char *average) {
        w.averageText1()->setText(QLatin1String(average));
        op.files = {path(name)};
        op.answers = {kYes, kYes};
        const int before = card->acquisitions();
        w.cmdMoire_Click();
        return card->acquisitions() - before;
    };

    // Four snaps per image, each of another frame, give what four snaps of
    // the mean itself give.
    cycle();
    EXPECT_EQ(moire("averaged.moi", "4"), 8);
    card->onDigitize({});
    card->setPicture(mean);
    EXPECT_EQ(moire("mean.moi", "4"), 8);
    EXPECT_EQ(fileBytes(path("averaged.moi")), fileBytes(path("mean.moi")));
    // ... and a still picture averaged is that picture, not shifted by the
    // odd first pixel of the 256 area.
    EXPECT_EQ(moire("still.moi", "1"), 2);
    EXPECT_EQ(fileBytes(path("still.moi")), fileBytes(path("mean.moi")));

    // One frame per image is one snap: the reference is the first frame,
    // the object the second.
    cycle();
    EXPECT_EQ(moire("single.moi", "1"), 2);
    expectMoi(path("single.moi"), first, second);
    EXPECT_NE(fileBytes(path("single.moi")), fileBytes(path("mean.moi")));
}
