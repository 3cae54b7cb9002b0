// The output name: "Set Filename", the naming step of the sequences, and the
// names other windows choose, all through the one owner.
#include "scripted_operator.h"
#include "workbench/file_naming.h"

#include <gtest/gtest.h>

namespace {
const char *const kReflectionQuestion =
    "Use previous file name (/data/disc.six)?  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.";
const char *const kTransmissionQuestion =
    "Use previous file name? (/data/disc.six)  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.";

using Wording = FileNaming::Wording;

class NamingTest : public ::testing::Test {
protected:
    // "Set Filename" answered with `name`, or cancelled for a null name.
    void setFilename(const QString &name)
    {
        op.files = {name};
        naming.setFilename();
    }

    ScriptedOperator op;
    QStringList shown; // what panel 2 was given, in order
    FileNaming naming{op, [this](const QString &name) { shown << name; }};
};
} // namespace

TEST_F(NamingTest, SetFilenameCutsTheLastFourCharactersForTheStem)
{
    setFilename("/data/disc.six");
    const auto &record = op.dialogs.at(0).record;
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(record.filters, (QList<QPair<QString, QString>>{{"SIX files", "*.six"}}));
    EXPECT_EQ(record.title, "Choose file name");
    EXPECT_EQ(record.defaultExtension, "bas");
    EXPECT_TRUE(record.overwritePrompt);

    const struct {
        const char *chosen;
        const char *stem;
    } cases[] = {{"/data/disc.six", "/data/disc"}, {"/data/disc.bas", "/data/disc"}, {"/data/disc.x", "/data/di"}};
    for (const auto &c : cases) {
        setFilename(c.chosen);
        EXPECT_EQ(naming.currentFileName(), c.chosen);
        EXPECT_EQ(naming.baseName(), c.stem) << c.chosen;
        EXPECT_TRUE(naming.fileNameFresh());
        EXPECT_EQ(shown.back(), c.chosen);
    }
}

TEST_F(NamingTest, CancelledSetFilenameKeepsTheNameButStartsAfresh)
{
    setFilename(QString());
    EXPECT_TRUE(naming.currentFileName().isEmpty());
    EXPECT_TRUE(naming.fileNameFresh());
    EXPECT_EQ(shown, QStringList({""}));
    EXPECT_EQ(naming.baseName(), "");

    // With a name already chosen, a cancel numbers from 1 again and grows
    // the stem from the last name written.
    setFilename("/data/disc.six");
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, true));
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, true));
    EXPECT_EQ(naming.currentFileName(), "/data/disc2.six");
    setFilename(QString());
    EXPECT_EQ(naming.fileCounter(), 0);
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, true));
    EXPECT_EQ(naming.currentFileName(), "/data/disc21.six");
}

TEST_F(NamingTest, AutoIncNumbersEveryCaptureWithoutAsking)
{
    setFilename("/data/disc.six");
    QStringList names;
    for (int capture = 0; capture < 3; ++capture) {
        ASSERT_TRUE(naming.namingStep(Wording::Reflection, true));
        names << naming.currentFileName();
        naming.markUsed();
    }
    EXPECT_EQ(names, QStringList({"/data/disc1.six", "/data/disc2.six", "/data/disc3.six"}));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(NamingTest, ReusedNameIsAskedAboutInEachWording)
{
    setFilename("/data/disc.six");
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, false));
    EXPECT_TRUE(op.messages.empty()); // right after "Set Filename" nothing is asked
    naming.markUsed();

    op.answers = {Operator::Answer::Yes};
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, false));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kReflectionQuestion);
    EXPECT_EQ(op.messages[0].title, "Warning");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::YesNoCancel);
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);

    op.answers = {Operator::Answer::Cancel};
    EXPECT_FALSE(naming.namingStep(Wording::Transmission, false));
    EXPECT_EQ(op.messages[1].text, kTransmissionQuestion);
    EXPECT_EQ(op.messages[1].icon, Operator::Icon::None);

    op.answers = {Operator::Answer::No};
    op.files = {"/data/other.six"};
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, false));
    EXPECT_EQ(naming.currentFileName(), "/data/other.six");
    EXPECT_EQ(naming.baseName(), "/data/other");
    EXPECT_TRUE(naming.fileNameFresh());
    EXPECT_EQ(shown.back(), "/data/other.six");
    EXPECT_EQ(op.unscripted, 0);
}

TEST_F(NamingTest, NoThenCancelInTheNameDialogEndsTheCaptureWithNothingChanged)
{
    setFilename("/data/disc.six");
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, false));
    naming.markUsed();
    shown.clear();

    // The question promised a new name; without one nothing may be written
    // over the old file, and the next capture must ask again.
    op.answers = {Operator::Answer::No};
    op.files = {QString()};
    EXPECT_FALSE(naming.namingStep(Wording::Reflection, false));
    EXPECT_EQ(naming.currentFileName(), "/data/disc.six");
    EXPECT_FALSE(naming.fileNameFresh());
    EXPECT_TRUE(shown.isEmpty());

    op.answers = {Operator::Answer::Yes};
    EXPECT_TRUE(naming.namingStep(Wording::Reflection, false));
    EXPECT_EQ(op.messages.size(), 2u);
}

TEST_F(NamingTest, CaptureWithoutANameAsksForOne)
{
    op.files = {QString()};
    EXPECT_FALSE(naming.namingStep(Wording::Reflection, false));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "You must choose a file name first");
    EXPECT_EQ(op.messages[0].title, "Error");
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);
    EXPECT_EQ(op.dialogs.size(), 1u);

    op.files = {"/data/run.six"};
    ASSERT_TRUE(naming.namingStep(Wording::Transmission, true));
    EXPECT_EQ(op.messages[1].icon, Operator::Icon::None);
    EXPECT_EQ(naming.currentFileName(), "/data/run1.six");
}

TEST_F(NamingTest, TheCounterStopsAtItsLastNumberInsteadOfWrapping)
{
    setFilename("/data/specimen.six");
    for (int n = 1; n <= 32767; ++n)
        ASSERT_TRUE(naming.namingStep(Wording::Reflection, true));
    EXPECT_EQ(naming.currentFileName(), "/data/specimen32767.six");

    EXPECT_FALSE(naming.namingStep(Wording::Reflection, true));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text,
              "The file counter has reached 32767 and cannot number another file.  "
              "Choose a new file name with Set Filename.");
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);
    EXPECT_EQ(naming.currentFileName(), "/data/specimen32767.six");
    EXPECT_EQ(naming.fileCounter(), 32767);

    // A new name numbers from 1 again.
    setFilename("/data/next.six");
    ASSERT_TRUE(naming.namingStep(Wording::Reflection, true));
    EXPECT_EQ(naming.currentFileName(), "/data/next1.six");
}
