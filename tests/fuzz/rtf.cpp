// The What's New reader: it refuses with a reason that reads inside a
// sentence, and what it reads does not depend on what the document held.
#include "fuzz_check.h"
#include "fuzz_qt.h"
#include "shell/rtf_reader.h"

#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ensureQtApplication();
    const QByteArray rtf = inputBytes(data, size);
    QTextDocument fresh;
    QString error;
    const bool ok = readRtf(rtf, fresh, &error);
    FUZZ_CHECK(ok == error.isEmpty());
    if (!ok)
        FUZZ_CHECK(!error.endsWith(QLatin1Char('.')) && error.at(0).isLower());

    QTextDocument used;
    used.setPlainText(QStringLiteral("left over from before"));
    QString secondError;
    FUZZ_CHECK(readRtf(rtf, used, &secondError) == ok);
    FUZZ_CHECK(secondError == error);
    FUZZ_CHECK(used.toPlainText() == fresh.toPlainText());
    return 0;
}
