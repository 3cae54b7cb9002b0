// The virtual card's picture source: an accepted picture fits the largest
// frame and every sample of it is a studio-range code.
#include "fuzz_check.h"
#include "video_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const zul::vcard::VideoFrame frame = zul::vcard::decodePicture(data, size);
    if (frame.width == 0 || frame.height == 0) {
        FUZZ_CHECK(frame.width == 0 && frame.height == 0 && frame.y.empty());
        return 0;
    }
    FUZZ_CHECK(frame.width > 0 && frame.width <= 950 && frame.height > 0 && frame.height <= 610);
    const std::size_t pixels = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
    FUZZ_CHECK(frame.y.size() == pixels && frame.cb.size() == pixels && frame.cr.size() == pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        FUZZ_CHECK(frame.y[i] >= 16 && frame.y[i] <= 235);
        FUZZ_CHECK(frame.cb[i] >= 16 && frame.cb[i] <= 240 && frame.cr[i] >= 16 && frame.cr[i] <= 240);
    }
    return 0;
}
