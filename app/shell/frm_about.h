#pragma once

#include <QDialog>
#include <QString>

class Operator;
class ProgramLauncher;
class QLabel;
class QPushButton;
class SettingsStore;

// The About window: title, version, what the program is for, and a way to
// the machine's system-information program.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(Operator &op, ProgramLauncher &launcher, QWidget *parent = nullptr);

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

    // The command line of the system-information program: the one stored
    // under "software"/"sysinfo" when set, else the first well-known program
    // found on PATH. Empty when there is none.
    static QString findSysInfoProgram(const SettingsStore &settings);

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

private:
    void Form_Load();

    Operator &operator_;
    ProgramLauncher &launcher_;
};
