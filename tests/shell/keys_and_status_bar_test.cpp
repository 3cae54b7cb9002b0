#include "shell_fixture.h"

#include "platform/status_bar_panel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

namespace {
class ShownShellTest : public ShellTest {
protected:
    MDIForm1 &show(QSize size)
    {
        MDIForm1 &w = window ? *window : load();
        w.resize(size);
        w.show();
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        QCoreApplication::processEvents();
        return w;
    }

    StatusBarPanel *panel(int number) const
    {
        return window->findChild<StatusBarPanel *>(QStringLiteral("StatusPanel%1").arg(number));
    }

    static QString readerName(QWidget *widget)
    {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    }
};
} // namespace

TEST_F(ShownShellTest, StatusPanelsNeverOverlapAndLongNamesElideInTheMiddle)
{
    const QString longName = "/home/operator/measurements/2026/december/disc_under_load/run_01.six";
    const QString longAlignment = "/home/operator/measurements/2026/december/alignment/bench_a.ali";
    for (const QSize size : {QSize(1100, 760), QSize(1024, 768)}) {
        MDIForm1 &w = show(size);
        w.setStatusPanel(StatusPanel::FileName, longName);
        w.setStatusPanel(StatusPanel::Status, "Saving Image");
        w.setStatusPanel(StatusPanel::AlignmentSource, longAlignment);
        QCoreApplication::processEvents();
        EXPECT_LE(w.minimumSizeHint().width(), 1024);

        const int barWidth = w.statusBar()->width();
        int right = 0;
        for (int number = 1; number <= 9; ++number) {
            StatusBarPanel *p = panel(number);
            ASSERT_TRUE(p->isVisible()) << number;
            const QRect at(p->mapTo(w.statusBar(), QPoint(0, 0)), p->size());
            EXPECT_GE(at.left(), right) << "panel " << number << " at width " << size.width();
            EXPECT_LE(at.right(), barWidth - 1) << number;
            right = at.right() + 1;
            if (number != 2 && number != 7) {
                EXPECT_EQ(p->shownText(), p->text()) << number;
                EXPECT_GE(p->width(), p->minimumSizeHint().width()) << number;
            }
        }
        for (const auto &[number, whole] : {std::pair{2, longName}, std::pair{7, longAlignment}}) {
            StatusBarPanel *p = panel(number);
            EXPECT_TRUE(p->shownText().contains(QChar(0x2026))) << number;
            EXPECT_TRUE(p->shownText().startsWith("/home/")) << p->shownText().toStdString();
            EXPECT_TRUE(p->shownText().endsWith(whole.right(6))) << p->shownText().toStdString();
            EXPECT_LE(p->fontMetrics().horizontalAdvance(p->shownText()), p->contentsRect().width());
            EXPECT_EQ(p->toolTip(), whole);
            EXPECT_EQ(p->text(), whole);
        }
        EXPECT_EQ(w.statusPanel(StatusPanel::FileName), longName);

        // Nor is the left panel squeezed below its own height, where its
        // controls would run into one another.
        QWidget *left = w.findChild<QPushButton *>("cmdFile")->parentWidget();
        EXPECT_TRUE(left->isVisible());
        EXPECT_GE(left->height(), left->minimumSizeHint().height()) << size.height();
    }

    // With room to spare the panels keep their design widths.
    MDIForm1 &wide = show(QSize(1600, 760));
    EXPECT_EQ(panel(2)->width(), 212);
    EXPECT_EQ(panel(9)->width(), 169);
    wide.hide();
}

TEST_F(ShownShellTest, ScreenReadersHearPanelTextsAndTellTheAverageBoxesApart)
{
    MDIForm1 &w = load();
    EXPECT_EQ(readerName(panel(1)), "Filename");
    EXPECT_EQ(readerName(panel(2)), "CHOOSE FILE NAME");
    EXPECT_EQ(readerName(panel(5)), "status panel 5");
    EXPECT_EQ(readerName(panel(7)), "Default");
    w.setStatusPanel(StatusPanel::Status, "Filtering");
    w.setStatusPanel(StatusPanel::FileName, "/data/run.six");
    EXPECT_EQ(readerName(panel(4)), "Filtering");
    EXPECT_EQ(readerName(panel(2)), "/data/run.six");
    EXPECT_EQ(panel(2)->accessibleDescription(), "/data/run.six");
    EXPECT_EQ(readerName(w.averageText1()), "Average (panel)");
    EXPECT_EQ(readerName(w.averageText3()), "Average (toolbar)");
}

TEST_F(ShownShellTest, EveryMenuOpensWithItsAltKeyAndNoTwoControlsShareAKey)
{
    MDIForm1 &w = show(QSize(1100, 760));
    const std::pair<Qt::Key, const char *> menus[] = {
        {Qt::Key_F, "mnuFile"},       {Qt::Key_V, "mnuView"},     {Qt::Key_D, "mnuData"}, {Qt::Key_A, "mnuAlignment"},
        {Qt::Key_O, "mnuOptions"},    {Qt::Key_W, "mnuWindow"},   {Qt::Key_H, "mnuHelp"}};
    for (const auto &[key, name] : menus) {
        auto *menu = w.findChild<QMenu *>(QLatin1String(name));
        QTest::keyClick(&w, key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 1000)) << name;
        // Escape closes the menu and then leaves the menu bar.
        QTest::keyClick(menu, Qt::Key_Escape);
        QTest::keyClick(w.menuBar(), Qt::Key_Escape);
        // The offscreen platform leaves a closed popup active.
        QApplication::setActiveWindow(&w);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    }

    // The box that gave up Alt+V still answers its own key.
    QTest::keyClick(&w, Qt::Key_I, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&w] { return w.checkValue(OptionBox::SaveI46) == 1; }, 1000));
    EXPECT_EQ(w.checkValue(OptionBox::Filter), 0);

    QHash<QKeySequence, QString> owners;
    auto claim = [&owners](const QString &text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
            return;
        EXPECT_FALSE(owners.contains(key)) << text.toStdString() << " and " << owners.value(key).toStdString();
        owners.insert(key, text);
    };
    for (QAction *menu : w.menuBar()->actions())
        claim(menu->text());
    for (QAbstractButton *button : w.findChildren<QAbstractButton *>())
        if (button->window() == &w)
            claim(button->text());
    for (QLabel *label : w.findChildren<QLabel *>())
        if (label->buddy())
            claim(label->text());
    EXPECT_EQ(owners.size(), 19); // seven menus, nine buttons, three boxes
    w.hide();
}
