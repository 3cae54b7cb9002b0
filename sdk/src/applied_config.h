#pragma once

#include "ZUL_Tools_VB.h"

namespace zul {

// What ZULX_prepare last put on the card, so a later call sends only what
// changed; `firstCall` holds until the first successful prepare.
struct AppliedConfig {
    ZulConfig last{};
    bool firstCall = true;
};

AppliedConfig &appliedConfig();

// The capture window a record uses for its video standard.
inline ZulVideoWindow &windowOf(ZulConfig &config)
{
    return config.videoStandard == 1 ? config.palWindow : config.ntscWindow;
}

} // namespace zul
