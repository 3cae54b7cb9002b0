#include "zul_errors.h"

#include "platform/application_end.h"
#include "platform/card_library.h"
#include "platform/operator.h"

#include <QChar>

namespace {
const char *const kTexts[] = {
    "No error",
    "ZUL toolkit is already in use",
    "No ZUL detected.",
    "No ZUL card driver detected",
    "The installed ZUL card is old-style",
    "Toolkit is not initialized",
    "Video digitizer in not configured",
    "Attempt to start snap before snap prepared",
    "Attempt to finish snap before snap started",
    "Attempt to read image before snap finished",
    "Attempt to read image before startReadout",
    "No video signal detected",
    "Attempt to read monochrome image as colour",
    "Attempt to read outsize snapped image",
    "Parameter to function is out of range",
    "Image width is out of range",
    "Image height is out of range",
    "Bad pointer (possibly NULL)",
    "Lost contact with digitizer (no acknowledge)",
    "Out of memory",
    "An error while reading or writing to file",
};
constexpr int kCount = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
} // namespace

QString ZulErrorText(int16_t code)
{
    if (code < 0 || code >= kCount)
        return QStringLiteral("Unknown error");
    return QString::fromLatin1(kTexts[code]);
}

void CheckZulError(int16_t &code, CardLibrary &library, Operator &op)
{
    if (code == 0)
        return;
    op.tell(QChar(10) + ZulErrorText(code), QStringLiteral("Plus test"), Operator::Icon::None);
    code = static_cast<int16_t>(library.closedown(1));
    endApplicationNow(1);
}
