#include "platform/application_end.h"
#include "shell/capture_ini.h"
#include "shell_fixture.h"

#include "workbench/zul_errors.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolBar>

namespace {
bool menuChecked(MDIForm1 &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name))->isChecked();
}
} // namespace

TEST_F(ShellTest, EmptyStoreGivesEveryStartUpDefault)
{
    MDIForm1 &w = load();
    EXPECT_EQ(QDir::currentPath(), QDir::homePath());
    EXPECT_TRUE(state.noCard);
    EXPECT_EQ(state.averageCount, 1);
    EXPECT_EQ(w.averageText1()->text(), "1");
    EXPECT_EQ(state.imageSizeOption, 0);
    EXPECT_EQ(state.imageWidth, 276);
    EXPECT_EQ(state.imageHeight, 276);
    EXPECT_EQ(state.cropWidth, 256);
    EXPECT_EQ(state.cropHeight, 256);
    EXPECT_EQ(state.imageMaxSide, 276);
    EXPECT_DOUBLE_EQ(state.cutOffRatio, 0.25);
    EXPECT_TRUE(menuChecked(w, "mnuTop"));
    EXPECT_TRUE(menuChecked(w, "mnuShowLeft"));
    EXPECT_TRUE(menuChecked(w, "mnuLabels"));
    EXPECT_FALSE(w.findChild<QToolBar *>("Toolbar1")->isHidden());
    EXPECT_FALSE(w.findChild<QToolBar *>("Toolbar3")->isHidden());
    for (const OptionBox box :
         {OptionBox::Filter, OptionBox::SaveI46, OptionBox::AutoInc, OptionBox::SaveI4, OptionBox::SaveI6})
        EXPECT_EQ(w.checkValue(box), 0) << static_cast<int>(box);
    EXPECT_TRUE(state.ondaraPath.isEmpty() && state.sabelnPath.isEmpty() && state.moireProgPath.isEmpty());
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(state.alignX[i], 10);
        EXPECT_EQ(state.alignY[i], 10);
    }
    EXPECT_EQ(w.statusPanel(StatusPanel::FileName), "CHOOSE FILE NAME");
    EXPECT_EQ(w.statusPanel(StatusPanel::AlignmentSource), "Default");
    EXPECT_TRUE(state.captureIniPath.endsWith("/capture.ini"));
    EXPECT_TRUE(state.capTotalIniPath.endsWith("/captotal.ini"));
    EXPECT_TRUE(state.dumpIniPath.endsWith("/dump.ini"));
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(card.calls.isEmpty());
}

TEST_F(ShellTest, MissingStoredFolderIsNamedAndStartUpGoesOn)
{
    store("options", "directory", "/no/such/folder");
    store("options", "areaind", "1");
    load();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_TRUE(op.messages[0].text.contains("/no/such/folder"));
    EXPECT_EQ(QDir::currentPath(), QDir::homePath());
    EXPECT_EQ(state.imageWidth, 532);
    EXPECT_EQ(state.cropHeight, 512);
    EXPECT_EQ(state.alignX[3], 10);
}

TEST_F(ShellTest, StoredFolderBecomesCurrent)
{
    QTemporaryDir folder;
    store("options", "directory", folder.path());
    load();
    EXPECT_EQ(QDir::currentPath(), QDir(folder.path()).canonicalPath());
}

TEST_F(ShellTest, StoredOptionsRestoreBoxesAndTheirMirrors)
{
    store("options", "autoinc", "1");
    store("options", "filter", "1");
    store("options", "i4", "1");
    store("options", "average", "7");
    store("options", "cor", "0.4");
    store("software", "ondara", "ondara --batch");
    MDIForm1 &w = load();
    EXPECT_EQ(w.checkValue(OptionBox::AutoInc), 1);
    EXPECT_TRUE(w.toolbarButton("auto")->isChecked());
    EXPECT_TRUE(menuChecked(w, "mnuAuto"));
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 1);
    EXPECT_TRUE(w.toolbarButton("filter")->isChecked());
    EXPECT_TRUE(menuChecked(w, "mnuFilter"));
    EXPECT_EQ(w.checkValue(OptionBox::SaveI46), 0);
    EXPECT_FALSE(w.toolbarButton("x46")->isChecked());
    EXPECT_FALSE(menuChecked(w, "mnu46"));
    EXPECT_EQ(w.checkValue(OptionBox::SaveI4), 1);
    EXPECT_EQ(state.averageCount, 7);
    EXPECT_EQ(w.averageText3()->text(), "7");
    EXPECT_DOUBLE_EQ(state.cutOffRatio, 0.4);
    EXPECT_EQ(state.ondaraPath, "ondara --batch");
}

