#include "cli/compose_command.h"
#include "cli/mask_command.h"
#include "cli/split_command.h"
#include "platform/card_library.h"
#include "platform/program_launcher.h"
#include "platform/qt_operator.h"
#include "platform/settings_store.h"
#include "shell/app_state.h"
#include "shell/frm_splash.h"
#include "shell/mdi_form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTextStream>

namespace {
int runDesktop(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Isostep"));
    QApplication::setApplicationVersion(QStringLiteral(ISOSTEP_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Isostep: six-step photoelastic image composition.\n"
        "Without a command it opens the workstation window. Batch commands (no display needed):\n"
        "  isostepbmp compose --help\n"
        "  isostepbmp split --help"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption card(QStringLiteral("card"),
                                  QStringLiteral("Bring up the capture card at start-up (ZUL_DRIVER=virtual selects the virtual card)."));
    parser.addOption(card);
    parser.process(app);

    AppState state;
    QtOperator op;
    SettingsStore settings;
    DynamicCardLibrary library;
    DetachedProcessLauncher launcher;
    MDIForm1 mainWindow(state, op, settings, library, launcher);
    op.setParent(&mainWindow);

    const bool startWithCard = parser.isSet(card);
    auto *splash = new frmSplash([&] { mainWindow.Form_Load(startWithCard); }, [&] { mainWindow.show(); });
    splash->Form_Load(splash->screen()->depth());
    splash->show();
    return app.exec();
}

// The batch commands need no display: they run on a core application so a
// lab can call them from scripts on a machine without an X server.
int runBatchCommand(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("isostepbmp"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ISOSTEP_VERSION));
    QStringList arguments = QCoreApplication::arguments().mid(2);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command == QLatin1String("compose"))
        return runComposeCommand(arguments, out, err);
    if (command == QLatin1String("split"))
        return runSplitCommand(arguments, out, err);
    if (command == QLatin1String("mask"))
        return runMaskCommand(arguments, out, err);
    return 2;
}

bool isBatchCommand(int argc, char **argv)
{
    if (argc < 2)
        return false;
    const QByteArray word(argv[1]);
    return word == "compose" || word == "split" || word == "mask";
}
} // namespace

int main(int argc, char **argv)
{
    if (isBatchCommand(argc, argv))
        return runBatchCommand(argc, argv);
    return runDesktop(argc, argv);
}
