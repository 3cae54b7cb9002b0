#include "shell_fixture.h"

#include "platform/folder_list.h"
#include "platform/picture_box.h"
#include "platform/up_down.h"
#include "shell/area_selection.h"
#include "shell/frm_settings.h"

#include <QAction>
#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {
bool menuChecked(MDIForm1 &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name))->isChecked();
}

QRgb at(const PictureBox *picture, int x, int y)
{
    return picture->image().pixel(x, y) | 0xff000000;
}

// Every pixel of the legend that is neither background nor the given colours.
int pixelsOf(const PictureBox *picture, QRgb colour)
{
    int count = 0;
    const QImage &image = picture->image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) | 0xff000000) == colour;
    return count;
}

class SettingsDialogTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        store("options", "directory", folder.path());
    }

    frmSettings &open()
    {
        dialog = std::make_unique<frmSettings>(*window, *settings);
        return *dialog;
    }

    // Open and active, so that the focus moves as the operator moves it.
    frmSettings &shown()
    {
        frmSettings &d = open();
        d.show();
        QApplication::setActiveWindow(&d);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        return d;
    }

    static void retype(QLineEdit *box, const char *text)
    {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, QLatin1String(text));
        QCoreApplication::processEvents();
    }

    QString stored(const QString &section, const QString &key) { return SettingsStore().text(section, key, "<none>"); }

    void TearDown() override
    {
        dialog.reset();
        ShellTest::TearDown();
    }

    QTemporaryDir folder;
    std::unique_ptr<frmSettings> dialog;
};
} // namespace

TEST_F(SettingsDialogTest, OptionsMenuOpensOneModelessWindow)
{
    MDIForm1 &w = load();
    w.findChild<QAction *>("mnuSettings")->trigger();
    auto *settingsWindow = w.findChild<frmSettings *>();
    ASSERT_NE(settingsWindow, nullptr);
    EXPECT_EQ(settingsWindow->windowTitle(), "Settings");
    EXPECT_EQ(settingsWindow->size(), QSize(400, 400));
    EXPECT_FALSE(settingsWindow->isModal());
    EXPECT_TRUE(settingsWindow->isVisible());
    w.mnuSettings_Click();
    EXPECT_EQ(w.findChildren<frmSettings *>().size(), 1);

    // Every control can be told apart by a reader, and says what its tooltip says.
    for (QWidget *control : settingsWindow->findChildren<QWidget *>()) {
        if (control->objectName().isEmpty() || control->objectName().startsWith("qt_"))
            continue;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_EQ(control->accessibleDescription(), control->toolTip()) << control->objectName().toStdString();
    }
    settingsWindow->Command5->click();
    EXPECT_FALSE(settingsWindow->isVisible());
}

