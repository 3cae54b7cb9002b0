// The mask point file reader: an accepted file is the areas it names, so
// written out and read again it gives the same areas and the same text.
#include "fuzz_check.h"
#include "fuzz_qt.h"
#include "masking/mask_point_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto read = mask_point_file::decode(inputBytes(data, size), QStringLiteral("fuzz.bgp"));
    if (!read.ok()) {
        FUZZ_CHECK(read.error.endsWith(QLatin1String("No areas were read.")));
        return 0;
    }
    const MaskAreas &areas = read.areas;
    FUZZ_CHECK(areas.maskAreaCount >= 0 && areas.maskAreaCount <= MaskAreas::maxAreas);
    for (int area = 1; area <= areas.maskAreaCount; ++area)
        FUZZ_CHECK(areas.pointCount(area) >= 0 && areas.pointCount(area) <= MaskAreas::maskPointLimit);
    const QByteArray text = mask_point_file::encode(areas);
    const auto again = mask_point_file::decode(text, QStringLiteral("again.bgp"));
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.areas == areas);
    FUZZ_CHECK(mask_point_file::encode(again.areas) == text);
    return 0;
}