TEST_F(ShellTest, LabelsStoredFalseStartWithoutCaptions)
{
    store("view", "labels", "False");
    store("view", "left", "False");
    MDIForm1 &w = load();
    for (int index = 1; index <= 21; ++index)
        EXPECT_TRUE(w.toolbarButton(index)->text().isEmpty()) << index;
    EXPECT_FALSE(menuChecked(w, "mnuLabels"));
    EXPECT_TRUE(w.findChild<QToolBar *>("Toolbar1")->isHidden());
    EXPECT_EQ(w.averagePlacement().text3, QPoint(6400, 0));
    EXPECT_EQ(w.averagePlacement().text4, QPoint(5680, 40));
    EXPECT_EQ(w.averagePlacement().upDown2, QPoint(6760, 0));
}

TEST_F(ShellTest, UnknownSizeOptionLeavesGeometryAtZero)
{
    store("options", "areaind", "2");
    load();
    EXPECT_EQ(state.imageSizeOption, 2);
    EXPECT_EQ(state.imageWidth, 0);
    EXPECT_EQ(state.imageHeight, 0);
    EXPECT_EQ(state.cropWidth, 0);
    EXPECT_EQ(state.cropHeight, 0);
    EXPECT_EQ(state.imageMaxSide, 0);
}

TEST_F(ShellTest, CardStartUpCallsTheLibraryInOrder)
{
    // An installation that has its capture settings files.
    const QString folder = QCoreApplication::applicationDirPath();
    for (const char *name : {"/capture.ini", "/captotal.ini"})
        ASSERT_TRUE(WriteCaptureIni(folder + name, 308, 331, 276, 87, 138, 276).ok());
    load(true);
    EXPECT_FALSE(state.noCard);
    EXPECT_EQ(card.calls, QStringList({"init", "defaultConfig", "readIniFile DEFAULT", "testSignal", "prepare(1)",
                                       "defaultPalette(0)", "snap"}));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(ShellTest, AFailingBringUpCallIsFatalWithItsTextAfterClosingTheCardDown)
{
    // The program ends inside the check; here the end unwinds to the test.
    struct Ended {
        int code;
    };
    const auto previous = setApplicationEndHandler([](int code) { throw Ended{code}; });
    const struct {
        const char *call;
        int code;
        const char *text;
    } cases[] = {{"testSignal", 11, "No video signal detected"},
                 {"prepare(1)", 18, "Lost contact with digitizer (no acknowledge)"}};
    for (const auto &c : cases) {
        card.calls.clear();
        card.results = {{c.call, c.code}};
        op.messages.clear();
        EXPECT_THROW(load(true), Ended) << c.call;
        ASSERT_GE(card.calls.size(), 2) << c.call;
        EXPECT_EQ(card.calls.mid(card.calls.size() - 2), QStringList({c.call, "closedown(1)"}));
        ASSERT_EQ(op.messages.size(), 1u) << c.call;
        EXPECT_EQ(op.messages[0].text, QChar(10) + QString::fromLatin1(c.text));
        EXPECT_EQ(op.messages[0].title, "Plus test");
    }
    // Starting the preview prepares the card through the same check.
    card.results.clear();
    load(true);
    card.results["prepare(1)"] = 18;
    card.calls.clear();
    EXPECT_THROW(window->cmdPrev_Click(), Ended);
    EXPECT_EQ(card.calls, QStringList({"readIniFile DEFAULT", "prepare(1)", "closedown(1)"}));
    setApplicationEndHandler(previous);
}

TEST_F(ShellTest, ACardThatCannotBeOpenedGivesTheCardMessageAndStartUpGoesOnWithoutIt)
{
    card.results["init"] = 2;
    load(true);
    EXPECT_TRUE(state.noCard);
    EXPECT_EQ(card.calls, QStringList({"init"}));
    EXPECT_EQ(op.beeps, 1);
    EXPECT_EQ(op.texts(), QStringList({"There is a problem with the ZUL card.  Close down Isostep, reinstall the ZUL "
                                       "card and try again."}));
    window->Form_Unload();
    EXPECT_EQ(card.calls, QStringList({"init"})); // nothing to close down
}

TEST_F(ShellTest, UnloadableCardLibraryGivesTheCardMessage)
{
    settings = std::make_unique<SettingsStore>();
    DynamicCardLibrary missing(QStringLiteral("/no/such/folder/libZUL_Tools_VB.so.1"));
    MDIForm1 w(state, op, *settings, missing, launcher);
    w.Form_Load(true);
    EXPECT_TRUE(state.noCard);
    EXPECT_EQ(op.beeps, 1);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text,
              "There is a problem with the ZUL card.  Close down Isostep, reinstall the ZUL card and try again.");
    EXPECT_EQ(op.messages[0].title, "Error");
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::Exclamation);
    // Everything before the bring-up has taken effect.
    EXPECT_EQ(state.cropWidth, 256);
}