TEST_F(SettingsDialogTest, CaptionsOfEveryTabAndButton)
{
    load();
    frmSettings &d = open();
    ASSERT_EQ(d.TabStrip1->count(), 4);
    EXPECT_EQ(d.TabStrip1->tabText(0), "Ondara/Sabeln");
    EXPECT_EQ(d.TabStrip1->tabText(1), "View");
    EXPECT_EQ(d.TabStrip1->tabText(2), "Directory");
    EXPECT_EQ(d.TabStrip1->tabText(3), "Other");
    EXPECT_EQ(d.Frame[0]->title(), "Versions and Locations");
    EXPECT_EQ(d.Frame[1]->title(), "View");
    EXPECT_EQ(d.Frame[2]->title(), "Default Directory");
    EXPECT_EQ(d.Frame[3]->title(), "");
    EXPECT_EQ(d.SelectArea->title(), "Select Area");
    const std::pair<const char *, const char *> captions[] = {
        {"cmdChangeOnd", "Change"}, {"Check1", "Filt&er"}, {"Check2", "Sa&ve i4,i6"}, {"Check3", "A&utoInc."},
        {"Check4", "Top Toolbar"}, {"Check5", "Left Toolbar"}, {"Check6", "Button Labels"},
        {"Option2", "Current Settings"}, {"Option3", "Default Settings"}, {"Command4", "Set as Current"},
        {"Command3", "Save as Default"}, {"Command5", "Close"}, {"Option1_1", "256"}, {"Option1_2", "512"}};
    for (const auto &[name, caption] : captions)
        EXPECT_EQ(d.findChild<QAbstractButton *>(name)->text(), caption) << name;
    const std::pair<const char *, const char *> labels[] = {
        {"Label9", "Cut Off Ratio"}, {"Label12", "Ondara:"}, {"Label11", "Sabeln:"}, {"Label13", "Moire:"},
        {"Label7", "Average:"}, {"Label6", "Current Settings"}};
    for (const auto &[name, text] : labels)
        EXPECT_EQ(d.findChild<QLabel *>(name)->text(), text) << name;
    EXPECT_EQ(d.Check[1]->toolTip(), "Apply Butterworth filter");
    EXPECT_EQ(d.Check[2]->toolTip(), "Save the dark and light-field images as bitmap");
    EXPECT_EQ(d.Check[3]->toolTip(), "Automatically increment the file name");
    EXPECT_EQ(d.Text1->toolTip(), "Number of images to average over");
    EXPECT_EQ(d.UpDown1->toolTip(), "Change number of images to average over");

    // A tab click brings its own frame to the front.
    auto *frames = d.Frame[0]->parentWidget();
    auto *stack = qobject_cast<QStackedWidget *>(frames);
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->currentWidget(), d.Frame[0]);
    d.TabStrip1->setCurrentIndex(3);
    EXPECT_EQ(stack->currentWidget(), d.Frame[3]);
    d.TabStrip1->setCurrentIndex(2);
    EXPECT_EQ(stack->currentWidget(), d.Frame[2]);
}

