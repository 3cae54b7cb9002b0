#pragma once

#include "ZUL_Tools_VB.h"

namespace zul {

// The capture limits by video standard; anything but a 625-line signal
// gets the 525-line limits, the narrower of the two.
constexpr ZulLimits limitsFor(int standard)
{
    return standard == 1 ? ZulLimits{950, 3200, 14, 1, 610, 2400, 14, 1}
                         : ZulLimits{780, 3200, 14, 1, 510, 2400, 14, 1};
}

} // namespace zul
