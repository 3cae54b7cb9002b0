#include "clipboard_bridge.h"
#include "global_blocks.h"
#include "messages.h"

using namespace zul;

extern "C" ZUL_API int ZULX_saveDIBToClipboard(ZulHandle bitmap)
{
    if (!bitmap)
        return ZUL_ERR_BAD_POINTER;
    {
        const LockedBlock bytes(bitmap);
        if (!bytes)
            return ZUL_ERR_NO_MEMORY;
        if (!putDibOnClipboard(bytes.bytes(), bytes.size()))
            return reportError(kCantOpenClipboard, ZUL_ERR_BAD_POINTER);
    }
    // The clipboard owns the picture now, as it always took the handle.
    ZUL_globalFree(bitmap);
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_readoutDIBToClipboard(ZulConfig *config)
{
    ZulHandle bitmap = nullptr;
    if (const int r = ZULX_readoutDIB(config, &bitmap))
        return r;
    const int r = ZULX_saveDIBToClipboard(bitmap);
    // A bitmap the clipboard would not take has no other owner.
    if (r != ZUL_OK)
        ZUL_globalFree(bitmap);
    return r;
}