TEST_F(SettingsDialogTest, OpeningShowsTheRunningApplication)
{
    store("options", "areaind", "1");
    store("view", "left", "False");
    MDIForm1 &w = load();
    state.ondaraPath = "/opt/ondara/ondara";
    state.sabelnPath = "/opt/sabeln/sabeln -q";
    state.moireProgPath = "moire";
    w.averageText1()->setText("7");
    w.setCheckValue(OptionBox::Filter, 1);
    w.setCheckValue(OptionBox::AutoInc, 1);
    state.cutOffRatio = 0.125;

    frmSettings &d = open();
    EXPECT_EQ(d.Label4->text(), "/opt/ondara/ondara");
    EXPECT_EQ(d.Label5->text(), "/opt/sabeln/sabeln -q");
    EXPECT_EQ(d.Label10->text(), "moire");
    EXPECT_EQ(d.Label8->text(), QDir::currentPath());
    EXPECT_EQ(d.Dir1->path(), QDir(folder.path()).canonicalPath());
    EXPECT_EQ(d.Text1->text(), "7");
    EXPECT_TRUE(d.Check[1]->isChecked());
    EXPECT_FALSE(d.Check[2]->isChecked());
    EXPECT_TRUE(d.Check[3]->isChecked());
    EXPECT_TRUE(d.Text2->isEnabled());
    EXPECT_TRUE(d.Option1[2]->isChecked());
    EXPECT_EQ(d.pendingSizeOption(), 1);
    EXPECT_TRUE(d.Check[4]->isChecked());
    EXPECT_FALSE(d.Check[5]->isChecked());
    EXPECT_TRUE(d.Check[6]->isChecked());
    EXPECT_EQ(d.Text2->text(), "0.125");
    EXPECT_EQ(d.pendingCutOff(), 0.125);
    // Loading counts as changing the boxes, so both buttons are on.
    EXPECT_TRUE(d.Command3->isEnabled());
    EXPECT_TRUE(d.Command4->isEnabled());

    // The legend: the green and blue outlines of both areas.
    const double s = frmSettings::kLegendScale;
    auto px = [s](int units) { return static_cast<int>(std::lround(units * s)); };
    EXPECT_EQ(at(d.Picture1, px(256), px(157)), area::kLegend256);
    EXPECT_EQ(at(d.Picture1, px(512), px(413)), area::kLegend256);
    EXPECT_EQ(at(d.Picture1, px(128), px(30)), area::kLegend512);
    EXPECT_EQ(at(d.Picture1, px(640), px(540)), area::kLegend512);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SettingsDialogTest, SetAsCurrentWithoutEditsChangesNothing)
{
    store("options", "areaind", "1");
    MDIForm1 &w = load();
    state.ondaraPath = "ondara";
    state.cutOffRatio = 0.3;
    w.setCheckValue(OptionBox::SaveI46, 1);
    w.mnuLabels_Click();
    const AppState before = state;
    const QString directory = QDir::currentPath();

    frmSettings &d = open();
    d.Command4->click();
    EXPECT_EQ(state.ondaraPath, "ondara");
    EXPECT_EQ(state.sabelnPath, before.sabelnPath);
    EXPECT_EQ(state.cutOffRatio, 0.3);
    EXPECT_EQ(state.averageCount, before.averageCount);
    EXPECT_EQ(state.imageSizeOption, 1);
    EXPECT_EQ(state.cropWidth, before.cropWidth);
    EXPECT_EQ(QDir::currentPath(), directory);
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 0);
    EXPECT_EQ(w.checkValue(OptionBox::SaveI46), 1);
    EXPECT_EQ(w.checkValue(OptionBox::AutoInc), 0);
    EXPECT_TRUE(menuChecked(w, "mnuTop"));
    EXPECT_TRUE(menuChecked(w, "mnuShowLeft"));
    EXPECT_FALSE(menuChecked(w, "mnuLabels"));
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SettingsDialogTest, SetAsCurrentAppliesEveryBoxAndTogglesOnlyDifferingMenus)
{
    MDIForm1 &w = load();
    QTemporaryDir other;
    frmSettings &d = open();
    d.Check[2]->setChecked(true);
    d.Check[1]->setChecked(true);
    d.Text2->setText("0.4");
    d.Check[4]->setChecked(false);
    d.Check[6]->setChecked(false);
    ASSERT_TRUE(d.Dir1->setPath(other.path()));
    EXPECT_EQ(d.Label8->text(), QDir(other.path()).canonicalPath());
    EXPECT_EQ(state.cutOffRatio, 0.25);

    d.Command4_Click();
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 1);
    EXPECT_EQ(w.checkValue(OptionBox::SaveI46), 1);
    EXPECT_TRUE(w.toolbarButton("filter")->isChecked());
    EXPECT_EQ(state.cutOffRatio, 0.4);
    EXPECT_EQ(QDir::currentPath(), QDir(other.path()).canonicalPath());
    EXPECT_FALSE(menuChecked(w, "mnuTop"));
    EXPECT_TRUE(menuChecked(w, "mnuShowLeft"));
    EXPECT_FALSE(menuChecked(w, "mnuLabels"));
    EXPECT_TRUE(w.toolbarButton(1)->text().isEmpty());

    // Applying again with the same boxes toggles nothing back.
    d.Command4_Click();
    EXPECT_FALSE(menuChecked(w, "mnuTop"));
    EXPECT_FALSE(menuChecked(w, "mnuLabels"));
}

