#pragma once

#include "ZUL_Tools_VB.h"

class CardLibrary;

// An image handle the capture library handed out, owned here so that it is
// freed exactly once: before the slot takes a new image, and when the owner
// goes.
class CardImage {
public:
    CardImage() = default;
    ~CardImage() { reset(); }
    CardImage(CardImage &&other) noexcept;
    CardImage &operator=(CardImage &&other) noexcept;
    CardImage(const CardImage &) = delete;
    CardImage &operator=(const CardImage &) = delete;

    ZulHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Frees the image held, if any.
    void reset();
    // Frees the image held and takes `handle`, which `library` handed out.
    void adopt(CardLibrary &library, ZulHandle handle);
    // Frees the image held and gives the empty slot to a library call that
    // fills it (ZULX_readoutDIB, ZULX_snapAverageDIB).
    ZulHandle *receive(CardLibrary &library);

private:
    CardLibrary *library_ = nullptr;
    ZulHandle handle_ = nullptr;
};
