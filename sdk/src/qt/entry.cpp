#include "clipboard.h"
#include "format_dialog.h"
#include "qt_part_interface.h"

#include <QApplication>
#include <QThread>

namespace {

zul::CoreCalls core;

// The owner must be a live widget of this process's application: anything
// else is refused before it is ever used as one.
QWidget *liveWidget(void *owner)
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || !owner || QThread::currentThread() != app->thread())
        return nullptr;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *widget : widgets)
        if (static_cast<void *>(widget) == owner)
            return widget;
    return nullptr;
}

int formatDialogBox(void *owner, ZulConfig *config)
{
    QWidget *widget = liveWidget(owner);
    if (!widget || !config)
        return -1;
    // One dialog per record: asked again, the open one comes forward
    // rather than a second one fighting it over the same settings.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        auto *open = qobject_cast<FormatDialog *>(window);
        if (open && open->config() == config) {
            open->raise();
            open->activateWindow();
            return 0;
        }
    }
    auto *dialog = new FormatDialog(widget, config, core);
    dialog->show();
    return 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const zul::QtPartCalls *zul_qt_part(int interfaceVersion,
                                                                                     const zul::CoreCalls *calls)
{
    if (interfaceVersion != zul::kQtPartInterface || !calls)
        return nullptr;
    core = *calls;
    static const zul::QtPartCalls part{&formatDialogBox, &putBitmapFileOnClipboard};
    return &part;
}
