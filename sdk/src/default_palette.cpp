#include "ZUL_Tools_VB.h"
#include "library_palette.h"

using namespace zul;

// Only a 256-colour target needs the library's palette: a deeper one shows
// every colour as it is, a shallower one cannot hold the palette at all.
extern "C" ZUL_API int ZULX_defaultPalette(ZulSurface *dc, int gray)
{
    if (!dc)
        return ZUL_ERR_BAD_POINTER;
    if (dc->bitsPerPixel > 8)
        return ZUL_OK;
    if (dc->bitsPerPixel < 8 || !dc->palette)
        return ZUL_ERR_BAD_POINTER;
    LibraryPalette &palette = libraryPalette();
    for (int i = 0; i < 256; ++i)
        palette.entries[static_cast<size_t>(i)] = gray ? grey(i) : colour332(i);
    palette.present = true;
    for (size_t i = 0; i < palette.entries.size(); ++i)
        dc->palette[i] = palette.entries[i];
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_releasePalette(void)
{
    libraryPalette().present = false;
    return ZUL_OK;
}
