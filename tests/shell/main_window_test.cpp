#include "shell_fixture.h"

#include "workbench/frm_img.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace {
bool menuChecked(MDIForm1 &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name))->isChecked();
}
} // namespace

TEST_F(ShellTest, AverageBoxesRoundHalfToEvenAndRefuseBadTextWhenLeft)
{
    MDIForm1 &w = load();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QLineEdit *text1 = w.averageText1();
    QLineEdit *text3 = w.averageText3();
    auto retype = [](QLineEdit *box, const char *text) {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QLatin1String(text));
        QCoreApplication::processEvents();
    };

    retype(text1, "3.5");
    EXPECT_EQ(state.averageCount, 4);
    EXPECT_EQ(text3->text(), "4");
    retype(text3, "2.5");
    EXPECT_EQ(state.averageCount, 2);
    EXPECT_EQ(text1->text(), "2");

    // Half-typed or bad text is marked, never interrupted, and changes nothing.
    retype(text1, "-");
    retype(text1, "");
    EXPECT_EQ(state.averageCount, 2);
    EXPECT_EQ(text3->text(), "2.5");
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(op.beeps, 0);
    EXPECT_EQ(text1->toolTip(), "You must enter a valid number");
    EXPECT_EQ(text1->accessibleDescription(), "You must enter a valid number");
    const QImage marked = text1->grab().toImage();
    const QRgb frame = marked.pixel(0, marked.height() / 2);
    EXPECT_GT(qRed(frame), 200);
    EXPECT_LT(qGreen(frame), 60);

    // Leaving the box says why, once.
    text3->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(op.beeps, 1);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "You must enter a valid number");
    EXPECT_EQ(op.messages[0].title, "Isostep");

    // A good count in the other box clears the mark.
    retype(text3, "6");
    EXPECT_EQ(text1->text(), "6");
    EXPECT_EQ(text1->toolTip(), "Number of images to average over");
    text3->selectAll();
    text3->insert("40000"); // pasted
    QTest::keyClick(text3, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(state.averageCount, 6);
    EXPECT_EQ(op.messages.size(), 2u);
    w.hide();
}

TEST_F(ShellTest, ToolbarKeysAreCaseSensitive)
{
    MDIForm1 &w = load();
    w.Toolbar3_ButtonClick("Filter");
    w.Toolbar3_ButtonClick("File");
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 0);
    EXPECT_TRUE(op.dialogs.empty());
    w.Toolbar3_ButtonClick("file");
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file name");
}

TEST_F(ShellTest, FilterButtonPressedTwiceReturnsToFirstState)
{
    MDIForm1 &w = load();
    QAction *button = w.toolbarButton("filter");
    button->trigger();
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 1);
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(menuChecked(w, "mnuFilter"));
    button->trigger();
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 0);
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(menuChecked(w, "mnuFilter"));

    // The menu item inverts the same box and keeps its mark in step.
    w.findChild<QAction *>("mnuAuto")->trigger();
    EXPECT_EQ(w.checkValue(OptionBox::AutoInc), 1);
    EXPECT_TRUE(menuChecked(w, "mnuAuto"));
    EXPECT_TRUE(w.toolbarButton("auto")->isChecked());
}

TEST_F(ShellTest, LabelsOffAndOnAgain)
{
    MDIForm1 &w = load();
    EXPECT_EQ(w.toolbarButton(8)->text(), QString::fromUtf8("Moiré"));
    w.mnuLabels_Click();
    EXPECT_FALSE(menuChecked(w, "mnuLabels"));
    EXPECT_TRUE(w.toolbarButton(1)->text().isEmpty());
    EXPECT_EQ(w.averagePlacement().text3, QPoint(6740, 0));
    EXPECT_EQ(w.averagePlacement().text4, QPoint(6020, 40));
    EXPECT_EQ(w.averagePlacement().upDown2, QPoint(7100, 0));
    w.mnuLabels_Click();
    EXPECT_TRUE(menuChecked(w, "mnuLabels"));
    EXPECT_EQ(w.toolbarButton(8)->text(), "Moire");
    EXPECT_EQ(w.toolbarButton(21)->text(), "M P");
    EXPECT_EQ(w.averagePlacement().text3, QPoint(9480, 120));
}

TEST_F(ShellTest, ToolbarVisibilityTogglesWithItsMark)
{
    MDIForm1 &w = load();
    w.findChild<QAction *>("mnuShowLeft")->trigger();
    EXPECT_FALSE(menuChecked(w, "mnuShowLeft"));
    EXPECT_TRUE(w.findChild<QToolBar *>("Toolbar1")->isHidden());
    w.findChild<QAction *>("mnuShowLeft")->trigger();
    EXPECT_TRUE(menuChecked(w, "mnuShowLeft"));
    EXPECT_FALSE(w.findChild<QToolBar *>("Toolbar1")->isHidden());
}

