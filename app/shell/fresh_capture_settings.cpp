#include "fresh_capture_settings.h"

#include "area_selection.h"
#include "capture_ini.h"
#include "platform/card_library.h"
#include "platform/operator.h"
#include "workbench/app_state.h"

#include <QDir>
#include <QFileInfo>

namespace {
void tellNotWritten(Operator &op, const QString &text)
{
    op.tell(text, QStringLiteral("Isostep"), Operator::Icon::Exclamation);
}
} // namespace

void writeMissingCaptureSettings(const AppState &state, CardLibrary &card, Operator &op)
{
    if (!QFileInfo::exists(state.captureIniPath)) {
        if (const auto area = area::row(state.imageSizeOption)) {
            const FileResult written = WriteCaptureIni(state.captureIniPath, area->xOffset, area->xActive,
                                                       area->xPixels, area->yOffset, area->yActive, area->yPixels);
            if (!written.ok())
                tellNotWritten(op, written.error + QStringLiteral("  The card starts on its own settings."));
        }
    }
    if (!QFileInfo::exists(state.capTotalIniPath)) {
        // The library's default configuration is the whole frame of either
        // standard.
        ZulConfig whole{};
        card.defaultConfig(&whole);
        if (card.saveIniFile(state.capTotalIniPath, QStringLiteral("DEFAULT"), &whole) != 0)
            tellNotWritten(op, QStringLiteral("Could not write %1.  Set Area shows the frame on the card's own settings.")
                                   .arg(QDir::toNativeSeparators(state.capTotalIniPath)));
    }
}
