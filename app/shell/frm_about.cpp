#include "frm_about.h"

#include "app_info.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/program_launcher.h"
#include "platform/settings_store.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Dedicated system-information programs first; the desktops' task monitors
// still show processor, memory and load when nothing better is installed.
constexpr const char *kSysInfoPrograms[] = {
    "hardinfo", "hardinfo2", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager",
};

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

// Labels are read aloud by their text, which the load handler changes.
void nameByText(QLabel *label)
{
    label->setAccessibleName(label->text());
    label->setAccessibleDescription(label->toolTip());
}

} // namespace

frmAbout::frmAbout(Operator &op, ProgramLauncher &launcher, QWidget *parent)
    : QDialog(parent), operator_(op), launcher_(launcher)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About MyApp"));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFixedSize(32, 32);
    picIcon->setAccessibleName(QStringLiteral("Application icon"));
    picIcon->setAccessibleDescription(picIcon->toolTip());
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    picIcon->setPixmap(icon.pixmap(32, 32));

    lblTitle = makeLabel(QStringLiteral("lblTitle"), QStringLiteral("Application Title"), this);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblVersion = makeLabel(QStringLiteral("lblVersion"), QStringLiteral("Version"), this);
    lblDescription = makeLabel(
        QStringLiteral("lblDescription"),
        QStringLiteral("Isostep takes the six phase-stepped images of a specimen in the polariscope, "
                       "in reflection or in transmission, aligns them by marker points, masks the "
                       "background, and packs them into one \".six\" file for the fringe analysis "
                       "programs, with dark-field and light-field pictures beside it."),
        this);
    lblDisclaimer = makeLabel(
        QStringLiteral("lblDisclaimer"),
        QStringLiteral("Warning: Isostep is a measuring aid, provided without warranty of any kind. "
                       "Check its results against a calibrated specimen before you base a design or "
                       "safety decision on them."),
        this);

    cmdOK = makeButton(QStringLiteral("cmdOK"), QStringLiteral("OK"), QString(), this);
    cmdOK->setDefault(true);
    cmdSysInfo = makeButton(QStringLiteral("cmdSysInfo"), QStringLiteral("&System Info..."), QString(), this);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addWidget(lblDescription);
    auto *top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);
    resize(420, 280);

    Form_Load();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + applicationTitle());
    setAccessibleName(windowTitle());
    lblVersion->setText(applicationVersionText());
    lblTitle->setText(applicationTitle());
    for (QLabel *label : {lblTitle, lblVersion, lblDescription, lblDisclaimer})
        nameByText(label);
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

QString frmAbout::findSysInfoProgram(const SettingsStore &settings)
{
    const QString stored = settings.text(QStringLiteral("software"), QStringLiteral("sysinfo")).trimmed();
    if (!stored.isEmpty())
        return stored;
    for (const char *name : kSysInfoPrograms) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) {
            // The launcher splits its command line, so a folder with spaces
            // must stay one word; a literal quote is written three times.
            return QLatin1Char('"') + QString(path).replace(QLatin1String("\""), QLatin1String("\"\"\""))
                   + QLatin1Char('"');
        }
    }
    return QString();
}

void frmAbout::StartSysInfo()
{
    const QString commandLine = findSysInfoProgram(SettingsStore());
    QString reason;
    if (commandLine.isEmpty() || !launcher_.start(commandLine, &reason)) {
        operator_.tell(QStringLiteral("System Information Is Unavailable At This Time"), applicationTitle(),
                       Operator::Icon::None);
    }
}
