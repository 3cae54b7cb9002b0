#pragma once

#include "ZUL_Tools_VB.h"

namespace zul {

// The acquisition a record asks for, on a window already prepared: on the
// external trigger, with the flash, or plain.
int acquire(const ZulConfig &config);

} // namespace zul