TEST_F(ShellTest, ClearCreatesTheSixImageWindowsHidden)
{
    MDIForm1 &w = load();
    EXPECT_FALSE(w.imageFormExists(1));
    w.findChild<QAction *>("mnuWindowClose")->trigger();
    for (int i = 1; i <= 6; ++i) {
        ASSERT_TRUE(w.imageFormExists(i));
        EXPECT_TRUE(w.imageForm(i)->isHidden());
        EXPECT_EQ(w.imageForm(i)->windowTitle(), "Form2");
    }
    EXPECT_EQ(w.mdiArea()->subWindowList().size(), 6);
}

TEST_F(ShellTest, UseDefaultSetsOriginsTwelve)
{
    MDIForm1 &w = load();
    w.setStatusPanel(StatusPanel::AlignmentSource, "run.sal");
    w.findChild<QAction *>("mnuDefault")->trigger();
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(state.alignX[i], 12);
        EXPECT_EQ(state.alignY[i], 12);
    }
    EXPECT_EQ(w.statusPanel(StatusPanel::AlignmentSource), "Default");
}

TEST_F(ShellTest, ExternalProgramsStartOrSayWhyNot)
{
    store("software", "ondara", "/opt/ondara/bin/ondara -w");
    store("software", "sabeln", "sabeln");
    MDIForm1 &w = load();
    w.Toolbar3_ButtonClick("od");
    EXPECT_EQ(launcher.started, QStringList({"/opt/ondara/bin/ondara -w"}));
    EXPECT_TRUE(op.messages.empty());

    w.cmdMoireProg_Click();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "No command line is set for the moire program.  Set it under Options, Settings...");

    launcher.succeed = false;
    w.cmdSabeln_Click();
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[1].text, "Sabeln could not be started from \"sabeln\": no such program");
}

TEST_F(ShellTest, MenuCaptionsAreExact)
{
    MDIForm1 &w = load();
    const std::pair<const char *, const char *> items[] = {
        {"mnuSetFile", "&Set Filename..."}, {"mnu46", "Save i4 and i6"}, {"mnuAuto", "&AutoInc"},
        {"mnuExit", "E&xit"}, {"mnuTop", "Top Toolbar"}, {"mnuShowLeft", "Left Toolbar"},
        {"mnuLabels", "Button Labels"}, {"mnuRefl", "Reflection"}, {"mnuTrans", "Transmission"},
        {"mnuMoire", "Moire"}, {"mnuDefault", "Use Defualt"}, {"mnuSetAli", "Set..."}, {"mnuFilter", "Filter"},
        {"mnuSettings", "&Settings..."}, {"mnuSaveExit", "Save Settings on E&xit"},
        {"mnuWindowClose", "Close All Windows"}, {"mnuWhatsNew", "What's &New"}, {"mnuAbout", "About"}};
    for (const auto &[name, caption] : items) {
        QAction *action = w.findChild<QAction *>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->text(), QLatin1String(caption)) << name;
    }
    QStringList menus;
    for (QAction *menu : w.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({" &File", "&View", "Aquire &Data", "&Alignment", "&Options", "&Window", "&Help"}));
    EXPECT_FALSE(menuChecked(w, "mnuSaveExit"));
}

TEST_F(ShellTest, HelpMenuOpensAboutAndWhatsNew)
{
    MDIForm1 &w = load();
    w.findChild<QAction *>("mnuAbout")->trigger();
    w.findChild<QAction *>("mnuWhatsNew")->trigger();
    QStringList titles;
    for (QWidget *child : w.findChildren<QWidget *>())
        if (child->isWindow() && child != &w && child->isVisible())
            titles << child->windowTitle();
    titles.sort();
    EXPECT_EQ(titles, QStringList({"About Isostep", "What's New..."}));
}

TEST_F(ShellTest, EveryWindowCommandShowsTheWindowAlreadyOpen)
{
    MDIForm1 &w = load();
    struct Command {
        const char *title;
        void (MDIForm1::*run)();
    };
    const Command commands[] = {
        {"Align", &MDIForm1::cmdAlign_Click},         {"Background", &MDIForm1::cmdBack_Click},
        {"Select Area", &MDIForm1::cmdArea_Click},    {"Settings", &MDIForm1::mnuSettings_Click},
        {"About Isostep", &MDIForm1::mnuAbout_Click}, {"What's New...", &MDIForm1::mnuWhatsNew_Click}};
    auto windowsTitled = [&w](const QString &title) {
        QList<QWidget *> found;
        for (QWidget *child : w.findChildren<QWidget *>())
            if (child->isWindow() && child->isVisible() && child->windowTitle() == title)
                found << child;
        return found;
    };
    for (const Command &command : commands) {
        (w.*command.run)();
        const QList<QWidget *> first = windowsTitled(QLatin1String(command.title));
        ASSERT_EQ(first.size(), 1) << command.title;
        (w.*command.run)();
        EXPECT_EQ(windowsTitled(QLatin1String(command.title)), first) << command.title;

        // Once closed, the command loads a new one.
        first[0]->close();
        (w.*command.run)();
        const QList<QWidget *> again = windowsTitled(QLatin1String(command.title));
        ASSERT_EQ(again.size(), 1) << command.title;
        EXPECT_NE(again[0], first[0]) << command.title;
    }
}
