#include "shell/frm_about.h"

#include "platform/program_launcher.h"
#include "platform/settings_store.h"
#include "scripted_operator.h"
#include "temp_settings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

class FakeLauncher : public ProgramLauncher {
public:
    bool succeed = true;
    QStringList started;

    bool start(const QString &commandLine, QString *error) override
    {
        started << commandLine;
        if (!succeed && error)
            *error = QStringLiteral("refused");
        return succeed;
    }
};

// Puts one folder, and nothing else, on PATH for the life of a test.
class OnlyOnPath {
public:
    explicit OnlyOnPath(const QString &folder) : previous_(qgetenv("PATH")) { qputenv("PATH", folder.toLocal8Bit()); }
    ~OnlyOnPath() { qputenv("PATH", previous_); }

private:
    QByteArray previous_;
};

QString makeProgram(const QString &folder, const QString &name)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

const char kUnavailable[] = "System Information Is Unavailable At This Time";

} // namespace

TEST(FrmAbout, LoadSetsCaptionVersionAndTitle)
{
    ScriptedOperator op;
    FakeLauncher launcher;
    frmAbout form(op, launcher);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("About Isostep"));
    EXPECT_EQ(form.lblVersion->text(), QStringLiteral("Version " ISOSTEP_VERSION));
    EXPECT_EQ(form.lblTitle->text(), QStringLiteral("Isostep"));
    EXPECT_TRUE(form.lblDisclaimer->text().startsWith(QStringLiteral("Warning: ")));
    EXPECT_EQ(form.cmdOK->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.cmdSysInfo->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(form.cmdSysInfo->accessibleName(), QStringLiteral("System Info..."));
    EXPECT_EQ(form.lblVersion->accessibleName(), form.lblVersion->text());

    form.show();
    QTest::mouseClick(form.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(op.messages.empty());
}

TEST(FrmAbout, SysInfoLookupOrder)
{
    TempSettings settings;
    QTemporaryDir bin;
    // A folder with a space checks that the command line keeps the path whole.
    const QString folder = bin.filePath(QStringLiteral("system tools"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString monitor = makeProgram(folder, QStringLiteral("gnome-system-monitor"));
    OnlyOnPath path(folder);

    ScriptedOperator op;
    FakeLauncher launcher;
    frmAbout form(op, launcher);
    form.StartSysInfo();
    ASSERT_EQ(launcher.started.size(), 1);
    EXPECT_EQ(QProcess::splitCommand(launcher.started[0]), QStringList{monitor});

    // A dedicated information program goes before a task monitor.
    const QString hardinfo = makeProgram(folder, QStringLiteral("hardinfo"));
    form.StartSysInfo();
    ASSERT_EQ(launcher.started.size(), 2);
    EXPECT_EQ(QProcess::splitCommand(launcher.started[1]), QStringList{hardinfo});
    EXPECT_TRUE(op.messages.empty());

    // A stored value of blanks counts as none.
    SettingsStore().setText(QStringLiteral("software"), QStringLiteral("sysinfo"), QStringLiteral("  "));
    form.StartSysInfo();
    ASSERT_EQ(launcher.started.size(), 3);
    EXPECT_EQ(QProcess::splitCommand(launcher.started[2]), QStringList{hardinfo});

    // A stored program wins over everything on PATH.
    SettingsStore().setText(QStringLiteral("software"), QStringLiteral("sysinfo"), QStringLiteral("/opt/lab/sysinfo --all"));
    QTest::mouseClick(form.cmdSysInfo, Qt::LeftButton);
    ASSERT_EQ(launcher.started.size(), 4);
    EXPECT_EQ(launcher.started[3], QStringLiteral("/opt/lab/sysinfo --all"));
    EXPECT_TRUE(op.messages.empty());
}

TEST(FrmAbout, SysInfoUnavailable)
{
    TempSettings settings;
    QTemporaryDir empty;
    OnlyOnPath path(empty.path());
    ScriptedOperator op;
    FakeLauncher launcher;
    frmAbout form(op, launcher);

    form.StartSysInfo();
    EXPECT_TRUE(launcher.started.isEmpty());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_FALSE(op.messages[0].question);
    EXPECT_EQ(op.messages[0].text, QString::fromLatin1(kUnavailable));
    EXPECT_EQ(op.messages[0].title, QStringLiteral("Isostep"));
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::Ok);

    // A program that is found but will not start is unavailable too.
    SettingsStore().setText(QStringLiteral("software"), QStringLiteral("sysinfo"), QStringLiteral("/nowhere/sysinfo"));
    launcher.succeed = false;
    form.StartSysInfo();
    EXPECT_EQ(launcher.started, QStringList{QStringLiteral("/nowhere/sysinfo")});
    ASSERT_EQ(op.messages.size(), 2u);
    EXPECT_EQ(op.messages[1].text, QString::fromLatin1(kUnavailable));
}
