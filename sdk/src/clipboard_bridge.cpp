#include "clipboard_bridge.h"

namespace zul {

// The clipboard belongs to the window system, which the library's core
// does not use; without the library's window-system part there is none.
bool putDibOnClipboard(const void *, std::size_t)
{
    return false;
}

} // namespace zul
