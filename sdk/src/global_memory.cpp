#include "ZUL_Tools_VB.h"

#include "claims.h"

#include <algorithm>
#include <cstring>
#include <new>

// Movable blocks as the original image handles were: the handle stays the
// same while the storage behind it may move on re-allocation, so callers
// must lock to get an address and never keep it past an unlock. The
// storage is claimed like the connection's own blocks, so a test can make
// an image allocation fail and see that none is left behind.
namespace {
constexpr unsigned kBlockTag = 0x5A554C42u; // "ZULB"

struct Block {
    unsigned tag;
    size_t size;
    int locks;
    unsigned char *data;
};

Block *blockOf(ZulHandle handle)
{
    auto *block = static_cast<Block *>(handle);
    return block && block->tag == kBlockTag ? block : nullptr;
}
} // namespace

extern "C" ZUL_API ZulHandle ZUL_globalAlloc(size_t bytes)
{
    auto *block = new (std::nothrow) Block{kBlockTag, bytes, 0, nullptr};
    if (!block)
        return nullptr;
    block->data = static_cast<unsigned char *>(zul::claim(bytes));
    if (!block->data) {
        delete block;
        return nullptr;
    }
    return block;
}

extern "C" ZUL_API void *ZUL_globalLock(ZulHandle handle)
{
    Block *block = blockOf(handle);
    if (!block)
        return nullptr;
    ++block->locks;
    return block->data;
}

extern "C" ZUL_API int ZUL_globalUnlock(ZulHandle handle)
{
    Block *block = blockOf(handle);
    if (!block || block->locks == 0)
        return 0;
    return --block->locks;
}

extern "C" ZUL_API size_t ZUL_globalSize(ZulHandle handle)
{
    Block *block = blockOf(handle);
    return block ? block->size : 0;
}

extern "C" ZUL_API ZulHandle ZUL_globalReAlloc(ZulHandle handle, size_t bytes)
{
    Block *block = blockOf(handle);
    if (!block || block->locks > 0)
        return nullptr;
    auto *data = static_cast<unsigned char *>(zul::claim(bytes));
    if (!data)
        return nullptr;
    std::memcpy(data, block->data, std::min(bytes, block->size));
    zul::release(block->data);
    block->data = data;
    block->size = bytes;
    return block;
}

extern "C" ZUL_API ZulHandle ZUL_globalFree(ZulHandle handle)
{
    Block *block = blockOf(handle);
    if (!block)
        return handle;
    block->tag = 0;
    zul::release(block->data);
    delete block;
    return nullptr;
}
