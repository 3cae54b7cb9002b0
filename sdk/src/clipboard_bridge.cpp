#include "clipboard_bridge.h"
#include "qt_part.h"

namespace zul {

// The clipboard belongs to the window system, which only the library's Qt
// part knows; without that part there is no clipboard to open.
bool putDibOnClipboard(const void *packedDib, std::size_t bytes)
{
    const QtPartCalls *part = qtPart();
    return part && part->putDibOnClipboard(packedDib, bytes);
}

} // namespace zul
