#pragma once

#include "ZUL_Tools_VB.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace zul {

// A global block this operation made and frees again unless it hands the
// block to its caller.
class OwnedBlock {
public:
    explicit OwnedBlock(std::size_t bytes) : handle_(ZUL_globalAlloc(bytes)) {}
    ~OwnedBlock() { ZUL_globalFree(handle_); }
    OwnedBlock(const OwnedBlock &) = delete;
    OwnedBlock &operator=(const OwnedBlock &) = delete;

    ZulHandle get() const { return handle_; }
    ZulHandle release() { return std::exchange(handle_, nullptr); }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    ZulHandle handle_;
};

// A block locked for the span of one operation.
class LockedBlock {
public:
    explicit LockedBlock(ZulHandle handle)
        : handle_(handle), bytes_(static_cast<std::uint8_t *>(ZUL_globalLock(handle)))
    {
    }
    ~LockedBlock() { unlock(); }
    LockedBlock(const LockedBlock &) = delete;
    LockedBlock &operator=(const LockedBlock &) = delete;

    std::uint8_t *bytes() const { return bytes_; }
    std::size_t size() const { return ZUL_globalSize(handle_); }
    explicit operator bool() const { return bytes_ != nullptr; }
    void unlock()
    {
        if (bytes_)
            ZUL_globalUnlock(handle_);
        bytes_ = nullptr;
    }

private:
    ZulHandle handle_;
    std::uint8_t *bytes_;
};

} // namespace zul
