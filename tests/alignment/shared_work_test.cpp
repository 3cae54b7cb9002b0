// Whole runs through the sequences, the alignment window and the mask editor
// in one light workstation: whatever order the operator takes them in, a
// ".six" is written only under a name the operator was shown, and a set of
// working images is composed only whole and only by the one who holds it.
#include "fake_workstation.h"

#include "acquisition/composite_writer.h"
#include "acquisition/six_step_sequence.h"
#include "acquisition/working_images.h"
#include "alignment/frm_align.h"
#include "batch_run.h"
#include "masking/frm_back.h"
#include "platform/bmp_file.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Answer = Operator::Answer;

constexpr int side = 120; // pictures 120 x 120 give 100 x 100 crops

class SharedWork : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(folder.path());
        state.applyGeometry();
        state.setAllOrigins(10);
        writeSet("a", 0);
        writeSet("b", 90);
    }
    void TearDown() override { QDir::setCurrent(previousFolder_); }

    QString path(const QString &name) const { return folder.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Six grey pictures a1.bmp .. a6.bmp, each different, `shift` telling
    // two sets apart.
    void writeSet(const QString &stem, int shift)
    {
        for (int k = 1; k <= 6; ++k) {
            QImage picture(side, side, QImage::Format_RGB32);
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) {
                    const int v = (37 * k + 3 * x + 7 * y + shift) & 0xff;
                    picture.setPixel(x, y, qRgb(v, v, v));
                }
            ASSERT_TRUE(picture.save(path(QStringLiteral("%1%2.bmp").arg(stem).arg(k)), "BMP"));
        }
    }

    // The ".six" bytes a set gives with every crop origin at `origin`.
    QByteArray sixOf(const QString &stem, int origin) const
    {
        WorkingImages set(SixLayout::Reflection);
        for (int k = 1; k <= 6; ++k)
            EXPECT_EQ(set.take(k, path(QStringLiteral("%1%2.bmp").arg(stem).arg(k))), QString());
        std::array<QPoint, 6> origins;
        origins.fill(QPoint(origin, origin));
        return encodeBmp24(packSix(SixLayout::Reflection, set.images(), QSize(side - 20, side - 20), origins));
    }

    void setFilename(const QString &name)
    {
        op.files = {name};
        ws.naming().setFilename();
    }

    // A reflection run on a set read automatically; `answers` come after
    // the AutoRead question (which is answered Yes).
    void reflection(const QString &stem, std::initializer_list<Answer> before, std::initializer_list<Answer> after)
    {
        op.answers = before;
        op.answers.push_back(Answer::Yes);
        op.answers.insert(op.answers.end(), after);
        op.files.push_back(path(stem + "1.bmp"));
        SixStepSequence(ws, SixLayout::Reflection).run();
    }

    frmAlign &alignWindow()
    {
        frmAlign *align = ws.alignWindow();
        if (!align)
            throw std::runtime_error("the alignment window is not open");
        return *align;
    }

    QStringList finished() const { return op.texts().filter("Finished.  Written file as "); }

    QTemporaryDir folder;
    AppState state;
    ScriptedOperator op;
    FakeCardLibrary card;
    FakeWorkstation ws{state, op, card};

private:
    QString previousFolder_;
};

} // namespace

TEST_F(SharedWork, NoToTheOldNameThenCancelWritesNothing)
{
    setFilename(path("specimen.six"));
    reflection("a", {}, {Answer::Cancel});
    const QByteArray setA = fileBytes(path("specimen.six"));
    ASSERT_EQ(setA, sixOf("a", 10));

    op.messages.clear();
    op.answers = {Answer::No};
    op.files = {QString()};
    SixStepSequence(ws, SixLayout::Reflection).run();
    EXPECT_EQ(fileBytes(path("specimen.six")), setA);
    EXPECT_EQ(op.texts(),
              QStringList({"Use previous file name (" + path("specimen.six")
                           + ")?  This will overwrite your last set of data.  Choose YES to proceed or NO "
                             "to choose new file name."}));
    EXPECT_EQ(op.unscripted, 0);
}

TEST_F(SharedWork, ANameChosenAtAlignmentOkIsTheNameTheNextCaptureOffersAndWrites)
{
    setFilename(path("specimen.six"));
    writeFile("input.six", sixOf("b", 10));

    reflection("a", {}, {Answer::Yes});
    ASSERT_EQ(state.alignState, 1);
    frmAlign &align = alignWindow();
    op.files = {path("input.six")};
    align.cmdRead_Click();
    align.Command1_Click(); // every marker at (20, 20): origins 12
    op.answers = {Answer::No};
    op.files = {path("new.six")};
    align.cmdOK_Click();
    EXPECT_EQ(fileBytes(path("new.six")), sixOf("b", 12));
    EXPECT_EQ(ws.panel(StatusPanel::FileName), path("new.six"));

    op.messages.clear();
    reflection("a", {Answer::Yes}, {Answer::No});
    ASSERT_GE(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text,
              "Use previous file name (" + path("new.six")
                  + ")?  This will overwrite your last set of data.  Choose YES to proceed or "
                    "NO to choose new file name.");
    EXPECT_EQ(finished(), QStringList({"Finished.  Written file as " + path("new.six")}));
    EXPECT_EQ(fileBytes(path("new.six")), sixOf("a", 12));
    EXPECT_FALSE(QFile::exists(path("specimen.six")));
    EXPECT_EQ(op.unscripted, 0);
}

