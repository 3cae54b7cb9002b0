// The alignment file reader: accepted origins are written back as six
// lines that read as the same origins.
#include "alignment/alignment_file.h"
#include "fuzz_check.h"
#include "fuzz_qt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const AlignmentRead read = parseAlignmentFile(inputBytes(data, size), QStringLiteral("fuzz.sal"));
    if (!read.ok()) {
        FUZZ_CHECK(read.error.endsWith(QLatin1String("The alignment is unchanged.")));
        return 0;
    }
    const QByteArray text = formatAlignmentFile(read.origins);
    FUZZ_CHECK(text.count("\r\n") == 6);
    const AlignmentRead again = parseAlignmentFile(text, QStringLiteral("again.sal"));
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.origins.x == read.origins.x && again.origins.y == read.origins.y);
    FUZZ_CHECK(formatAlignmentFile(again.origins) == text);
    return 0;
}
