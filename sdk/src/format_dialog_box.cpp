#include "qt_part.h"

extern "C" ZUL_API int ZULX_formatDialogBox(void *owner, ZulConfig *config)
{
    if (!owner || !config)
        return -1;
    // Without its Qt part the library has no window to show: refused, not
    // reported as a dialog that opened.
    const zul::QtPartCalls *part = zul::qtPart();
    return part ? part->formatDialogBox(owner, config) : -1;
}