TEST_F(SharedWork, APointFileReadNeverBecomesTheSixName)
{
    writeFile("pts.bgp", "\"NB\",1\r\n3,#TRUE#\r\n1,1\r\n30,1\r\n1,30\r\n");
    writeFile("bad.bgp", "\"NB\",40\r\n");
    const QByteArray points = fileBytes(path("pts.bgp"));

    // Fresh start: the editor reads a point file, and a capture still asks
    // for a name first; cancelled, nothing is written anywhere.
    {
        frmBack editor(ws);
        op.files = {path("pts.bgp"), path("bad.bgp")};
        editor.cmdRead_Click();
        editor.cmdRead_Click();
        ASSERT_EQ(editor.areas().maskAreaCount, 1);
    }
    EXPECT_TRUE(ws.naming().currentFileName().isEmpty());
    op.messages.clear();
    op.files = {QString()};
    SixStepSequence(ws, SixLayout::Reflection).run();
    ASSERT_EQ(op.texts(), QStringList({"You must choose a file name first"}));
    EXPECT_EQ(QDir(folder.path()).entryList({"*.six", ".six"}, QDir::Files | QDir::Hidden), QStringList());

    // With a name chosen, a point file read in the middle of an alignment
    // leaves it alone: OK writes the ".six", not over the point file.
    setFilename(path("main.six"));
    writeFile("input.six", sixOf("b", 10));
    ws.cmdAlign_Click();
    frmAlign &align = alignWindow();
    op.files = {path("input.six")};
    align.cmdRead_Click();
    align.Command1_Click();
    {
        frmBack editor(ws);
        op.files = {path("bad.bgp"), path("pts.bgp")};
        editor.cmdRead_Click();
        editor.cmdRead_Click();
        EXPECT_EQ(ws.naming().currentFileName(), path("main.six"));
    }
    op.messages.clear();
    op.answers = {Answer::Yes};
    align.cmdOK_Click();
    EXPECT_EQ(op.messages.at(0).text,
              "Keep same file name?  Click YES to continue and overwrite old file, or NO choose new file name");
    EXPECT_EQ(finished(), QStringList({"Finished.  Written file as " + path("main.six")}));
    EXPECT_EQ(fileBytes(path("main.six")), sixOf("b", 12));
    EXPECT_EQ(fileBytes(path("pts.bgp")), points);
}

TEST_F(SharedWork, AlignAgainKeepsTheMarkersAndTheMaskEditorLeavesAWaitingSetAlone)
{
    setFilename(path("specimen.six"));
    reflection("a", {}, {Answer::Yes});
    frmAlign &align = alignWindow();
    align.Picture1_KeyDown(1, frmAlign::KeyReturn, 0);
    align.Picture1_MouseDown(3, 1, 0, 30, 40);
    ASSERT_EQ(align.pickMode(), 1);

    // The same window, its zoom and markers as they were.
    const QPointer<frmAlign> kept(&align);
    ws.cmdAlign_Click();
    ASSERT_FALSE(kept.isNull());
    ASSERT_EQ(ws.alignWindow(), kept.data());
    EXPECT_EQ(align.pickMode(), 1);
    EXPECT_EQ(align.Text1[3]->text(), "30");

    // Opening and closing the mask editor does not touch the waiting set,
    // nor the geometry it is composed at.
    state.imageSizeOption = 1;
    {
        frmBack editor(ws);
        editor.close();
    }
    EXPECT_FALSE(state.imageDCs[1].isNull());
    EXPECT_EQ(state.cropWidth, side - 20);

    align.Command1_Click();
    op.messages.clear();
    align.cmdOK_Click();
    EXPECT_EQ(finished(), QStringList({"Finished.  Written file as " + path("specimen.six")}));
    EXPECT_EQ(fileBytes(path("specimen.six")), sixOf("a", 12));
}

TEST_F(SharedWork, ARunThatStopsHalfWayLeavesTheWaitingSetWholeAndNoLongerWaiting)
{
    setFilename(path("specimen.six"));
    reflection("a", {}, {Answer::Yes});
    ASSERT_EQ(state.alignState, 1);
    std::array<QImage, 7> setA = state.imageDCs;

    writeFile("b3.bmp", "not a picture");
    op.messages.clear();
    reflection("b", {}, {});

    ASSERT_EQ(op.messages.size(), 3u) << op.texts().join(" | ").toStdString();
    EXPECT_TRUE(op.messages[1].text.startsWith("Cannot read the picture file " + path("b3.bmp")));
    EXPECT_EQ(op.messages[2].text,
              "The run stopped before all six images were read, so the set waiting in the Align "
              "window is no longer written as "
                  + path("specimen.six") + ".  OK there now asks whether and where to save it.");
    EXPECT_EQ(state.alignState, 0);
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(state.imageDCs[i], setA[i]) << i;

    // OK asks instead of composing; No writes nothing.
    alignWindow().Command1_Click();
    op.messages.clear();
    op.answers = {Answer::No};
    alignWindow().cmdOK_Click();
    EXPECT_EQ(op.texts(), QStringList({"Do you wish to save the .six data?"}));
    EXPECT_FALSE(QFile::exists(path("specimen.six")));
}
