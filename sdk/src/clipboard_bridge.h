#pragma once

#include <cstddef>

namespace zul {

// Puts a packed bitmap (and the library palette, when there is one) on the
// system clipboard, replacing what was there; false when there is no
// clipboard to open. The bytes stay the caller's: the clipboard keeps a
// copy.
bool putDibOnClipboard(const void *packedDib, std::size_t bytes);

} // namespace zul
