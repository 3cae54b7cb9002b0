#include "extended_snap.h"

#include "applied_config.h"

namespace zul {
namespace {
// How long a triggered snap waits for its trigger before it goes ahead.
constexpr int kTriggerTimeoutMs = 10200;
} // namespace

int acquire(const ZulConfig &config)
{
    if (config.ExtTrig)
        return ZUL_extTrigSnap(kTriggerTimeoutMs);
    if (config.Flash)
        return ZUL_flashSnap();
    if (const int r = ZUL_startSnap())
        return r;
    return ZUL_finishSnap();
}

} // namespace zul

extern "C" ZUL_API int ZULX_snap(ZulConfig *config)
{
    if (!config)
        return ZUL_ERR_BAD_POINTER;
    if (const int r = ZUL_prepareSnap(&zul::windowOf(*config)))
        return r;
    return zul::acquire(*config);
}
