#include "claims.h"

#include <cstdlib>

namespace zul {
namespace {
int claimsBeforeFailure = -1;
std::size_t held = 0;
} // namespace

void *claim(std::size_t bytes)
{
    if (claimsBeforeFailure == 0) {
        claimsBeforeFailure = -1;
        return nullptr;
    }
    if (claimsBeforeFailure > 0)
        --claimsBeforeFailure;
    void *block = std::calloc(1, bytes ? bytes : 1);
    if (block)
        ++held;
    return block;
}

void release(void *block)
{
    if (!block)
        return;
    --held;
    std::free(block);
}

void failClaimAfter(int successes)
{
    claimsBeforeFailure = successes < 0 ? -1 : successes;
}

std::size_t claimsHeld()
{
    return held;
}

} // namespace zul