TEST_F(SettingsDialogTest, SaveAsDefaultStoresTheOldCutOffUnlessSetAsCurrentCameFirst)
{
    MDIForm1 &w = load();
    state.ondaraPath = "ondara -x";
    state.sabelnPath = "";
    state.moireProgPath = "moire";
    frmSettings &d = open();
    d.Text2->setText("0.5");
    d.Text1->setText("12");
    d.Check[3]->setChecked(true);
    d.Check[5]->setChecked(false);
    d.Option1[2]->setChecked(true);
    d.Command3->click();

    EXPECT_EQ(stored("options", "cor"), "0.25");
    EXPECT_EQ(stored("software", "ondara"), "ondara -x");
    EXPECT_EQ(stored("software", "sabeln"), "");
    EXPECT_EQ(stored("software", "moireprog"), "moire");
    EXPECT_EQ(stored("options", "autoinc"), "1");
    EXPECT_EQ(stored("options", "i4i6"), "0");
    EXPECT_EQ(stored("options", "filter"), "0");
    EXPECT_EQ(stored("options", "average"), "12");
    EXPECT_EQ(stored("options", "directory"), QDir(folder.path()).canonicalPath());
    EXPECT_EQ(stored("options", "areaind"), "1");
    EXPECT_EQ(stored("view", "top"), "True");
    EXPECT_EQ(stored("view", "left"), "False");
    EXPECT_EQ(stored("view", "labels"), "True");
    // Saving applies nothing.
    EXPECT_EQ(state.cutOffRatio, 0.25);
    EXPECT_EQ(state.imageSizeOption, 0);
    EXPECT_TRUE(menuChecked(w, "mnuShowLeft"));

    d.Option1[1]->setChecked(true);
    d.Command4->click();
    d.Command3->click();
    EXPECT_EQ(stored("options", "cor"), "0.5");
    EXPECT_EQ(stored("options", "areaind"), "0");
}

TEST_F(SettingsDialogTest, DefaultSettingsOnAnEmptyStore)
{
    MDIForm1 &w = load();
    // Make the running application differ from every default first.
    state.ondaraPath = "ondara";
    w.setCheckValue(OptionBox::Filter, 1);
    w.setCheckValue(OptionBox::SaveI46, 1);
    w.mnuTop_Click();
    frmSettings &d = open();
    d.Option1[2]->setChecked(true);
    // The store is now emptied of the folder the fixture put there.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "flexi").clear();

    d.Option3->click();
    EXPECT_EQ(d.Label4->text(), "");
    EXPECT_EQ(d.Label5->text(), "");
    EXPECT_EQ(d.Label10->text(), "");
    EXPECT_EQ(d.Dir1->path(), QDir(QDir::homePath()).canonicalPath());
    EXPECT_EQ(d.Label8->text(), d.Dir1->path());
    EXPECT_EQ(d.Text1->text(), "1");
    for (int box = 1; box <= 3; ++box)
        EXPECT_FALSE(d.Check[box]->isChecked()) << box;
    for (int box = 4; box <= 6; ++box)
        EXPECT_TRUE(d.Check[box]->isChecked()) << box;
    EXPECT_TRUE(d.Option1[1]->isChecked());
    EXPECT_EQ(d.pendingSizeOption(), 0);
    EXPECT_FALSE(d.Command3->isEnabled());
    EXPECT_TRUE(d.Command4->isEnabled());
    // Nothing is applied until "Set as Current".
    EXPECT_EQ(state.ondaraPath, "ondara");
    EXPECT_FALSE(menuChecked(w, "mnuTop"));

    // "Current Settings" brings back the running values, except the folder.
    d.Option2->click();
    EXPECT_EQ(d.Label4->text(), "ondara");
    EXPECT_TRUE(d.Check[1]->isChecked());
    EXPECT_TRUE(d.Check[2]->isChecked());
    EXPECT_FALSE(d.Check[4]->isChecked());
    EXPECT_EQ(d.Label8->text(), QDir::currentPath());
    EXPECT_TRUE(d.Command3->isEnabled());
    EXPECT_FALSE(d.Command4->isEnabled());
}

TEST_F(SettingsDialogTest, DefaultSettingsReadTheStoredOptions)
{
    QTemporaryDir other;
    store("software", "ondara", "a");
    store("software", "sabeln", "b");
    store("software", "moireprog", "c");
    store("options", "average", "4");
    store("options", "filter", "1");
    store("options", "i4i6", "1");
    store("options", "autoinc", "1");
    store("options", "areaind", "1");
    store("view", "top", "False");
    load();
    store("options", "directory", other.path());
    frmSettings &d = open();
    d.Option3->click();
    EXPECT_EQ(d.Label4->text(), "a");
    EXPECT_EQ(d.Label5->text(), "b");
    EXPECT_EQ(d.Label10->text(), "c");
    EXPECT_EQ(d.Dir1->path(), QDir(other.path()).canonicalPath());
    EXPECT_EQ(d.Text1->text(), "4");
    EXPECT_TRUE(d.Check[1]->isChecked() && d.Check[2]->isChecked() && d.Check[3]->isChecked());
    EXPECT_FALSE(d.Check[4]->isChecked());
    EXPECT_TRUE(d.Option1[2]->isChecked());
    EXPECT_EQ(d.pendingSizeOption(), 1);
}

