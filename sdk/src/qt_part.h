#pragma once

#include "qt_part_interface.h"

namespace zul {

// The library's Qt part, loaded on first use from the folder the core was
// loaded from (the program's own folder when the core is linked into it).
// Null when it is not there, cannot be loaded or speaks another interface
// version; the first call decides for the life of the process.
const QtPartCalls *qtPart();

} // namespace zul
