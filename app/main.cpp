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
        "  isostepbmp compose --help"));
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
} // namespace

int main(int argc, char **argv)
{
    return runDesktop(argc, argv);
}
