#include "library_palette.h"

namespace zul {

LibraryPalette &libraryPalette()
{
    static LibraryPalette palette;
    return palette;
}

} // namespace zul
