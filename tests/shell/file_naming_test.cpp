#include "shell_fixture.h"

namespace {
const char *const kReflectionQuestion =
    "Use previous file name (/data/disc.six)?  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.";
const char *const kTransmissionQuestion =
    "Use previous file name? (/data/disc.six)  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.";
} // namespace

TEST_F(ShellTest, SetFilenameCutsTheExtensionAndShowsTheName)
{
    MDIForm1 &w = load();
    op.files = {"/data/disc.six"};
    w.cmdFile_Click();
    const auto &record = op.dialogs.at(0).record;
    EXPECT_TRUE(op.dialogs[0].save);
    EXPECT_EQ(record.filters.size(), 1);
    EXPECT_EQ(record.filters[0].first, "SIX files");
    EXPECT_EQ(record.filters[0].second, "*.six");
    EXPECT_EQ(record.title, "Choose file name");
    EXPECT_EQ(record.defaultExtension, "bas");
    EXPECT_TRUE(record.overwritePrompt);
    EXPECT_EQ(state.currentFileName, "/data/disc.six");
    EXPECT_EQ(w.naming().baseName(), "/data/disc");
    EXPECT_TRUE(state.fileNameFresh);
    EXPECT_EQ(w.statusPanel(2), "/data/disc.six");

    op.files = {"/data/disc.bas"};
    w.cmdFile_Click();
    EXPECT_EQ(w.naming().baseName(), "/data/disc");
    op.files = {"/data/disc.x"};
    w.cmdFile_Click();
    EXPECT_EQ(w.naming().baseName(), "/data/di");
}

TEST_F(ShellTest, CancelledFirstDialogKeepsTheBaseAndStopsAfterThePanel)
{
    MDIForm1 &w = load();
    op.files = {QString()};
    w.cmdFile_Click();
    EXPECT_TRUE(state.currentFileName.isEmpty());
    EXPECT_TRUE(state.fileNameFresh);
    EXPECT_EQ(w.statusPanel(2), "");
    EXPECT_EQ(w.naming().baseName(), "");
}

TEST_F(ShellTest, AutoIncNumbersEveryCapture)
{
    MDIForm1 &w = load();
    op.files = {"/data/disc.six"};
    w.cmdFile_Click();
    QStringList names;
    for (int capture = 0; capture < 3; ++capture) {
        ASSERT_TRUE(w.naming().namingStep(FileNaming::Wording::Reflection, true));
        names << state.currentFileName;
        state.fileNameFresh = false;
    }
    EXPECT_EQ(names, QStringList({"/data/disc1.six", "/data/disc2.six", "/data/disc3.six"}));
    EXPECT_TRUE(op.messages.empty());

    // "Set Filename" starts the numbering again even when cancelled; the
    // stem then grows from the last name written.
    op.files = {QString()};
    w.cmdFile_Click();
    ASSERT_TRUE(w.naming().namingStep(FileNaming::Wording::Reflection, true));
    EXPECT_EQ(state.currentFileName, "/data/disc31.six");
}

TEST_F(ShellTest, ReusedNameIsAskedAboutInEachWording)
{
    MDIForm1 &w = load();
    op.files = {"/data/disc.six"};
    w.cmdFile_Click();
    ASSERT_TRUE(w.naming().namingStep(FileNaming::Wording::Reflection, false));
    EXPECT_TRUE(op.messages.empty()); // right after "Set Filename" nothing is asked
    EXPECT_EQ(state.currentFileName, "/data/disc.six");
    state.fileNameFresh = false;

    op.answers = {Operator::Answer::Yes};
    ASSERT_TRUE(w.naming().namingStep(FileNaming::Wording::Reflection, false));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, kReflectionQuestion);
    EXPECT_EQ(op.messages[0].title, "Warning");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::YesNoCancel);
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);

    op.answers = {Operator::Answer::Cancel};
    EXPECT_FALSE(w.naming().namingStep(FileNaming::Wording::Transmission, false));
    EXPECT_EQ(op.messages[1].text, kTransmissionQuestion);
    EXPECT_EQ(op.messages[1].icon, Operator::Icon::None);

    op.answers = {Operator::Answer::No};
    op.files = {"/data/other.six"};
    ASSERT_TRUE(w.naming().namingStep(FileNaming::Wording::Reflection, false));
    EXPECT_EQ(state.currentFileName, "/data/other.six");
    EXPECT_TRUE(state.fileNameFresh);
    EXPECT_EQ(op.unscripted, 0);
}

TEST_F(ShellTest, CaptureWithoutANameAsksForOne)
{
    MDIForm1 &w = load();
    op.files = {QString()};
    EXPECT_FALSE(w.naming().namingStep(FileNaming::Wording::Reflection, false));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "You must choose a file name first");
    EXPECT_EQ(op.messages[0].title, "Error");
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);
    EXPECT_EQ(op.dialogs.size(), 1u);

    op.files = {"/data/run.six"};
    ASSERT_TRUE(w.naming().namingStep(FileNaming::Wording::Transmission, true));
    EXPECT_EQ(op.messages[1].icon, Operator::Icon::None);
    EXPECT_EQ(state.currentFileName, "/data/run1.six");
}