TEST_F(ShellTest, ShutdownWithoutSaveOnExitStoresOnlyTheSizeOption)
{
    load();
    window->Form_Unload();
    QFile file(temp.configFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[options]\nareaind=0\n"));
}

TEST_F(ShellTest, ShutdownWithSaveOnExitStoresEveryOption)
{
    QTemporaryDir folder;
    store("options", "directory", folder.path());
    store("software", "sabeln", "sabeln -x");
    MDIForm1 &w = load();
    w.setCheckValue(OptionBox::SaveI46, 1);
    w.setCheckValue(OptionBox::SaveI6, 1);
    w.averageText1()->setText("3");
    w.mnuTop_Click();
    w.mnuSaveExit_Click();
    w.Form_Unload();

    SettingsStore after;
    EXPECT_EQ(after.text("software", "ondara", "absent"), "");
    EXPECT_EQ(after.text("software", "sabeln"), "sabeln -x");
    EXPECT_EQ(after.text("software", "moireprog", "absent"), "");
    EXPECT_EQ(after.text("options", "autoinc"), "0");
    EXPECT_EQ(after.text("options", "i4i6"), "1");
    EXPECT_EQ(after.text("options", "i4"), "0");
    EXPECT_EQ(after.text("options", "i6"), "1");
    EXPECT_EQ(after.text("options", "filter"), "0");
    EXPECT_EQ(after.text("options", "average"), "3");
    EXPECT_EQ(after.text("options", "directory"), QDir(folder.path()).canonicalPath());
    EXPECT_EQ(after.text("options", "areaind"), "0");
    EXPECT_EQ(after.text("view", "top"), "False");
    EXPECT_EQ(after.text("view", "left"), "True");
    EXPECT_EQ(after.text("view", "labels"), "True");
    EXPECT_FALSE(after.contains("options", "cor"));
}

TEST_F(ShellTest, ShutdownWithCardSavesDumpAndClosesDown)
{
    load(true);
    card.calls.clear();
    window->Form_Unload();
    EXPECT_EQ(card.calls, QStringList({"saveIniFile DEFAULT", "releasePalette", "closedown(1)"}));
}

TEST_F(ShellTest, StoredCutOffOutsideTheFilterRangeFallsBackToTheDefault)
{
    store("options", "cor", "25");
    load();
    EXPECT_DOUBLE_EQ(state.cutOffRatio, 0.25);
}

TEST_F(ShellTest, StoredAverageThatIsNoNumberCountsAsAbsent)
{
    for (const char *stored : {"lots", "", "40000"}) {
        store("options", "average", stored);
        op.messages.clear();
        op.beeps = 0;
        MDIForm1 &w = load();
        EXPECT_TRUE(op.messages.empty()) << stored;
        EXPECT_EQ(op.beeps, 0) << stored;
        EXPECT_EQ(w.averageText1()->text(), "1") << stored;
        EXPECT_EQ(w.averageText3()->text(), "1") << stored;
        EXPECT_EQ(state.averageCount, 1) << stored;
        // Saved on exit, the damaged value is replaced by the count in use.
        w.mnuSaveExit_Click();
        w.Form_Unload();
        EXPECT_EQ(SettingsStore().text("options", "average"), "1") << stored;
    }
}
