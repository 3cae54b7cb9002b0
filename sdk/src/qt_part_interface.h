#pragma once

#include "ZUL_Tools_VB.h"

#include <cstddef>
#include <cstdint>

// The seam between the library's core, which knows nothing of Qt, and its
// Qt part (libZUL_Tools_VB_qt.so), which the core loads on the first call
// that needs a window or the clipboard.

namespace zul {

// What the Qt part may call in the core. It is handed these rather than
// binding them by name, so it always works on the copy of the core that
// loaded it, whether that is the shared library or a program linked with
// the core itself.
struct CoreCalls {
    int (*prepare)(ZulConfig *config, int force);
    int (*autoCrop)(ZulVideoWindow *window);
    int (*prepareSnap)(ZulVideoWindow *window);
};

// A picture as a 256-colour display shows it: one palette index a pixel,
// rows top to bottom, `width` bytes each.
struct IndexedPicture {
    const std::uint8_t *pixels;
    int width;
    int height;
    const std::uint32_t *palette; // 256 entries 0x00RRGGBB
};

struct QtPartCalls {
    // The "Image Format" dialog for a live QWidget owner; -1 when refused.
    int (*formatDialogBox)(void *owner, ZulConfig *config);
    // A BMP file on the clipboard, its image shown as `shown` when that is
    // given; false when there is no clipboard or the file cannot be read.
    bool (*putBitmapFileOnClipboard)(const void *file, std::size_t bytes, const IndexedPicture *shown);
};

// Raised whenever either record above changes, so that a Qt part left over
// from another build is refused instead of being called wrongly.
constexpr int kQtPartInterface = 1;

} // namespace zul

// The Qt part's one entry point: its calls, or null when it does not speak
// the core's interface version.
extern "C" const zul::QtPartCalls *zul_qt_part(int interfaceVersion, const zul::CoreCalls *core);
