#include "cli/compose_command.h"
#include "cli/mask_command.h"
#include "cli/split_command.h"
#include "platform/card_library.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "platform/qt_operator.h"
#include "platform/settings_store.h"
#include "shell/frm_splash.h"
#include "shell/mdi_form1.h"
#include "workbench/app_state.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTextStream>

namespace {
const QCommandLineOption &cardOption()
{
    static const QCommandLineOption card(
        QStringLiteral("card"),
        QStringLiteral("Bring up the capture card at start-up (ZUL_DRIVER=virtual selects the virtual card)."));
    return card;
}

const QCommandLineOption &filesOption()
{
    static const QCommandLineOption files(
        QStringLiteral("files"),
        QStringLiteral("Show where the capture library, the release notes and the capture settings files are."));
    return files;
}

void describeProgram(QCommandLineParser &parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("Isostep"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ISOSTEP_VERSION));
    parser.setApplicationDescription(QStringLiteral(
        "Isostep: six-step photoelastic image composition.\n"
        "Without a command it opens the workstation window. Batch commands (no display needed):\n"
        "  isostepbmp compose --help\n"
        "  isostepbmp split --help\n"
        "  isostepbmp mask --help"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(cardOption());
    parser.addOption(filesOption());
}

// --help and --version (and --files, which says where things are) answer
// without a display, so scripts on a machine without an X server can ask
// them too.
bool asksForHelpOrVersion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray word(argv[i]);
        if (word == "-h" || word == "--help" || word == "--help-all" || word == "-v" || word == "--version"
            || word == "-?" || word == "--files")
            return true;
    }
    return false;
}

int answerHelpOrVersion(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    describeProgram(parser);
    parser.process(app); // prints and exits on --help and --version
    QTextStream(stdout) << ProgramFiles::ofThisProgram().listing();
    return 0;
}

int runDesktop(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    describeProgram(parser);
    parser.process(app);

    AppState state;
    QtOperator op;
    SettingsStore settings;
    DynamicCardLibrary library;
    library.showMessagesTo(&op);
    DetachedProcessLauncher launcher;
    MDIForm1 mainWindow(state, op, settings, library, launcher);
    op.setParent(&mainWindow);

    const bool startWithCard = parser.isSet(cardOption());
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
    if (asksForHelpOrVersion(argc, argv))
        return answerHelpOrVersion(argc, argv);
    return runDesktop(argc, argv);
}