TEST_F(SettingsDialogTest, FilterBoxEnablesTheCutOffBox)
{
    load();
    frmSettings &d = open();
    EXPECT_FALSE(d.Text2->isEnabled());
    d.Check[1]->click();
    EXPECT_TRUE(d.Text2->isEnabled());
    d.Check[1]->click();
    EXPECT_FALSE(d.Text2->isEnabled());
    d.Check[1]->click();
    EXPECT_TRUE(d.Text2->isEnabled());
}

TEST_F(SettingsDialogTest, NumberBoxesAreJudgedWhenUsedNeverWhileTyped)
{
    MDIForm1 &w = load();
    frmSettings &d = shown();
    d.TabStrip1->setCurrentIndex(3);
    d.Check[1]->setChecked(true);

    // Typing 0.3 passes through "0" (out of range) and "0." without a word.
    retype(d.Text2, "0.3");
    EXPECT_EQ(d.Text2->text(), "0.3");
    EXPECT_EQ(d.pendingCutOff(), 0.3);
    for (const char *half : {"", "-", ".", "0.", "25", "0.x"}) {
        retype(d.Text2, half);
        EXPECT_EQ(d.pendingCutOff(), 0.3) << half;
    }
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(op.beeps, 0);
    EXPECT_EQ(d.Text2->toolTip(), "You must enter a valid number");

    // "Set as Current" says why once (leaving the box for it says nothing)
    // and keeps the ratio in use.
    retype(d.Text2, "25");
    EXPECT_EQ(d.Text2->accessibleDescription(), "The cut-off ratio must lie between 0 and 1, for example 0.25.");
    QTest::mouseClick(d.Command4, Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(op.texts(), QStringList({"The cut-off ratio must lie between 0 and 1, for example 0.25."}));
    EXPECT_EQ(op.messages[0].title, "Isostep");
    EXPECT_EQ(op.beeps, 1);
    EXPECT_EQ(state.cutOffRatio, 0.25);

    // Leaving it for any other control says why as well.
    d.Text2->setFocus(Qt::MouseFocusReason);
    d.Text1->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(op.messages.size(), 2u);

    retype(d.Text2, "0.35");
    EXPECT_EQ(d.Text2->toolTip(), "");
    d.Command4->click();
    EXPECT_EQ(state.cutOffRatio, 0.35);

    // The average takes each good count at once; a refused one is told
    // when used and neither applied nor stored.
    retype(d.Text1, "12");
    EXPECT_EQ(state.averageCount, 12);
    retype(d.Text1, "");
    d.Check[3]->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(op.messages.size(), 3u);
    d.Command3->click();
    EXPECT_EQ(op.messages.size(), 4u);
    EXPECT_EQ(op.messages[3].text, "You must enter a valid number");
    EXPECT_EQ(stored("options", "average"), "<none>");
    EXPECT_EQ(stored("options", "filter"), "1");
    EXPECT_EQ(state.averageCount, 12);
    EXPECT_EQ(w.averageText1()->text(), "1");
    d.Command4->click();
    EXPECT_EQ(op.messages.size(), 5u);
    EXPECT_EQ(w.averageText1()->text(), "12");
}

TEST_F(SettingsDialogTest, AverageSetAsCurrentAndSavedSurvivesTheNextSaveOnExit)
{
    MDIForm1 &w = load();
    frmSettings &d = open();
    d.Text1->setText("4");
    d.Command4->click();
    EXPECT_EQ(w.averageText1()->text(), "4");
    EXPECT_EQ(w.averageText3()->text(), "4");
    d.Command3->click();
    EXPECT_EQ(stored("options", "average"), "4");
    w.mnuSaveExit_Click();
    w.averageText1()->setText(""); // half-typed at exit
    w.Form_Unload();
    EXPECT_EQ(stored("options", "average"), "4");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SettingsDialogTest, PathLabelsTellReadersTheirPaths)
{
    MDIForm1 &w = load();
    w.state().ondaraPath = "/opt/ondara/bin/ondara -w";
    frmSettings &d = open();
    EXPECT_EQ(d.Label4->accessibleName(), "Ondara command line");
    EXPECT_EQ(d.Label4->accessibleDescription(), "/opt/ondara/bin/ondara -w");
    EXPECT_EQ(d.Label4->toolTip(), "/opt/ondara/bin/ondara -w");
    EXPECT_EQ(d.Label8->accessibleDescription(), QDir(folder.path()).canonicalPath());
    op.files = {"/usr/bin/sabeln"};
    d.cmdChangeSab->click();
    EXPECT_EQ(d.Label5->accessibleDescription(), "/usr/bin/sabeln");
    QTemporaryDir other;
    d.Dir1->setPath(other.path());
    EXPECT_EQ(d.Label8->accessibleDescription(), QDir(other.path()).canonicalPath());
}

TEST_F(SettingsDialogTest, FileDialogsStartInTheWorkingFolderOrWhereTheirLastFileWasChosen)
{
    MDIForm1 &w = load();
    QTemporaryDir work, pictures, elsewhere;
    const QString workPath = QDir(work.path()).canonicalPath();
    frmSettings &d = open();
    d.Dir1->setPath(work.path());
    d.Command4->click();

    op.files = {QDir(elsewhere.path()).filePath("run.six"), QString()};
    w.cmdFile_Click();
    w.cmdRef_Click(); // cancelled at the first image
    op.files = {QString(), QString()};
    w.cmdFile_Click();
    w.cmdTrans_Click();
    d.cmdChangeOnd->click();
    ASSERT_EQ(op.dialogs.size(), 5u);
    EXPECT_EQ(op.dialogs[0].record.initialFolder, workPath);
    EXPECT_EQ(op.dialogs[1].record.initialFolder, workPath);
    EXPECT_EQ(op.dialogs[1].record.title, "Choose file for image 1");
    EXPECT_EQ(op.dialogs[2].record.initialFolder, elsewhere.path());
    EXPECT_EQ(op.dialogs[3].record.initialFolder, workPath);
    EXPECT_EQ(op.dialogs[4].record.initialFolder, workPath);

    // A working folder changed since outranks the last choice.
    QTemporaryDir next;
    d.Dir1->setPath(next.path());
    d.Command4->click();
    op.files = {QString()};
    w.cmdFile_Click();
    EXPECT_EQ(op.dialogs.back().record.initialFolder, QDir(next.path()).canonicalPath());
}

TEST_F(SettingsDialogTest, ChangeButtonsTakeEffectAtOnce)
{
    MDIForm1 &w = load();
    frmSettings &d = open();
    op.files = {"/opt/ondara/bin/ondara", "/opt/my tools/sabeln", QString()};
    d.cmdChangeOnd->click();
    EXPECT_EQ(state.ondaraPath, "/opt/ondara/bin/ondara");
    EXPECT_EQ(d.Label4->text(), "/opt/ondara/bin/ondara");
    ASSERT_EQ(op.dialogs.size(), 1u);
    EXPECT_FALSE(op.dialogs[0].save);
    EXPECT_EQ(op.dialogs[0].record.title, "Choose file name");
    ASSERT_EQ(op.dialogs[0].record.filters.size(), 2);
    EXPECT_EQ(op.dialogs[0].record.filters[0], qMakePair(QString("Program files"), QString()));
    EXPECT_EQ(op.dialogs[0].record.filters[1], qMakePair(QString("All files"), QString("*")));
    EXPECT_TRUE(op.dialogs[0].record.defaultExtension.isEmpty());

    // A folder name with a blank would split the command line.
    d.cmdChangeSab->click();
    EXPECT_EQ(state.sabelnPath, "\"/opt/my tools/sabeln\"");
    EXPECT_EQ(d.Label5->text(), state.sabelnPath);

    state.moireProgPath = "moire";
    d.Label10->setText("edited");
    d.cmdChangeMoire->click(); // cancelled
    EXPECT_EQ(state.moireProgPath, "moire");
    EXPECT_EQ(d.Label10->text(), "moire");

    d.Command5->click();
    w.cmdOndara_Click();
    ASSERT_EQ(launcher.started.size(), 1);
    EXPECT_EQ(launcher.started[0], "/opt/ondara/bin/ondara");
}

TEST_F(SettingsDialogTest, AreaChosenHereIsAppliedWithItsCaptureWindow)
{
    MDIForm1 &w = load();
    QTemporaryDir out;
    state.captureIniPath = out.filePath("capture.ini");
    frmSettings &d = open();
    d.TabStrip1->setCurrentIndex(3);
    d.Option1[2]->click();
    EXPECT_EQ(d.pendingSizeOption(), 1);
    // Only the red outline of the chosen area, 512 units high, is left.
    EXPECT_EQ(pixelsOf(d.Picture1, area::kLegend256), 0);
    EXPECT_EQ(pixelsOf(d.Picture1, area::kLegend512), 0);
    EXPECT_GT(pixelsOf(d.Picture1, area::kSelected), 0);
    auto px = [](int units) { return static_cast<int>(std::lround(units * frmSettings::kLegendScale)); };
    EXPECT_EQ(at(d.Picture1, px(384), px(542)), area::kSelected);
    EXPECT_EQ(at(d.Picture1, px(128), px(30)), area::kSelected);
    EXPECT_FALSE(QFile::exists(state.captureIniPath));
    EXPECT_EQ(state.imageSizeOption, 0);

    d.Command4->click();
    EXPECT_EQ(state.imageSizeOption, 1);
    EXPECT_EQ(state.cropWidth, 512);
    EXPECT_EQ(state.imageMaxSide, 512);
    EXPECT_EQ(w.workPicture(WorkPicture::Composite).size(), QSize(1028, 516));
    QFile file(state.captureIniPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("xOffsetPAL=140\r\nxActivePAL=638\r\nxPixelsPAL=532\r\n"));

    // A file that cannot be written leaves the size as it was and says why.
    state.captureIniPath = "/no/such/folder/capture.ini";
    d.Option1[1]->click();
    d.Command4->click();
    EXPECT_EQ(state.imageSizeOption, 1);
    EXPECT_EQ(state.cropWidth, 512);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_TRUE(op.messages[0].text.startsWith("The capture area could not be changed.  Could not write "));
}

TEST_F(SettingsDialogTest, SavedDefaultsComeBackAfterARestart)
{
    QTemporaryDir other;
    MDIForm1 &w = load();
    op.files = {"/usr/bin/ondara"};
    frmSettings &d = open();
    d.cmdChangeOnd->click();
    d.Check[1]->setChecked(true);
    d.Check[2]->setChecked(true);
    d.Text1->setText("5");
    d.Text2->setText("0.4");
    d.Check[5]->setChecked(false);
    d.Check[6]->setChecked(false);
    d.Dir1->setPath(other.path());
    d.Command4->click();
    d.Command3->click();
    d.Command5->click();
    w.Form_Unload();
    dialog.reset();
    window.reset();

    state = AppState();
    MDIForm1 &again = load();
    EXPECT_EQ(state.ondaraPath, "/usr/bin/ondara");
    EXPECT_EQ(again.checkValue(OptionBox::Filter), 1);
    EXPECT_EQ(again.checkValue(OptionBox::SaveI46), 1);
    EXPECT_EQ(again.averageText1()->text(), "5");
    EXPECT_EQ(state.cutOffRatio, 0.4);
    EXPECT_EQ(QDir::currentPath(), QDir(other.path()).canonicalPath());
    EXPECT_TRUE(menuChecked(again, "mnuTop"));
    EXPECT_FALSE(menuChecked(again, "mnuShowLeft"));
    EXPECT_FALSE(menuChecked(again, "mnuLabels"));
}
